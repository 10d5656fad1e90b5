// What the Show params pages read: motor rows, missing keys, list rows and
// their sorting.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pins/portable/show_params.h"
#include "tests/pins/portable/profile_fixture.h"

namespace {

KeyTable CompleteProfile() {
  ProfileKeys keys = {{"DirPulse", "2"}, {"PulseWidth", "5"}, {"Port2Input", "1"}};
  AddProfileMotor(keys, 0, "1", 1, 3, 1, 2);
  AddProfileMotor(keys, 2, "01", 1, 7, 1, 6);  // only the exact text 1 is active
  AddProfileMotor(keys, 6, "1", 1, 15, 1, 14);
  return KeyTableOf(keys);
}

class ShowParamsTest : public testing::Test {
 protected:
  void SetUp() override { LanguageIndex = English; }
  std::vector<std::vector<std::wstring>> asked;
  MissingKeyHandler Record(bool answer = true) {
    return [this, answer](const std::vector<std::wstring>& keys) {
      asked.push_back(keys);
      return answer;
    };
  }
};

// One question lists every missing key; on screen they stay empty, on
// paper Rev, Neg and the profile-wide values count as -1. A stop leaves the
// page as far as the first missing key.
TEST_F(ShowParamsTest, MissingKeysAreAskedAboutOnceInReadingOrder) {
  KeyTable keys = CompleteProfile();
  keys.erase(L"Motor0DirNeg");
  keys.erase(L"M0Rev");
  keys.erase(L"Vel0");  // skipped without asking
  keys.erase(L"Steps6");  // the spindle's are never read
  keys.erase(L"PulseWidth");
  keys.erase(L"Port2Input");
  const MotorPageValues page = ReadMotorPage(LookupIn(keys), Record(true));
  EXPECT_EQ(asked, (std::vector<std::vector<std::wstring>>{{L"Motor0DirNeg", L"M0Rev", L"PulseWidth", L"Port2Input"}}));
  EXPECT_EQ(page.rows[0].reversed, L"");
  EXPECT_EQ(page.rows[0].dirNeg, L"");
  EXPECT_EQ(page.rows[0].velocity, L"");
  EXPECT_EQ(page.rows[6].stepPin, L"14");
  EXPECT_EQ(page.stepPulse, L"");
  EXPECT_EQ(page.dirPulse, L"2");
  EXPECT_TRUE(page.complete);
  const MotorPrintValues print = MotorPrintValuesOf(page);
  EXPECT_EQ(print.rows[0].reversed, -1);
  EXPECT_EQ(print.stepPulse, -1);
  EXPECT_EQ(print.port2Input, -1);

  asked.clear();
  const MotorPageValues stopped = ReadMotorPage(LookupIn(keys), Record(false));
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_FALSE(stopped.complete);
  EXPECT_EQ(stopped.rows[0].dirPin, L"3");
  EXPECT_EQ(stopped.rows[0].stepPin, L"");  // after the first missing key
  EXPECT_EQ(stopped.rows[6].stepPin, L"");
  EXPECT_EQ(stopped.dirPulse, L"");
}

// The lists are checked on the sheet; here the cases it does not show.
TEST_F(ShowParamsTest, ListRowsSkipInactiveSignalsAndLeaveMissingKeysEmpty) {
  KeyTable keys = CompleteProfile();
  keys[L"Input4Active"] = L"0";
  keys[L"Input4Pin"] = L"11";
  keys[L"Output30Active"] = L"1";
  keys[L"Output30Port"] = L"2";  // no pin key: the cell stays empty
  const auto lookup = LookupIn(keys);
  EXPECT_TRUE(BuildParamRows(ParamList::InputPins, lookup).empty());
  EXPECT_EQ(BuildParamRows(ParamList::OutputPins, lookup),
            std::vector<ParamRow>{(ParamRow{L"Output30", L"2", L"", L""})});
  LanguageIndex = German;
  EXPECT_EQ(BuildParamRows(ParamList::UsedPins, lookup)[2][0], L"Spindel Dir");
}

TEST_F(ShowParamsTest, SortingByColumns) {
  std::vector<ParamRow> rows = {
      {L"b", L"2", L"3"}, {L"B", L"1", L"12"}, {L"a", L"10", L"1"}, {L"c", L"1", L"2"},
  };
  auto sorted = [&](int column) {
    std::vector<ParamRow> copy = rows;
    std::stable_sort(copy.begin(), copy.end(),
                     [column](const ParamRow& a, const ParamRow& b) { return CompareParamRows(a, b, column) < 0; });
    std::wstring names;
    for (const ParamRow& row : copy) names += row[0];
    return names;
  };
  EXPECT_EQ(sorted(0), L"Babc");    // code units, capitals first
  EXPECT_EQ(sorted(1), L"Bcba");    // numbers, not text: 10 after 2
  EXPECT_EQ(sorted(2), L"cBba");    // port 1 pin 12 before port 2 pin 3
  EXPECT_EQ(sorted(5), L"bBac");    // a missing column keeps the order
}

}  // namespace
