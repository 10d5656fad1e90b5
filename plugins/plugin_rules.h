// Which profile entries are plug-ins, which of them the filter lists, the
// plug-ins chosen for removal, and the shape of profile the rewrite can
// write back. Needs no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_list.h"

// Mach3 keeps one entry per installed plug-in here; its text is "1" when
// the plug-in is enabled.
inline constexpr std::wstring_view PluginsPath = L"profile / PlugIns / ";
inline constexpr std::wstring_view PathSeparator = L" / ";

// Mach3's own entry in the plug-in section: never listed.
inline constexpr std::wstring_view SystemTestPlugin = L"SystemTest";

// "Remove Plugin Mode": the rows a load lists.
enum PluginMode : uint32_t { AllPlugins = 0, EnabledPlugins = 1, DisabledPlugins = 2 };

// A hand-edited mode outside 0..2 lists all rather than none.
uint32_t ValidPluginMode(uint32_t mode);

// True when the entry is a plug-in row under the mode: in the plug-in
// section, not SystemTest, and its text starting with "1" (enabled only) or
// "0" (disabled only).
bool IsListedPlugin(const ProfileEntry& entry, uint32_t mode);

// The Enabled column: only the text "1" itself counts as enabled.
inline bool IsEnabledPlugin(std::wstring_view value) { return value == L"1"; }

// True when the list holds an entry named `name` whose path has the length
// of the plug-in section's path (the characters are not compared).
bool HoldsPlugin(const ProfileList& list, std::wstring_view name);

// The plug-ins chosen for removal, in row order, with their list rows.
struct SelectedPlugin {
  std::wstring name;
  int row = 0;
};

struct PluginSelectionList {
  std::vector<SelectedPlugin> entries;

  size_t Count() const { return entries.size(); }
  // The chosen plug-in of this name (same length, same letters and case).
  const SelectedPlugin* Find(std::wstring_view name) const;
};

extern PluginSelectionList PluginSelection;

// The rewrite rebuilds a root element and one level of sections below it
// from the entries' paths. True when every entry's path has exactly that
// shape, "<root> / <section> / ", with the same root throughout; any other
// profile would come out with another structure.
bool HasRewritableShape(const ProfileList& list);

// The section of such a path: the name between its last two separators.
// Empty when the path holds fewer than two.
std::wstring_view SectionOf(std::wstring_view path);

// The names of a path, outermost first.
std::vector<std::wstring_view> NamesOf(std::wstring_view path);
