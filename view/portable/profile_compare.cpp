// Pairing of two profile entry lists.
#include "view/portable/profile_compare.h"

#include <algorithm>

std::wstring_view CutPathEnd(std::wstring_view path) {
  auto trimBlanks = [&path] {
    while (!path.empty() && path.back() == L' ') path.remove_suffix(1);
  };
  trimBlanks();
  if (path.empty()) return path;
  path.remove_suffix(1);
  trimBlanks();
  return path;
}

static bool KeyLess(const ProfileEntry& a, const ProfileEntry& b) {
  if (a.path.size() != b.path.size()) return a.path.size() < b.path.size();
  const int path = a.path.compare(b.path);
  if (path != 0) return path < 0;
  return a.name < b.name;
}

static bool SameKey(const ProfileEntry& a, const ProfileEntry& b) { return a.path == b.path && a.name == b.name; }

std::vector<int32_t> PairEntries(const ProfileList& first, ProfileList& second) {
  const uint32_t firstCount = first.Count(), secondCount = second.Count();
  // The second list's entries ordered by key, each key's run in list order;
  // each run hands out its entries front to back.
  std::vector<uint32_t> order;
  order.reserve(secondCount);
  for (uint32_t j = 0; j < secondCount; ++j) {
    if (!second.records[j].matched) order.push_back(j);  // taken before: skipped like the scan does
  }
  const uint32_t free = static_cast<uint32_t>(order.size());
  std::stable_sort(order.begin(), order.end(), [&second](uint32_t a, uint32_t b) {
    return KeyLess(second.records[a], second.records[b]);
  });
  std::vector<uint32_t> nextInRun(free);  // for the first place of a run: its next free place
  for (uint32_t k = 0; k < free; ++k) nextInRun[k] = k;

  std::vector<int32_t> partners(firstCount, -1);
  for (uint32_t i = 0; i < firstCount; ++i) {
    const ProfileEntry& entry = first.records[i];
    const auto run = std::lower_bound(order.begin(), order.end(), entry, [&second](uint32_t j, const ProfileEntry& key) {
      return KeyLess(second.records[j], key);
    });
    if (run == order.end() || !SameKey(second.records[*run], entry)) continue;
    const uint32_t start = static_cast<uint32_t>(run - order.begin());
    const uint32_t place = nextInRun[start];
    if (place >= free || !SameKey(second.records[order[place]], entry)) continue;  // run used up
    nextInRun[start] = place + 1;
    partners[i] = static_cast<int32_t>(order[place]);
    second.records[order[place]].matched = 1;
  }
  return partners;
}

static void CutPaths(ProfileList& list) {
  for (uint32_t i = 0; i < list.Count(); ++i) list.records[i].path = CutPathEnd(list.records[i].path);
}

// Adds one record at the count of the slot; grows the list when the count
// reaches its capacity.
static bool Append(int slot, uint32_t& count, std::wstring_view path, std::wstring_view name,
                   std::wstring_view value, GrowList grow) {
  ProfileList& list = ProfileSlots[slot];
  ProfileEntry& entry = list.records[count];
  if (HasValue(path)) entry.path = list.texts.Keep(path);
  if (HasValue(name)) entry.name = list.texts.Keep(name);
  entry.value = HasValue(value) ? list.texts.Keep(value) : std::wstring_view();
  ++count;
  return count < list.Capacity() || grow(slot);
}

bool MergeProfiles(GrowList grow) {
  ProfileList& first = ProfileSlots[FirstProfileSlot];
  ProfileList& second = ProfileSlots[SecondProfileSlot];
  CutPaths(first);
  CutPaths(second);
  ProfileList& result = ProfileSlots[CompareResultSlot];
  const std::vector<int32_t> partners = PairEntries(first, second);
  uint32_t count = first.Count();
  for (uint32_t i = 0; i < count; ++i) {
    if (partners[i] >= 0) result.records[i].value = result.texts.Keep(second.records[partners[i]].value);
  }
  uint32_t resultCount = count;
  for (uint32_t j = 0; j < second.Count(); ++j) {
    const ProfileEntry& only = second.records[j];
    if (only.matched) continue;
    if (!Append(FirstProfileSlot, count, only.path, only.name, {}, grow)) return false;
    if (!Append(CompareResultSlot, resultCount, {}, {}, only.value, grow)) return false;
  }
  first.records[0].count = count;
  result.records[0].count = resultCount;
  return true;
}
