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
