// The pairing of two profiles against the plain nested scan.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "view/portable/profile_compare.h"

namespace {

TEST(ProfileCompareTest, CutsThePathEnd) {
  const struct {
    const wchar_t *path, *cut;
  } cases[] = {
      {L"profile / A / ", L"profile / A"}, {L"", L""}, {L"   ", L""}, {L"x", L""}, {L"a / b  /  ", L"a / b"},
  };
  for (const auto& c : cases) EXPECT_EQ(CutPathEnd(c.path), c.cut) << c.path;
}

void FillList(ProfileList& list, const std::vector<std::pair<std::wstring, std::wstring>>& keys) {
  list.records.assign((keys.size() / ProfileListStep + 1) * ProfileListStep, ProfileEntry{});
  for (size_t i = 0; i < keys.size(); ++i) {
    list.records[i].path = list.texts.Keep(keys[i].first);
    list.records[i].name = list.texts.Keep(keys[i].second);
    list.records[i].value = list.texts.Keep(L"v");
  }
  list.records[0].count = static_cast<uint32_t>(keys.size());
}

// The pairing as first specified: for each entry of the first list, a scan
// of the second for the first unmatched entry with the same path and name.
std::vector<int32_t> NestedScan(const ProfileList& first, std::vector<uint8_t>& matched, const ProfileList& second) {
  std::vector<int32_t> partners(first.Count(), -1);
  for (uint32_t i = 0; i < first.Count(); ++i) {
    for (uint32_t j = 0; j < second.Count(); ++j) {
      if (matched[j]) continue;
      if (second.records[j].path == first.records[i].path && second.records[j].name == first.records[i].name) {
        partners[i] = static_cast<int32_t>(j);
        matched[j] = 1;
        break;
      }
    }
  }
  return partners;
}

TEST(ProfileCompareTest, PairsExactlyLikeTheNestedScan) {
  uint32_t state = 99;
  auto next = [&state](uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  };
  const wchar_t* const paths[] = {L"profile / Preferences", L"profile / Mach3Mill", L"", L"profile / preferences"};
  const wchar_t* const names[] = {L"Port1Add", L"port1add", L"Motor0DirPin", L"X", L"DefDir", L"Y"};
  for (int round = 0; round < 60; ++round) {
    std::vector<std::pair<std::wstring, std::wstring>> keys1, keys2;
    for (uint32_t i = next(300); i > 0; --i) keys1.push_back({paths[next(4)], names[next(6)]});
    for (uint32_t i = next(300); i > 0; --i) keys2.push_back({paths[next(4)], names[next(6)]});
    ProfileList first, second;
    FillList(first, keys1);
    FillList(second, keys2);
    std::vector<uint8_t> matched(second.Count(), 0);
    const std::vector<int32_t> expected = NestedScan(first, matched, second);
    ASSERT_EQ(PairEntries(first, second), expected) << round;
    for (uint32_t j = 0; j < second.Count(); ++j) ASSERT_EQ(second.records[j].matched, matched[j]) << round;
  }
}

}  // namespace
