// What the Show params pages read: motor rows, missing keys, list rows and
// their sorting.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pins/show_params.h"

namespace {

using KeyTable = std::map<std::wstring, std::wstring>;

KeyLookup LookupIn(const KeyTable& table) {
  return [&table](const wchar_t* key, std::wstring& value) {
    auto it = table.find(key);
    if (it == table.end()) return false;
    value = it->second;
    return true;
  };
}

void AddMotor(KeyTable& keys, int motor, const wchar_t* active = L"1") {
  const std::wstring m = std::to_wstring(motor);
  keys[L"Motor" + m + L"Active"] = active;
  keys[L"Motor" + m + L"DirPort"] = L"1";
  keys[L"Motor" + m + L"DirPin"] = std::to_wstring(2 * motor + 3);
  keys[L"Motor" + m + L"DirNeg"] = L"0";
  keys[L"Motor" + m + L"StepPort"] = L"1";
  keys[L"Motor" + m + L"StepPin"] = std::to_wstring(2 * motor + 2);
  keys[L"Motor" + m + L"StepNeg"] = L"1";
  keys[L"M" + m + L"Rev"] = L"0";
  keys[L"M" + m + L"Neg"] = L"1";
  keys[L"Steps" + m] = L"2000.5";
  keys[L"Acc" + m] = L"15";
  keys[L"Vel" + m] = L"2.5";
}

KeyTable CompleteProfile() {
  KeyTable keys = {{L"DirPulse", L"2"}, {L"PulseWidth", L"5"}, {L"Port2Input", L"1"}};
  AddMotor(keys, 0);
  AddMotor(keys, 2, L"01");  // only the exact text 1 is active
  AddMotor(keys, 6);
  return keys;
}

class ShowParamsTest : public testing::Test {
 protected:
  void SetUp() override { LanguageIndex = English; }
  std::vector<std::wstring> asked;
  MissingKeyHandler Record(bool answer = true) {
    return [this, answer](const std::wstring& key) {
      asked.push_back(key);
      return answer;
    };
  }
};

TEST_F(ShowParamsTest, MotorRowsOnlyForExactlyOne) {
  const KeyTable keys = CompleteProfile();
  const MotorPageValues page = ReadMotorPage(LookupIn(keys), Record());
  EXPECT_TRUE(asked.empty());
  EXPECT_TRUE(page.anyActive);
  EXPECT_TRUE(page.complete);
  std::vector<bool> shown;
  for (const MotorRowValues& row : page.rows) shown.push_back(row.shown);
  EXPECT_EQ(shown, (std::vector<bool>{true, false, false, false, false, false, true}));
  const MotorRowValues& x = page.rows[0];
  EXPECT_EQ((std::vector<std::wstring>{x.dirPort, x.dirPin, x.dirNeg, x.stepPort, x.stepPin, x.stepNeg, x.reversed,
                                       x.homeNeg, x.steps, x.velocity, x.accel}),
            (std::vector<std::wstring>{L"1", L"3", L"0", L"1", L"2", L"1", L"0", L"1", L"2000.5", L"150", L"15"}));
  const MotorRowValues& spindle = page.rows[6];
  EXPECT_EQ(spindle.dirPin, L"15");
  EXPECT_EQ(spindle.reversed, L"0");
  EXPECT_EQ((std::vector<std::wstring>{spindle.homeNeg, spindle.steps, spindle.velocity, spindle.accel}),
            std::vector<std::wstring>(4, L"--"));
  EXPECT_EQ(page.dirPulse, L"2");
  EXPECT_EQ(page.stepPulse, L"5");
  EXPECT_EQ(page.port2Input, L"1");
}

TEST_F(ShowParamsTest, MissingKeysAreAskedAboutInReadingOrder) {
  KeyTable keys = CompleteProfile();
  keys.erase(L"Motor0DirNeg");
  keys.erase(L"M0Rev");
  keys.erase(L"Vel0");  // skipped without asking
  keys.erase(L"Steps6");  // the spindle's are never read
  keys.erase(L"PulseWidth");
  const MotorPageValues page = ReadMotorPage(LookupIn(keys), Record(true));
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"Motor0DirNeg", L"M0Rev", L"PulseWidth"}));
  EXPECT_EQ(page.rows[0].reversed, L"-1");
  EXPECT_EQ(page.rows[0].dirNeg, L"");
  EXPECT_EQ(page.rows[0].velocity, L"");
  EXPECT_EQ(page.stepPulse, L"-1");
  EXPECT_TRUE(page.complete);
  const MotorPrintValues print = MotorPrintValuesOf(page);
  EXPECT_EQ(print.rows[0].reversed, -1);
  EXPECT_EQ(print.stepPulse, -1);
}

