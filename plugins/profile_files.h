// The profile files below the current folder, as the plug-in scan reads them.
#pragma once

#include <string>
#include <vector>

struct ProfileFile {
  std::wstring folder;  // the folder that holds it
  std::wstring name;
};

// The "*.xml" files of the current folder and of its folders whose names
// match, in walk order. A folder without any shows the find error.
std::vector<ProfileFile> FindProfileFiles();
