// Path, name and answer rules of the file copy.
#include "backup/portable/copy_rules.h"

#include "app/portable/text_format.h"

#include <cwchar>
#include <cwctype>

ConflictAnswer AnswerOfButton(int control, bool forAll) {
  switch (control) {
    case 1083:
      return forAll ? ReplaceAll : Replace;
    case 1084:
    case 1079:
      return forAll ? DontCopyAll : DontCopy;
    case 1085:
      return forAll ? KeepBothAll : KeepBoth;
    case 2:
      return Cancel;
  }
  return NoAnswer;
}

bool SkippedByDateRule(DateRule rule, int sourceAgainstTarget) {
  if (rule == SourceNotOlder) return sourceAgainstTarget < 0;
  if (rule == SourceNotNewer) return sourceAgainstTarget > 0;
  return false;
}

bool SplitAtLastBackslash(const std::wstring& path, std::wstring* folder, std::wstring* name) {
  const size_t at = path.rfind(L'\\');
  if (at == std::wstring::npos || at == 0) return false;
  *folder = path.substr(0, at);
  *name = path.substr(at + 1);
  return true;
}

void SplitExtension(const std::wstring& name, std::wstring* base, std::wstring* extension) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos || dot == 0) {
    *base = name;
    extension->clear();
    return;
  }
  *base = name.substr(0, dot);
  *extension = name.substr(dot);
}

std::wstring KeptCopyCandidate(const std::wstring& folder, const std::wstring& name, int n) {
  std::wstring base, extension;
  SplitExtension(name, &base, &extension);
  return JoinPath(folder, base + L"(" + std::to_wstring(n) + L")" + extension);
}

std::wstring TrimTrailingBackslashes(const std::wstring& path) {
  size_t end = path.size();
  while (end > 0 && path[end - 1] == L'\\') --end;
  return path.substr(0, end);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  return TrimTrailingBackslashes(folder) + L"\\" + name;
}

std::wstring TranslateFolder(const std::wstring& found, const std::wstring& sourceRoot,
                             const std::wstring& targetRoot) {
  const std::wstring root = TrimTrailingBackslashes(sourceRoot);
  size_t skip = 1;
  for (wchar_t c : root) skip += c == L'\\';
  size_t at = std::wstring::npos;
  for (size_t i = 0; i < found.size() && skip > 0; ++i) {
    if (found[i] == L'\\' && --skip == 0) at = i;
  }
  const std::wstring target = TrimTrailingBackslashes(targetRoot);
  if (at == std::wstring::npos || at + 1 >= found.size()) return target;
  return target + L"\\" + found.substr(at + 1);
}

std::wstring LowerCase(const std::wstring& text) {
  std::wstring lower = text;
  for (wchar_t& c : lower) {
    if (iswupper(c)) c = static_cast<wchar_t>(towlower(c));
  }
  return lower;
}

std::wstring ProfileNameOfEntry(const std::wstring& entry) {
  const size_t dot = entry.rfind(L'.');
  return dot == std::wstring::npos ? entry : entry.substr(0, dot);
}

std::wstring FileNameOfEntry(const std::wstring& entry) {
  const size_t mark = entry.find(L" \t");
  return mark == std::wstring::npos ? entry : entry.substr(0, mark);
}

std::wstring JoinProfileNames(const std::vector<std::wstring>& entries, size_t capacity) {
  std::wstring joined;
  for (const std::wstring& entry : entries) {
    const std::wstring name = FileNameOfEntry(entry);
    if (name.empty()) continue;
    const size_t length = joined.size() + (joined.empty() ? 0 : 1) + name.size();
    if (length >= capacity) continue;
    if (!joined.empty()) joined += L'|';
    joined += name;
  }
  return joined;
}

