// Putting a rewritten profile in place of the old one, which goes to the
// recycle bin. Either the new profile ends under the old name with the old
// one in the recycle bin, or the old profile stays under its name as it was.
#pragma once

#include <windows.h>

// Moves the file to the recycle bin without asking or showing anything.
// True when it is gone from its folder; otherwise *error (if given) holds
// the code of the failure.
int MoveFileToRecycleBin(const wchar_t* path, DWORD* error = nullptr);

// Whether the old profile may be replaced at all: not read-only, not held
// by another program. Says why not and returns false.
bool CheckProfileReplaceable(HWND owner, const wchar_t* profile);

// Recycles the profile and renames `newFile` to its name. On any failure
// the old profile is put back as it was, `newFile` is removed and the
// reason has been shown; false.
bool ReplaceProfileFile(HWND owner, const wchar_t* profile, const wchar_t* newFile);

// The rename step; tests put one in its place that fails like a file
// locked by another program. Returns the one before.
using FileRenameFunction = BOOL (*)(const wchar_t* from, const wchar_t* to);
FileRenameFunction SetFileRenameFunction(FileRenameFunction rename);
