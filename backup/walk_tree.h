// The recursive folder walk the file sets and the plug-in removal use to
// find their files, with the process-wide list it fills.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WalkEntry {
  std::wstring folder;  // the folder itself, or the folder that holds the file
  std::wstring name;    // the file name; empty for a folder
  uint32_t attributes;  // 0x10 marks a folder
  bool IsFolder() const { return (attributes & 0x10) != 0; }
};

// Grows in steps of 256 entries; the caller of WalkTree holds the count.
extern std::vector<WalkEntry> WalkList;

void ResetWalkList();

// Walks `folder` with `pattern`, appending entries from index *count on.
// The pattern applies to folders too: a subfolder is entered only if its
// name matches. A first search that finds nothing shows the find error,
// except for "*.m*s". Entries hold `folder` as given followed by the names
// found, at any depth; the current folder is not used.
void WalkTree(const std::wstring& folder, int32_t* count, const wchar_t* pattern);

// The message for the runtime's error number after a failed first search.
void ShowFindError();
