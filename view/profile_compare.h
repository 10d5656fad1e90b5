// Pairing the entries of two profiles by path and name. Needs no Windows
// header.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "profile/profile_list.h"

// The path without its trailing " / ": trailing blanks, one character,
// trailing blanks again. "profile / A / " becomes "profile / A"; an empty
// path stays empty.
std::wstring_view CutPathEnd(std::wstring_view path);

// For each entry of `first` in order, the first entry of `second` in order
// not yet taken whose path and name are equal (case-sensitive), or -1.
// Marks the taken entries of `second` as matched. Indexed, not a nested
// scan, with exactly the pairs of the scan.
std::vector<int32_t> PairEntries(const ProfileList& first, ProfileList& second);
