// The profile entry list: one entry per XML element with text, in the order
// of the end tags, held in three process-wide slots. Needs no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "profile/portable/profile_text.h"

// The texts of a list, each zero-terminated and sized to its content, kept
// in large blocks: one allocation for thousands of texts, and releasing the
// list frees them all at once.
class ProfileTextPool {
 public:
  // A copy that lives until Clear; data() is zero-terminated.
  std::wstring_view Keep(std::wstring_view text);
  void Clear();
  // Forgets every text but keeps the blocks for the next ones: a list read
  // again writes into memory already in use rather than into new pages.
  void Reuse();

 private:
  struct Block {
    std::unique_ptr<wchar_t[]> characters;
    size_t size;
  };
  std::vector<Block> blocks_;
  size_t current_ = 0;  // the block being filled
  size_t used_ = 0;     // characters used in it
};

// The texts of an entry are views of its list's pool: valid until the list
// is released or read again. A value with no data at all is absent (the
// comparison's side without a partner), unlike an empty one.
struct ProfileEntry {
  uint32_t count = 0;      // only in the first record: the number of entries
  std::wstring_view path;  // enclosing element names, each followed by " / "
  std::wstring_view name;  // local name, no prefix
  std::wstring_view value; // the element's text; empty for an empty element
  int32_t matched = 0;     // set by the comparison on partnered entries of profile 2
  int32_t removed = 0;     // set by the plug-in removal on entries it leaves out
};

// The records of a list; records.size() is the capacity, a multiple of
// ProfileListStep while the list exists, and the records from the count on
// are cleared.
struct ProfileList {
  std::vector<ProfileEntry> records;
  ProfileTextPool texts;  // owns every text the records show
  ProfileTextForm form;   // how the file was encoded, to write it back alike

  size_t Capacity() const { return records.size(); }
  uint32_t Count() const { return records.empty() ? 0 : records[0].count; }
};

inline bool HasValue(std::wstring_view value) { return value.data() != nullptr; }

inline constexpr int ProfileSlotCount = 3;
inline constexpr int FirstProfileSlot = 0;
inline constexpr int SecondProfileSlot = 1;
inline constexpr int CompareResultSlot = 2;
inline constexpr size_t ProfileListStep = 64;

// Slot 0: the first or only profile; slot 1: the second profile of a
// comparison or a scan; slot 2: the comparison result.
extern ProfileList ProfileSlots[ProfileSlotCount];

// Frees every string and the records; the capacity becomes 0.
void ReleaseProfile(int slot);
// The same for a list about to be read again, keeping the memory.
void EmptyProfileForReuse(int slot);
void ReleaseAllProfiles();

// Adds ProfileListStep cleared records. False when memory ran out; the list
// is then unchanged. GrowProfileList is the reporting form.
bool TryGrowProfileList(int slot);

// A reported failure of growth releases the list.
int GrowProfileList(int slot);

// Mach3's own keys sit two levels below the root: "profile / " + an
// 11-letter section + " / ", 24 characters.
inline constexpr size_t PreferencePathLength = 24;
inline constexpr size_t PreferenceCapacity = 260;  // 259 characters and the terminator

// The value of the first entry of slot 0 whose path is 24 characters long
// and whose name is `key` exactly. A longer value is cut to 259 characters.
// Not found: false, the buffer is unchanged.
int FindPreference(const wchar_t* key, wchar_t (&value)[PreferenceCapacity]);

// FindPreference for many keys in a row (the settings table looks up
// hundreds): slot 0's Mach3 keys indexed once, the same answers. Valid
// while the list is not read again or released.
class PreferenceIndex {
 public:
  explicit PreferenceIndex(const ProfileList& list);
  int Find(const wchar_t* key, wchar_t (&value)[PreferenceCapacity]) const;

 private:
  std::unordered_map<std::wstring_view, std::wstring_view> values_;  // name: value of its first entry
};
