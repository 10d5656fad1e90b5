// Rules of the plug-in removal that need no Windows call: which plug-in
// entries a mode lists, and whether a profile's entries can be written back
// with the structure they were read from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_list.h"

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
