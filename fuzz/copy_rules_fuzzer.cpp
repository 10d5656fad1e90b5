// The path rules of the backup copy on any three texts: splitting at the
// last backslash and before the extension, kept-copy names, trimming,
// joining, and the translation of a found folder from the source root to
// the target root and back, and the stored selection of profiles. The first byte gives the copy number and the
// form of the texts (Latin-1 bytes, or UTF-16 units); bytes 0xFF separate
// the three texts.
#include <string_view>
#include <vector>

#include "backup/portable/copy_rules.h"
#include "fuzz/fuzz_input.h"

static bool HasBackslash(const std::wstring& text) { return text.find(L'\\') != std::wstring::npos; }
static bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.rfind(start, 0) == 0; }
static bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

static void CheckSplits(const std::wstring& path) {
  std::wstring folder = L"unchanged", name = L"unchanged";
  if (SplitAtLastBackslash(path, &folder, &name)) {
    FUZZ_CHECK(!folder.empty() && !HasBackslash(name) && folder + L"\\" + name == path);
  } else {
    FUZZ_CHECK(path.rfind(L'\\') == std::wstring::npos || path.rfind(L'\\') == 0);
    FUZZ_CHECK(folder == L"unchanged" && name == L"unchanged");
  }
  std::wstring base, extension;
  SplitExtension(path, &base, &extension);
  FUZZ_CHECK(base + extension == path);
  FUZZ_CHECK(extension.empty() || (extension[0] == L'.' && extension.find(L'.', 1) == std::wstring::npos));
  FUZZ_CHECK(!extension.empty() || path.rfind(L'.') == std::wstring::npos || path.rfind(L'.') == 0);
  const std::wstring trimmed = TrimTrailingBackslashes(path);
  FUZZ_CHECK(StartsWith(path, trimmed) && (trimmed.empty() || trimmed.back() != L'\\'));
  FUZZ_CHECK(path.find_first_not_of(L'\\', trimmed.size()) == std::wstring::npos);
  FUZZ_CHECK(LowerCase(path).size() == path.size() && LowerCase(LowerCase(path)) == LowerCase(path));
  FUZZ_CHECK(StartsWith(path, ProfileNameOfEntry(path)) && StartsWith(path, FileNameOfEntry(path)));
  // A stored selection gives names that stay in their folder, and joins within its capacity.
  const std::vector<std::wstring> names = SplitProfileNames(path);
  for (const std::wstring& name : names) {
    FUZZ_CHECK(!name.empty() && name != L".." && name.find_first_of(L"\\/:|") == std::wstring::npos);
  }
  FUZZ_CHECK(JoinProfileNames(names, 64).size() < 64);
  IsSaveCommandLine(path);
}

// A kept copy lies in the trimmed folder, its name the old one with "(n)"
// before the extension.
static void CheckKeptCopy(const std::wstring& folder, const std::wstring& name, int n) {
  const std::wstring kept = KeptCopyCandidate(folder, name, n);
  const std::wstring root = TrimTrailingBackslashes(folder);
  FUZZ_CHECK(StartsWith(kept, root + L"\\"));
  std::wstring base, extension;
  SplitExtension(name, &base, &extension);
  const std::wstring keptName = kept.substr(root.size() + 1);
  FUZZ_CHECK(keptName == base + L"(" + std::to_wstring(n) + L")" + extension);
  FUZZ_CHECK(EndsWith(kept, extension) && kept != JoinPath(folder, name));
  if (!HasBackslash(name)) FUZZ_CHECK(HasMacroFolder(name + L".XML", {JoinPath(folder, name)}));
}

// Save and restore mirror each other: a folder below one root goes to the
// same place below the other and comes back unchanged.
static void CheckTranslation(const std::wstring& sourceRoot, const std::wstring& targetRoot,
                             const std::wstring& rest) {
  const std::wstring source = TrimTrailingBackslashes(sourceRoot);
  const std::wstring target = TrimTrailingBackslashes(targetRoot);
  FUZZ_CHECK(StartsWith(TranslateFolder(rest, sourceRoot, targetRoot), target));
  if (rest.empty()) return;
  const std::wstring found = source + L"\\" + rest;
  const std::wstring there = TranslateFolder(found, sourceRoot, targetRoot);
  FUZZ_CHECK(there == target + L"\\" + rest);
  FUZZ_CHECK(TranslateFolder(there, targetRoot, sourceRoot) == found);
  FUZZ_CHECK(IsSelectedProfileFolder(JoinPath(sourceRoot, ProfileNameOfEntry(rest)), sourceRoot, {rest}) ==
             !ProfileNameOfEntry(rest).empty());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const bool units = (data[0] & 0x80) != 0;
  const int n = 2 + (data[0] & 0x7F);
  std::vector<std::wstring> texts;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  for (int i = 0; i < 3; ++i) {
    const size_t cut = i < 2 ? rest.find('\xFF') : std::string_view::npos;
    const std::string_view piece = rest.substr(0, cut);
    texts.push_back(units ? WideFromUnits(reinterpret_cast<const uint8_t*>(piece.data()), piece.size())
                          : WideFromLatin1(piece));
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
  for (const std::wstring& text : texts) CheckSplits(text);
  CheckKeptCopy(texts[0], texts[1], n);
  CheckTranslation(texts[0], texts[1], texts[2]);
  bool withIcon = true;
  const std::wstring findText = FindErrorText(n - 2 + (units ? 128 : 0), &withIcon);
  FUZZ_CHECK(findText.find(L"%s") == std::wstring::npos);
  return 0;
}
