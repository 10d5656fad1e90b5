// Plug-in listing modes and the structure check of the rewrite.
#include "plugins/portable/plugin_rules.h"

static constexpr std::wstring_view Separator = L" / ";

bool IsListedInMode(uint32_t mode, std::wstring_view value) {
  if (mode == 1) return !value.empty() && value[0] == L'1';
  if (mode == 2) return !value.empty() && value[0] == L'0';
  return true;
}

std::vector<std::wstring_view> PathNames(std::wstring_view path) {
  std::vector<std::wstring_view> names;
  size_t start = 0;
  for (size_t at = path.find(Separator); at != std::wstring_view::npos; at = path.find(Separator, start)) {
    names.push_back(path.substr(start, at - start));
    start = at + Separator.size();
  }
  return names;
}

bool HasSectionStructure(const ProfileList& list) {
  std::wstring_view root;
  for (uint32_t k = 0; k < list.Count(); ++k) {
    const std::wstring_view path = list.records[k].path;
    const std::vector<std::wstring_view> names = PathNames(path);
    // One or two names (a value right below the root, or in a section),
    // none empty, and nothing after the last separator.
    if (names.empty() || names.size() > 2) return false;
    size_t length = 0;
    for (std::wstring_view name : names) {
      if (name.empty()) return false;
      length += name.size() + Separator.size();
    }
    if (length != path.size()) return false;
    if (k == 0) root = names[0];
    if (names[0] != root) return false;
  }
  return true;
}

bool FindPluginInProfile(const wchar_t* name) {
  const ProfileList& profile = ProfileSlots[SecondProfileSlot];
  for (uint32_t k = 0; k < profile.Count(); ++k) {
    const ProfileEntry& entry = profile.records[k];
    if (entry.path.size() == PluginSectionPath.size() && entry.name == name) return true;
  }
  return false;
}

void CountReferencesInFile(std::vector<PluginReference>& table, const std::vector<std::wstring>& names, size_t index) {
  for (size_t row = 0; row < names.size(); ++row) {
    PluginReference& reference = table[row];
    reference.inFile.resize(index + 1, false);
    if (FindPluginInProfile(names[row].c_str())) {
      ++reference.count;
      reference.inFile[index] = true;
    }
  }
}
