// The wild-card matcher, the normalised search text and case folding.
#include <gtest/gtest.h>

#include <string>

#include "view/portable/search_pattern.h"

namespace {

TEST(SearchPatternTest, MatchesWholeCells) {
  const struct {
    const wchar_t* pattern;
    const wchar_t* subject;
    bool match;
  } cases[] = {
      // The scan that tries only the first place after a star missed these;
      // the generated pairs below cover the plain cases.
      {L"*ab?", L"abXab1", true},
      {L"*a*b", L"aXbab", true},
      {L"a*b*c", L"abbbc", true},
      {L"*?", L"", false},
      {L"*?", L"x", true},
      {L"*??x", L"abx", true},
      {L"*??x", L"ax", false},
      {L"?*", L"", false},
      {L"a*", L"a", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchPattern(c.subject, c.pattern), c.match) << "pattern " << testing::PrintToString(std::wstring(c.pattern))
                                                            << " subject " << testing::PrintToString(std::wstring(c.subject));
  }
}

// A plain recursive matcher of the usual wild-card meaning.
bool ReferenceMatch(const wchar_t* subject, const wchar_t* pattern) {
  if (*pattern == L'\0') return *subject == L'\0';
  if (*pattern == L'*') return ReferenceMatch(subject, pattern + 1) || (*subject && ReferenceMatch(subject + 1, pattern));
  if (*subject == L'\0') return false;
  return (*pattern == L'?' || *pattern == *subject) && ReferenceMatch(subject + 1, pattern + 1);
}

TEST(SearchPatternTest, AgreesWithAReferenceMatcherOnGeneratedPairs) {
  uint32_t state = 12345;
  auto next = [&state](uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  };
  const wchar_t patternLetters[] = L"ab?*";
  const wchar_t subjectLetters[] = L"abc";
  int matches = 0;
  for (int round = 0; round < 40000; ++round) {
    std::wstring pattern, subject;
    for (uint32_t i = next(8); i > 0; --i) pattern += patternLetters[next(4)];
    for (uint32_t i = next(10); i > 0; --i) subject += subjectLetters[next(3)];
    pattern = CompileSearchPattern(pattern);
    const bool expected = ReferenceMatch(subject.c_str(), pattern.c_str());
    matches += expected;
    ASSERT_EQ(MatchPattern(subject, pattern), expected) << testing::PrintToString(pattern) << " on "
                                                         << testing::PrintToString(subject);
  }
  EXPECT_GT(matches, 1000);  // the pairs exercise both answers
}

TEST(SearchPatternTest, FoldsUpperCaseOnly) {
  std::wstring text = L"Port1Add ÄÖÜ ÉÈÇ Œ Ÿ × ß ?*";
  FoldCase(text);
  EXPECT_EQ(text, L"port1add äöü éèç œ ÿ × ß ?*");
  // Matching ignoring case folds the subject as FoldCase does, but no wild card.
  EXPECT_TRUE(MatchFoldedPattern(L"Port1Add ÄÖÜ ÉÈÇ Œ Ÿ × ß ?*", text));
  EXPECT_TRUE(MatchFoldedPattern(L"MOTOR1DIRPIN", L"*dir?in"));
  EXPECT_FALSE(MatchFoldedPattern(L"×", L"÷"));
  EXPECT_FALSE(MatchFoldedPattern(L"A*", L"ab"));
}

}  // namespace
