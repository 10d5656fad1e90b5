// The file sets of the save and the restore: which files, in which order,
// from where to where. Both directions share these routines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backup/portable/copy_rules.h"

// One save or restore, read once from the dialog or from the stored
// settings: files found below sourceRoot go to the same relative path below
// targetRoot.
struct CopyDirection {
  std::wstring sourceRoot;
  std::wstring targetRoot;
  bool restore;
  uint32_t sets;  // bits of FileSets
  DateRule dateRule;
  std::vector<std::wstring> selectedEntries;  // texts of the selected profile list entries
};

struct FileSet {
  uint32_t bit;
  int checkBox;
  DWORD* setting;
  bool (*routine)(const CopyDirection& direction, bool counting, const wchar_t* folder);
  const wchar_t* folder;  // the folder of a tree set, else null
};

// In bit order, which is the order of counting and copying; ends at bit 0.
extern const FileSet FileSets[];

// The sets that need a selected profile.
inline constexpr uint32_t ProfileSets = 0x944;

// Counts, lets the command show the count, then copies the chosen sets
// under the direction's date rule.
void RunFileSets(const CopyDirection& direction);

// Full paths of every folder below `folder`, at any depth.
std::vector<std::wstring> FoldersBelow(const std::wstring& folder);