std::vector<std::wstring> SplitProfileNames(std::wstring_view text) {
  std::vector<std::wstring> names;
  while (!text.empty()) {
    const size_t bar = text.find(L'|');
    const std::wstring_view name = text.substr(0, bar);
    // A name with a path in it would copy from and to elsewhere.
    if (!name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring_view::npos) {
      names.emplace_back(name);
    }
    if (bar == std::wstring_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  return names;
}

bool IsSaveCommandLine(std::wstring_view commandLine) {
  while (!commandLine.empty() && (commandLine.front() == L' ' || commandLine.front() == L'\t')) {
    commandLine.remove_prefix(1);
  }
  while (!commandLine.empty() && (commandLine.back() == L' ' || commandLine.back() == L'\t')) {
    commandLine.remove_suffix(1);
  }
  if (commandLine.size() == 7 && commandLine.front() == L'"' && commandLine.back() == L'"') {
    commandLine = commandLine.substr(1, 5);
  }
  if (commandLine.size() != 5 || (commandLine[0] != L'/' && commandLine[0] != L'-')) return false;
  return LowerCase(std::wstring(commandLine.substr(1))) == L"save";
}

bool IsSelectedProfileFolder(const std::wstring& folder, const std::wstring& base,
                             const std::vector<std::wstring>& selectedEntries) {
  const std::wstring root = TrimTrailingBackslashes(base);
  if (folder.size() <= root.size() + 1) return false;
  const std::wstring relative = LowerCase(folder.substr(root.size() + 1));
  for (const std::wstring& entry : selectedEntries) {
    if (LowerCase(ProfileNameOfEntry(entry)) == relative) return true;
  }
  return false;
}

bool HasMacroFolder(const std::wstring& profileFile, const std::vector<std::wstring>& macroFolders) {
  const std::wstring file = LowerCase(profileFile);
  for (const std::wstring& folder : macroFolders) {
    const size_t at = folder.rfind(L'\\');
    const std::wstring last = at == std::wstring::npos ? folder : folder.substr(at + 1);
    if (LowerCase(last + L".xml") == file) return true;
  }
  return false;
}

struct FindErrorRow {
  int number;
  const wchar_t* format;
};

static const FindErrorRow FindErrorTable[] = {
    {1, L"%s Operation not permitted"},
    {2, L"%s File not found"},
    {3, L"%s No such process"},
    {4, L"%s Interrupted function"},
    {5, L"%s I/O error"},
    {6, L"%s No such device or address"},
    {7, L"%s Argument list too long"},
    {8, L"%s Exec format error"},
    {9, L"%s Bad file number"},
    {10, L"%s No spawned processes"},
    {11, L"%s No more processes or not enough memory or maximum nesting level reached"},
    {12, L"%s Not enough memory"},
    {13, L"Permission denied"},
    {14, L"%s Bad address"},
    {16, L"%s Device or resource busy"},
    {17, L"%s File exists"},
    {18, L"%s Cross-device link"},
    {19, L"%s No such device"},
    {20, L"%s Not a directory"},
    {21, L"%s Is a directory"},
    {22, L"Invalid argument"},
    {23, L"%s Too many files open in system"},
    {24, L"%s Too many open files"},
    {25, L"%s Inappropriate I/O control operation"},
    {27, L"%s File too large"},
    {28, L"%s No space left on device"},
    {29, L"%s Invalid seek"},
    {30, L"%s Read-only file system"},
    {31, L"%s Too many links"},
    {32, L"%s Broken pipe"},
    {33, L"%s Math argument"},
    {34, L"%s Result too large"},
    {36, L"%s Resource deadlock would occur"},
    {38, L"%s Filename too long"},
    {39, L"%s No locks available"},
    {40, L"%s Function not supported"},
    {41, L"%s Directory not empty"},
    {42, L"%s Illegal byte sequence"},
    {80, L"%s String was truncated"},
    {0, nullptr},
};

std::wstring FindErrorText(int number, bool* withIcon) {
  *withIcon = number != 13;
  for (const FindErrorRow* row = FindErrorTable; row->format; ++row) {
    if (row->number != number) continue;
    std::wstring text = row->format;
    const size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, L"_tfindfirst");
    return text;
  }
  return std::wstring();
}

int FindErrorNumber(uint32_t systemError) {
  static const struct {
    uint32_t error;
    int number;
  } table[] = {
      {1, 22},   {2, 2},    {3, 2},    {4, 24},   {5, 13},   {6, 9},    {7, 12},   {8, 12},   {9, 12},
      {10, 7},   {11, 8},   {12, 22},  {13, 22},  {15, 2},   {16, 13},  {17, 18},  {18, 2},   {53, 2},
      {65, 13},  {67, 2},   {80, 17},  {82, 13},  {83, 13},  {87, 22},  {89, 11},  {108, 13}, {109, 32},
      {112, 28}, {114, 9},  {128, 10}, {129, 10}, {130, 9},  {131, 22}, {132, 13}, {145, 41}, {158, 13},
      {161, 2},  {164, 11}, {167, 13}, {183, 17}, {206, 2},  {215, 11}, {1816, 12},
  };
  for (const auto& row : table) {
    if (row.error == systemError) return row.number;
  }
  if (systemError >= 19 && systemError <= 36) return 13;   // write-protected .. sharing buffer exceeded
  if (systemError >= 188 && systemError <= 202) return 8;  // not a runnable image
  return 22;
}

bool FoldersAlong(const std::wstring& path, std::vector<std::wstring>* folders) {
  folders->clear();
  const size_t root = PathRootLength(path);
  if (root == std::wstring::npos) return false;
  for (size_t at = root + 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != L'\\') continue;
    if (path[at - 1] != L'\\') folders->push_back(path.substr(0, at));
  }
  return true;
}
