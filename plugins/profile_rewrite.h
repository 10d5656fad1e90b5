// Writing the profile of slot 0 anew without the chosen plug-ins, and
// putting the new file in the old one's place without ever losing either.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "plugins/portable/profile_patch.h"
#include "profile/portable/profile_list.h"

struct PluginChoice {
  std::wstring name;  // the plug-in entry's name
  int row;            // its row in list view 1007
};

// The plug-ins to remove, in row order; filled by the removal.
extern std::vector<PluginChoice> PluginSelection;

// Writes slot 0 to `target` without the selected plug-ins' entries, in the
// encoding the profile was read in, keeping list view 1007 and progress bar
// 1348 of `dialog` in step. False after a failure (reported); the partly
// written target is then removed. Entries left out get their removed mark.
int RewriteProfileWithout(HWND dialog, const wchar_t* target);

// The XmlLite encoding name for writing a profile back as it was read.
std::wstring WriterEncodingName(const ProfileTextForm& form);

// Puts `rewritten` in place of `profile` and moves the old profile to the
// recycle bin. Afterwards exactly one holds: the new file is under the old
// name and the old one is in the recycle bin (true); or the old profile is
// in place unchanged, the failure has been shown with the system's text,
// and the rewritten file is gone (false).
bool ReplaceProfileFile(const std::wstring& profile, const std::wstring& rewritten);

// The old profile into the recycle bin; true when it has left its folder.
bool MoveFileToRecycleBin(const wchar_t* path);

// The rename that gives the new file the old name; tests put one in its
// place that fails like a file another program holds. Returns the one before.
using FileRenameFunction = BOOL (*)(const wchar_t* from, const wchar_t* to);
FileRenameFunction SetFileRenameFunction(FileRenameFunction rename);

// False after showing why, when the profile file holds what a rewrite would
// lose or a structure it cannot keep; true when it may be rewritten.
bool ProfileFileRewritable(const std::wstring& path);

// Copies the changes into the profile file `path` (UTF-8 or ANSI), every
// other byte kept. Before the new file takes its place through
// ReplaceProfileFile, the old one is copied to `*kept` in the user's folder
// of replaced profiles. False after a refusal or failure (shown); the file
// is then unchanged.
bool ApplyProfileChanges(const std::wstring& path, const std::vector<ProfileChange>& changes, std::wstring* kept);

// The folder the old file goes to before an apply:
// %LOCALAPPDATA%\Kestrelwood\Replaced <date time>; empty when unknown.
std::wstring ReplacedProfilesFolder();
