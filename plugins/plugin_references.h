// Which profile files of the Mach3 folder hold each listed plug-in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// One record per plug-in row: how many scanned files hold it, and which.
struct PluginReference {
  uint32_t count = 0;
  std::vector<bool> holders;  // one flag per scanned file, in walk order
};

extern std::vector<PluginReference> PluginReferenceTable;

// The file names of the profile files of the last scan, in walk order.
extern std::vector<std::wstring> ScannedProfiles;

// True when slot 1 holds an entry named `name` whose path is as long as
// the plug-in section's path.
int FindPluginInProfile(const wchar_t* name);

// Scans every profile file of the current folder (the Mach3 folder) for
// the plug-ins of the rows of list view 1007 and writes each count into
// its row's Referenced column.
void CountPluginReferences(HWND dialog);

// The text of a list-view cell, however long.
std::wstring ListCellText(HWND list, int row, int column);
