// The entries a read left in a profile slot, as plain values to compare.
#pragma once

#include <string>
#include <vector>

#include "profile/profile_reader.h"

struct Entry {
  std::wstring path, name, value;
  bool operator==(const Entry&) const = default;
};

inline std::vector<Entry> EntriesOf(int slot) {
  std::vector<Entry> entries;
  const ProfileList& list = ProfileSlots[slot];
  for (uint32_t i = 0; i < list.Count(); ++i) {
    entries.push_back({std::wstring(list.records[i].path), std::wstring(list.records[i].name),
                       std::wstring(list.records[i].value)});
  }
  return entries;
}
