// The search text compiler and the matcher against a plain table-filling
// matcher of the usual wild-card meaning. The first byte splits the input
// into pattern and subject; bytes are mapped onto a few letters and the
// wild cards, so matches are common, or taken as UTF-16 units.
#include <clocale>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "view/portable/search_pattern.h"

static bool ReferenceMatch(std::wstring_view subject, std::wstring_view pattern) {
  // reach[j]: the pattern's first j characters match the subject so far.
  // Both rows are kept from call to call, so a character costs no allocation.
  static std::vector<char> reach, next;
  reach.assign(pattern.size() + 1, 0);
  reach[0] = 1;
  for (size_t j = 0; j < pattern.size() && pattern[j] == L'*'; ++j) reach[j + 1] = 1;
  for (wchar_t c : subject) {
    next.assign(pattern.size() + 1, 0);
    for (size_t j = 0; j < pattern.size(); ++j) {
      if (pattern[j] == L'*') {
        next[j + 1] = reach[j + 1] || next[j];  // the star takes c, or an empty run
      } else if (reach[j] && (pattern[j] == L'?' || pattern[j] == c)) {
        next[j + 1] = 1;
      }
    }
    reach.swap(next);
  }
  return reach[pattern.size()] != 0;
}

static std::wstring Letters(const uint8_t* data, size_t size) {
  static const wchar_t alphabet[] = L"ab?*";
  std::wstring text;
  for (size_t i = 0; i < size; ++i) {
    text += data[i] < 0xF0 ? alphabet[data[i] % 4] : static_cast<wchar_t>(L'A' + data[i] % 3);
  }
  return text;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const size_t split = 1 + data[0] % size;
  const bool letters = (data[0] & 0x80) == 0;
  std::wstring pattern = letters ? Letters(data + 1, split - 1) : WideFromUnits(data + 1, split - 1);
  std::wstring subject = letters ? Letters(data + split, size - split) : WideFromUnits(data + split, size - split);
  const std::wstring compiled = CompileSearchPattern(pattern);
  FUZZ_CHECK(compiled.find(L"**") == std::wstring::npos);
  FUZZ_CHECK(CompileSearchPattern(compiled) == compiled);
  const bool expected = ReferenceMatch(subject, pattern);
  FUZZ_CHECK(MatchPattern(subject, compiled) == expected);
  FUZZ_CHECK(MatchPattern(subject, pattern) == expected);
  FoldCase(pattern);
  const std::wstring unfolded = subject;
  FoldCase(subject);
  FUZZ_CHECK(MatchFoldedPattern(unfolded, pattern) == MatchPattern(subject, pattern));
  return 0;
}
