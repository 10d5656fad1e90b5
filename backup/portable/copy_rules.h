// Rules of the file copy that need no Windows call: conflict answers, path
// splitting and translation, kept-copy names, profile list entries and the
// texts of failed folder searches.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum ConflictAnswer : uint32_t {
  NoAnswer = 0,
  Cancel = 0x0200,
  KeepBoth = 0x0400,
  KeepBothAll = 0x0800,
  DontCopy = 0x1000,
  Replace = 0x2000,
  DontCopyAll = 0x4000,
  ReplaceAll = 0x8000,
};

// The answers that settle every later conflict of a file set.
inline constexpr uint32_t AnswersForAll = KeepBothAll | DontCopyAll | ReplaceAll;

// The answer of a conflict-dialog button, with "for all of that type" ticked
// or not; NoAnswer for a control that does not answer.
ConflictAnswer AnswerOfButton(int control, bool forAll);

enum DateRule : int32_t { NoDateRule = 0, SourceNotNewer = 1, SourceNotOlder = 2 };

// Whether the date rule keeps the file from being copied, given how the
// source's last-write time compares with the target's (-1 older, 0 equal,
// 1 newer). Equal times pass both rules.
bool SkippedByDateRule(DateRule rule, int sourceAgainstTarget);

// Splits at the last backslash after the first character; false (outputs
// untouched) when there is none.
bool SplitAtLastBackslash(const std::wstring& path, std::wstring* folder, std::wstring* name);

// The parts of a file name for a kept copy: "a.b.txt" gives "a.b" and
// ".txt"; a leading dot does not count, and a name without an extension
// gives an empty one.
void SplitExtension(const std::wstring& name, std::wstring* base, std::wstring* extension);

// "<folder>\<base>(<n>)<extension>".
std::wstring KeptCopyCandidate(const std::wstring& folder, const std::wstring& name, int n);

// A folder path without trailing backslashes ("E:\" becomes "E:").
std::wstring TrimTrailingBackslashes(const std::wstring& path);

// The folders along `path` that may need making, outermost first: every
// prefix that ends before a backslash, and the whole path, after the root
// (drive, share, or their "\\?\" forms). False for a path that starts with a
// backslash but names no drive or share.
bool FoldersAlong(const std::wstring& path, std::vector<std::wstring>* folders);

// `folder` joined with `name` by one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The counterpart below `targetRoot` of a folder found below `sourceRoot`:
// the part of `found` after as many backslashes as `sourceRoot` holds, plus
// one. Roots given with a trailing backslash (a drive root) count as without.
std::wstring TranslateFolder(const std::wstring& found, const std::wstring& sourceRoot,
                             const std::wstring& targetRoot);

std::wstring LowerCase(const std::wstring& text);

// Profile list entries: "Mill.xml" or "Mill.xml \tUnused", or a folder name.
std::wstring ProfileNameOfEntry(const std::wstring& entry);  // up to the last "."
std::wstring FileNameOfEntry(const std::wstring& entry);     // up to " \t"

// The save dialog's selection as stored for a save without a window: the
// file names joined by "|", which no file name holds. Names that would not
// fit in `capacity` characters, terminator included, are left out; names
// holding a path are not read back.
std::wstring JoinProfileNames(const std::vector<std::wstring>& entries, size_t capacity);
std::vector<std::wstring> SplitProfileNames(std::wstring_view text);

// Whether the program's command line asks for a save without a window:
// "/save" or "-save" in any case, blanks and quotes around it allowed.
bool IsSaveCommandLine(std::wstring_view commandLine);

// Whether `folder`, below `base`, is the macro folder of one of the profile
// entries (compared in lower case; a deeper folder matches none).
bool IsSelectedProfileFolder(const std::wstring& folder, const std::wstring& base,
                             const std::vector<std::wstring>& selectedEntries);

// Whether one of the macro folders (full paths) belongs to the profile file.
bool HasMacroFolder(const std::wstring& profileFile, const std::vector<std::wstring>& macroFolders);

// The message for a failed first folder search with runtime error `number`;
// empty for a number that shows nothing. `withIcon` is false for error 13.
std::wstring FindErrorText(int number, bool* withIcon);

// The runtime's error number for a system error code, as its folder search
// would set it (ERROR_PATH_NOT_FOUND gives 2, ERROR_ACCESS_DENIED 13).
int FindErrorNumber(uint32_t systemError);