TEST_F(ShowParamsTest, CancelStopsFillingThePage) {
  KeyTable keys = CompleteProfile();
  keys.erase(L"Motor0StepPort");
  const MotorPageValues page = ReadMotorPage(LookupIn(keys), Record(false));
  EXPECT_EQ(asked, std::vector<std::wstring>{L"Motor0StepPort"});
  EXPECT_FALSE(page.complete);
  EXPECT_EQ(page.rows[0].dirNeg, L"0");
  EXPECT_EQ(page.rows[0].stepPin, L"");
  EXPECT_EQ(page.dirPulse, L"");
}

TEST_F(ShowParamsTest, NoActiveMotorReadsNoPulseWidths) {
  const KeyTable keys = {{L"Motor0Active", L"0"}};
  const MotorPageValues page = ReadMotorPage(LookupIn(keys), Record());
  EXPECT_FALSE(page.anyActive);
  EXPECT_TRUE(asked.empty());
}

TEST_F(ShowParamsTest, PrintValuesOfTheAxes) {
  const KeyTable keys = CompleteProfile();
  const MotorPrintValues print = MotorPrintValuesOf(ReadMotorPage(LookupIn(keys), Record()));
  const MotorPrintRow& x = print.rows[0];
  EXPECT_EQ(x.active, 1);
  EXPECT_EQ(x.dirPin, 3);
  EXPECT_EQ(x.stepNeg, 1);
  EXPECT_DOUBLE_EQ(x.steps, 2000.5);
  EXPECT_DOUBLE_EQ(x.velocity, 150.0);
  EXPECT_DOUBLE_EQ(x.accel, 15.0);
  EXPECT_EQ(print.rows[2].active, 0);
  EXPECT_EQ(print.port2Input, 1);
}

TEST_F(ShowParamsTest, ListRowsOfEveryKind) {
  KeyTable keys = CompleteProfile();
  keys[L"Input3Active"] = L"1";
  keys[L"Input3Port"] = L"1";
  keys[L"Input3Pin"] = L"11";
  keys[L"Input3Neg"] = L"1";
  keys[L"Input3Emulated"] = L"0";
  keys[L"Input3EmuKey"] = L"0";
  keys[L"Input4Active"] = L"0";
  keys[L"Output30Active"] = L"1";
  keys[L"Output30Port"] = L"2";  // no pin key: the cell stays empty
  keys[L"Encoder1Active"] = L"1";
  keys[L"Encoder1APort"] = L"1";
  keys[L"Encoder1APin"] = L"12";
  keys[L"Encoder1BPort"] = L"1";
  keys[L"Encoder1BPin"] = L"13";
  keys[L"Encoder1Cal"] = L"400";
  keys[L"Encoder5Active"] = L"1";
  const auto lookup = LookupIn(keys);

  const std::vector<ParamRow> used = BuildParamRows(ParamList::UsedPins, lookup);
  ASSERT_EQ(used.size(), 8u);
  EXPECT_EQ(used[0], (ParamRow{L"Axis X Dir", L"1", L"3"}));
  EXPECT_EQ(used[1], (ParamRow{L"Axis X Step", L"1", L"2"}));
  EXPECT_EQ(used[2], (ParamRow{L"Spindle Dir", L"1", L"15"}));
  EXPECT_EQ(used[4][0], L"Y++");
  EXPECT_EQ(used[5], (ParamRow{L"Output30", L"2", L"", L""}));
  EXPECT_EQ(used[6][0], L"Encoder 2");
  EXPECT_EQ(used[7][0], L"MPG 2");

  EXPECT_EQ(BuildParamRows(ParamList::InputPins, lookup),
            std::vector<ParamRow>{(ParamRow{L"Y++", L"1", L"11", L"1", L"0", L"0"})});
  EXPECT_EQ(BuildParamRows(ParamList::OutputPins, lookup),
            std::vector<ParamRow>{(ParamRow{L"Output30", L"2", L"", L""})});
  EXPECT_EQ(BuildParamRows(ParamList::EncoderPins, lookup)[0],
            (ParamRow{L"Encoder 2", L"1", L"12", L"1", L"13", L"400"}));

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

TEST(ProfileNumberTest, ConvertsLikeTheRuntime) {
  EXPECT_DOUBLE_EQ(ProfileNumber(L"2.5"), 2.5);
  EXPECT_DOUBLE_EQ(ProfileNumber(L" 3e2x"), 300.0);
  EXPECT_DOUBLE_EQ(ProfileNumber(L"abc"), 0.0);
  EXPECT_DOUBLE_EQ(ProfileNumber(L"-0.25"), -0.25);
}

}  // namespace
