// The profile list slots and the operations on them that need no reader.
#include "profile/portable/profile_list.h"

#include <algorithm>
#include <cwchar>
#include <new>

ProfileList ProfileSlots[ProfileSlotCount];

inline constexpr size_t TextBlockSize = 32768;  // characters

std::wstring_view ProfileTextPool::Keep(std::wstring_view text) {
  const size_t needed = text.size() + 1;
  while (current_ < blocks_.size() && blocks_[current_].size - used_ < needed) {
    ++current_;
    used_ = 0;
  }
  if (current_ == blocks_.size()) {
    const size_t size = std::max(TextBlockSize, needed);
    // Not cleared: every character is written before it is read.
    blocks_.push_back({std::make_unique_for_overwrite<wchar_t[]>(size), size});
  }
  wchar_t* copy = blocks_[current_].characters.get() + used_;
  std::wmemcpy(copy, text.data(), text.size());
  copy[text.size()] = L'\0';
  used_ += needed;
  return {copy, text.size()};
}

void ProfileTextPool::Clear() {
  std::vector<Block>().swap(blocks_);
  current_ = used_ = 0;
}

void ProfileTextPool::Reuse() { current_ = used_ = 0; }

void ReleaseProfile(int slot) {
  ProfileList& list = ProfileSlots[slot];
  std::vector<ProfileEntry>().swap(list.records);
  list.texts.Clear();
  list.form = {};
}

void EmptyProfileForReuse(int slot) {
  ProfileList& list = ProfileSlots[slot];
  list.records.clear();
  list.texts.Reuse();
  list.form = {};
}

void ReleaseAllProfiles() {
  for (int slot = 0; slot < ProfileSlotCount; ++slot) ReleaseProfile(slot);
}

bool TryGrowProfileList(int slot) {
  std::vector<ProfileEntry>& records = ProfileSlots[slot].records;
  try {
    records.resize(records.size() + ProfileListStep);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

static void CopyPreference(std::wstring_view found, wchar_t (&value)[PreferenceCapacity]) {
  const size_t length = std::min(found.size(), PreferenceCapacity - 1);
  std::wmemcpy(value, found.data(), length);
  value[length] = L'\0';
}

int FindPreference(const wchar_t* key, wchar_t (&value)[PreferenceCapacity]) {
  const ProfileList& list = ProfileSlots[FirstProfileSlot];
  const size_t keyLength = std::wcslen(key);
  const uint32_t count = list.Count();
  for (uint32_t i = 0; i < count; ++i) {
    const ProfileEntry& entry = list.records[i];
    if (entry.path.size() != PreferencePathLength || entry.name != std::wstring_view(key, keyLength)) continue;
    CopyPreference(entry.value, value);
    return 1;
  }
  return 0;
}

PreferenceIndex::PreferenceIndex(const ProfileList& list) {
  const uint32_t count = list.Count();
  values_.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const ProfileEntry& entry = list.records[i];
    if (entry.path.size() == PreferencePathLength) values_.emplace(entry.name, entry.value);  // the first stays
  }
}

int PreferenceIndex::Find(const wchar_t* key, wchar_t (&value)[PreferenceCapacity]) const {
  const auto found = values_.find(std::wstring_view(key));
  if (found == values_.end()) return 0;
  CopyPreference(found->second, value);
  return 1;
}
