// Pairing the entries of two profiles by path and name. Needs no Windows
// header.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "profile/portable/profile_list.h"

// The path without its trailing " / ": trailing blanks, one character,
// trailing blanks again. "profile / A / " becomes "profile / A"; an empty
// path stays empty.
std::wstring_view CutPathEnd(std::wstring_view path);

// For each entry of `first` in order, the first entry of `second` in order
// not yet taken whose path and name are equal (case-sensitive), or -1.
// Marks the taken entries of `second` as matched. Indexed, not a nested
// scan, with exactly the pairs of the scan.
std::vector<int32_t> PairEntries(const ProfileList& first, ProfileList& second);

// The row the previous (step -1) or next (step +1) difference button goes
// to: the nearest row before or after `selected` for which `differs` holds,
// or -1. With no row selected (-1) the search starts at the first row going
// forward and at the last going back.
template <typename Differs>
int StepToDifference(int selected, int rows, int step, Differs differs) {
  int row = selected < 0 ? (step > 0 ? 0 : rows - 1) : selected + step;
  for (; row >= 0 && row < rows; row += step) {
    if (differs(row)) return row;
  }
  return -1;
}

// Adds ProfileListStep records to a full slot; nonzero on success.
using GrowList = int (*)(int slot);

// Pairs file 1 (slot 0) with file 2 (slot 1) into the comparison list
// (slot 2, holding the larger capacity of the two in cleared records), cuts
// the path ends, and appends the entries found only in file 2 to both
// lists. False when `grow` failed.
bool MergeProfiles(GrowList grow);
