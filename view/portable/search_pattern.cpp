// Wild-card matching of search texts against list cells.
#include "view/portable/search_pattern.h"

#include <cwctype>

std::wstring CompileSearchPattern(std::wstring_view text) {
  std::wstring normalised;
  normalised.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'*' && !normalised.empty() && normalised.back() == L'*') continue;
    normalised += c;
  }
  return normalised;
}

// The runtime lower-cases only A to Z in the "C" locale the program runs
// in; the letters of German and French text are folded here.
static wchar_t FoldLatin(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + (L'a' - L'A'));
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);  // À to Þ, not ×
  if (c == 0x152) return 0x153;  // Œ
  if (c == 0x178) return 0xFF;   // Ÿ
  return c;
}

static wchar_t FoldChar(wchar_t c) {
  const wchar_t folded = FoldLatin(c);
  if (folded != c || c < 0x100 || !std::iswupper(c)) return folded;
  return static_cast<wchar_t>(std::towlower(c));
}

void FoldCase(std::wstring& text) {
  for (wchar_t& c : text) c = FoldChar(c);
}

// `as` is what the matcher takes each subject character for.
template <wchar_t (*as)(wchar_t)>
static bool Match(std::wstring_view subject, std::wstring_view pattern) {
  size_t i = 0, j = 0;
  size_t star = std::wstring_view::npos, resume = 0;  // last star, and where its run ends now
  while (i < subject.size()) {
    if (j < pattern.size() && pattern[j] == L'*') {
      star = j++;
      resume = i;
    } else if (j < pattern.size() && (pattern[j] == L'?' || pattern[j] == as(subject[i]))) {
      ++i;
      ++j;
    } else if (star != std::wstring_view::npos) {
      j = star + 1;  // the star takes one more character, the rest is tried again
      i = ++resume;
    } else {
      return false;
    }
  }
  while (j < pattern.size() && pattern[j] == L'*') ++j;
  return j == pattern.size();
}

static wchar_t Itself(wchar_t c) { return c; }

bool MatchPattern(std::wstring_view subject, std::wstring_view pattern) { return Match<Itself>(subject, pattern); }

bool MatchFoldedPattern(std::wstring_view subject, std::wstring_view foldedPattern) {
  return Match<FoldChar>(subject, foldedPattern);
}
