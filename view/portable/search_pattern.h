// The wild-card search text: its normalised form, case folding and the
// matcher ("?" one character, "*" any run, also empty; whole cells).
// Needs no Windows header.
#pragma once

#include <string>
#include <string_view>

// The normalised search text, as it is shown back and matched: consecutive
// stars collapse into one ("a**b" becomes "a*b"); everything else stays.
std::wstring CompileSearchPattern(std::wstring_view text);

// Lower-cases, in place, every character for which iswupper holds.
void FoldCase(std::wstring& text);

// True when the whole subject matches the normalised pattern text. Greedy
// matching that backs up to the last star, so no match is ever missed.
bool MatchPattern(std::wstring_view subject, std::wstring_view pattern);

// MatchPattern of the subject's FoldCase against a pattern already folded,
// without a folded copy of the subject.
bool MatchFoldedPattern(std::wstring_view subject, std::wstring_view foldedPattern);
