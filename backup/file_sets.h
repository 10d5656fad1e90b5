// The file sets of the save and the restore: which files, in which order,
// from where to where. Both directions share these routines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One save or restore: files found below sourceRoot go to the same
// relative path below targetRoot.
struct CopyDirection {
  std::wstring sourceRoot;
  std::wstring targetRoot;
  bool restore;
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

// Counts, sets up the progress bar of the command's dialog, then copies.
void RunFileSets(const CopyDirection& direction, uint32_t mask);

// The texts of the selected entries of list box 1073.
std::vector<std::wstring> SelectedEntries(HWND dialog);

// Whether `folder` below `base` belongs to a selected profile of the dialog.
bool ProfileFolderSelected(HWND dialog, const std::wstring& folder, const std::wstring& base);

// Full paths of every folder below `folder`, at any depth.
std::vector<std::wstring> FoldersBelow(const std::wstring& folder);
