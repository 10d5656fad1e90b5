// Reading the pin model from profile keys, the names and the hot-key text.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "pins/portable/pin_model.h"
#include "tests/pins/portable/profile_fixture.h"

namespace {

TEST(ProfileIntegerTest, ConvertsLikeTheRuntime) {
  struct Case {
    const wchar_t* text;
    int32_t value;
  } cases[] = {{L"888", 888}, {L" 15x", 15}, {L"-2", -2}, {L"abc", 0}, {L"- 4", 0}, {L"2.5", 2}};
  for (const Case& c : cases) EXPECT_EQ(ProfileInteger(c.text), c.value) << c.text;
}

TEST(ReadPinModelTest, ReadsEveryRecordKindAndKeepsNothingOfAnEarlierRead) {
  KeyTable keys = {
      {L"Port1On", L"1"},          {L"Port1Add", L"888"},      {L"Port8On", L"1"},
      {L"Port8Add", L"632"},       {L"Motor0Active", L"1"},    {L"Motor0DirNeg", L"1"},
      {L"Motor0DirPort", L"1"},    {L"Motor0DirPin", L"3"},    {L"Motor0StepNeg", L"0"},
      {L"Motor0StepPort", L"1"},   {L"Motor0StepPin", L"2"},   {L"Encoder7Active", L"1"},
      {L"Encoder7APin", L"11"},    {L"Encoder7APort", L"2"},   {L"Encoder7BPin", L"12"},
      {L"Encoder7BPort", L"2"},    {L"Encoder7Cal", L"400"},   {L"Input52Active", L"1"},
      {L"Input52Port", L"1"},      {L"Input52Pin", L"15"},     {L"Input52Neg", L"1"},
      {L"Input52Emulated", L"1"},  {L"Input52EmuKey", L"3162"}, {L"Output30Active", L"1"},
      {L"Output30Port", L"3"},     {L"Output30Pin", L"17"},    {L"Output30Neg", L"1"},
      {L"Port2Input", L"1"},
  };
  PinModel model = ReadPinModel(LookupIn(keys));
  EXPECT_EQ(model.ports[1].enabled, 1);
  EXPECT_EQ(model.ports[1].address, 888);
  EXPECT_EQ(model.ports[8].address, 632);
  EXPECT_EQ(model.ports[0].address, 0);
  EXPECT_EQ(model.ports[0].enabled, 0);
  const MotorAssignment& m = model.motors[0];
  EXPECT_EQ((std::array<int32_t, 7>{m.active, m.dirNeg, m.dirPort, m.dirPin, m.stepNeg, m.stepPort, m.stepPin}),
            (std::array<int32_t, 7>{1, 1, 1, 3, 0, 1, 2}));
  const EncoderAssignment& e = model.encoders[7];
  EXPECT_EQ((std::array<int32_t, 6>{e.active, e.aPin, e.aPort, e.bPin, e.bPort, e.cal}),
            (std::array<int32_t, 6>{1, 11, 2, 12, 2, 400}));
  const InputAssignment& in = model.inputs[52];
  EXPECT_EQ((std::array<int32_t, 6>{in.active, in.port, in.pin, in.neg, in.emulated, in.emuKey}),
            (std::array<int32_t, 6>{1, 1, 15, 1, 1, 3162}));
  const OutputAssignment& out = model.outputs[30];
  EXPECT_EQ((std::array<int32_t, 4>{out.active, out.port, out.pin, out.neg}), (std::array<int32_t, 4>{1, 3, 17, 1}));
  EXPECT_EQ(model.port2Input, 1);
  // Without its active key a signal stays unread; a second read keeps nothing
  // of the first.
  KeyTable second = {{L"Input1Active", L"1"}, {L"Motor3DirPin", L"7"}, {L"Input5Active", L"0"}, {L"Input5Pin", L"12"}};
  model = ReadPinModel(LookupIn(second));
  EXPECT_EQ(model.motors[3].dirPin, 0);
  EXPECT_EQ(model.inputs[5].pin, 12);
  EXPECT_EQ(model.port2Input, 0);
  EXPECT_EQ(model.inputs[52].pin, 0);
  EXPECT_EQ(model.ports[1].enabled, 0);
  EXPECT_EQ(model.inputs[1].active, 1);
}

TEST(ReadPinModelTest, AsksNoKeyForPortZeroOrAboveEight) {
  std::vector<std::wstring> asked;
  ReadPinModel([&](const wchar_t* key, std::wstring&) {
    asked.push_back(key);
    return false;
  });
  for (const wchar_t* key : {L"Port0On", L"Port0Add", L"Port9On", L"Port9Add", L"Motor8Active", L"Input53Active",
                             L"Output31Active", L"Encoder8Active"}) {
    EXPECT_EQ(std::count(asked.begin(), asked.end(), key), 0) << key;
  }
  EXPECT_EQ(std::count(asked.begin(), asked.end(), L"Output30Active"), 1);
  EXPECT_EQ(asked.back(), L"Port2Input");
}

TEST(FormatHotKeyTest, ModifiersThenQuotedCharacterThenCode) {
  struct Case {
    int32_t key;
    const wchar_t* text;
  } cases[] = {
      {0, L""},
      {3162, L"Shift Alt \"Z\" (3162)"},
      {0x8000 | 'A', L"Ctrl \"A\" (32833)"},
      {0x8000 | 0x400 | 0x800 | '1', L"Ctrl Shift Alt \"1\" (35889)"},
      {'q', L"\"q\" (113)"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatHotKey(c.key), c.text) << c.key;
}

}  // namespace
