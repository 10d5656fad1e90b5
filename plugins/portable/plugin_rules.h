// Rules of the plug-in removal that need no Windows call: which plug-in
// entries a mode lists, and whether a profile's entries can be written back
// with the structure they were read from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "profile/portable/profile_list.h"

// The path of Mach3's plug-in entries.
inline constexpr std::wstring_view PluginSectionPath = L"profile / PlugIns / ";

// Mode 0 lists every plug-in, 1 those whose text begins with "1", 2 those
// whose text begins with "0".
bool IsListedInMode(uint32_t mode, std::wstring_view value);

// The text shown as enabled is exactly "1".
inline bool IsEnabledText(std::wstring_view value) { return value == L"1"; }

// The names in a path: "profile / PlugIns / " gives profile and PlugIns.
std::vector<std::wstring_view> PathNames(std::wstring_view path);

// True when every entry lies in a section below one and the same root, or
// right below it (an empty section): the structure the rewrite can give back
// as it was.
bool HasSectionStructure(const ProfileList& list);

// Whether slot 1 holds a plug-in entry of that name.
bool FindPluginInProfile(const wchar_t* name);

// One row's plug-in: how many scanned profile files hold it, and which.
struct PluginReference {
  int32_t count = 0;
  std::vector<bool> inFile;  // by the index of the file in the scan
};

// Counts the scan's file `index`, read into slot 1, in the table: one
// record per plug-in name.
void CountReferencesInFile(std::vector<PluginReference>& table, const std::vector<std::wstring>& names, size_t index);
