// Plug-in rows, the removal choice and the rewritable profile shape.
#include "plugins/plugin_rules.h"

PluginSelectionList PluginSelection;

uint32_t ValidPluginMode(uint32_t mode) { return mode <= DisabledPlugins ? mode : AllPlugins; }

bool IsListedPlugin(const ProfileEntry& entry, uint32_t mode) {
  if (entry.path != PluginsPath || entry.name == SystemTestPlugin) return false;
  switch (ValidPluginMode(mode)) {
    case EnabledPlugins:
      return entry.value.starts_with(L'1');
    case DisabledPlugins:
      return entry.value.starts_with(L'0');
    default:
      return true;
  }
}

bool HoldsPlugin(const ProfileList& list, std::wstring_view name) {
  for (uint32_t i = 0; i < list.Count(); ++i) {
    const ProfileEntry& entry = list.records[i];
    if (entry.path.size() == PluginsPath.size() && entry.name == name) return true;
  }
  return false;
}

const SelectedPlugin* PluginSelectionList::Find(std::wstring_view name) const {
  for (const SelectedPlugin& plugin : entries) {
    if (plugin.name == name) return &plugin;
  }
  return nullptr;
}

std::vector<std::wstring_view> NamesOf(std::wstring_view path) {
  std::vector<std::wstring_view> names;
  size_t start = 0;
  for (size_t end; (end = path.find(PathSeparator, start)) != std::wstring_view::npos;
       start = end + PathSeparator.size()) {
    names.push_back(path.substr(start, end - start));
  }
  return names;
}

std::wstring_view SectionOf(std::wstring_view path) {
  const std::vector<std::wstring_view> names = NamesOf(path);
  return names.size() < 2 ? std::wstring_view() : names.back();
}

// "<root> / <section> / " and nothing after the last separator.
static bool IsTwoLevelPath(std::wstring_view path, std::wstring_view root) {
  const std::vector<std::wstring_view> names = NamesOf(path);
  if (names.size() != 2 || names[0] != root || names[1].empty()) return false;
  return path.size() == root.size() + names[1].size() + 2 * PathSeparator.size();
}

bool HasRewritableShape(const ProfileList& list) {
  const uint32_t count = list.Count();
  if (count == 0) return false;
  const std::vector<std::wstring_view> first = NamesOf(list.records[0].path);
  if (first.empty() || first[0].empty()) return false;
  for (uint32_t i = 0; i < count; ++i) {
    if (!IsTwoLevelPath(list.records[i].path, first[0])) return false;
  }
  return true;
}
