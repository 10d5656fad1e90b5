// Listing modes and the structure check of the profile rewrite.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/portable/plugin_rules.h"

namespace {

TEST(IsListedInMode, FollowsTheFirstCharacterOfTheText) {
  const struct {
    const wchar_t* value;
    bool all, enabled, disabled, shownEnabled;
  } cases[] = {
      {L"1", true, true, false, true},   {L"0", true, false, true, false},
      {L"10", true, true, false, false},  // listed as enabled, shown as disabled
      {L"", true, false, false, false},  {L"x", true, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsListedInMode(0, c.value), c.all) << c.value;
    EXPECT_EQ(IsListedInMode(1, c.value), c.enabled) << c.value;
    EXPECT_EQ(IsListedInMode(2, c.value), c.disabled) << c.value;
    EXPECT_EQ(IsEnabledText(c.value), c.shownEnabled) << c.value;
  }
}

TEST(HasSectionStructure, AcceptsSectionsAndValuesBelowOneRoot) {
  const struct {
    std::vector<const wchar_t*> paths;
    bool rewritable;
  } cases[] = {
      {{L"profile / Preferences / ", L"profile / PlugIns / "}, true},
      {{}, true},
      {{L"profile / Preferences / ", L"profile / Preferences / Deep / "}, false},
      {{L"profile / Preferences / ", L"profile / "}, true},  // an empty section
      {{L""}, false},                                       // the root itself
      {{L"profile / Preferences / ", L"other / PlugIns / "}, false},
      {{L"profile /  / "}, false},
  };
  for (const auto& c : cases) {
    ProfileList list;
    list.records.resize(64);
    for (size_t k = 0; k < c.paths.size(); ++k) {
      list.records[k].path = c.paths[k];
      list.records[k].name = L"X";
    }
    list.records[0].count = static_cast<uint32_t>(c.paths.size());
    EXPECT_EQ(HasSectionStructure(list), c.rewritable) << (c.paths.empty() ? L"" : c.paths.back());
  }
}

}  // namespace
