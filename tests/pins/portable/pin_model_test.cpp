// What is read from profile keys: the pin model and what the Show params
// pages show (motor rows, missing keys, list rows); and the port address in
// a device's resource list for both Windows widths.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "pins/portable/lpt_ports.h"
#include "pins/portable/pin_model.h"
#include "pins/portable/show_params.h"
#include "tests/pins/portable/profile_fixture.h"
#include "tests/pins/portable/resource_list_sample.h"

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

TEST(AllocConfigAddressTest, FirstPortRangeOfRealLists) {
  using namespace resource_sample;
  struct Case {
    const char* name;
    std::vector<Partial> partials;
    size_t cutTo;  // 0: the whole list
    int32_t address;
  };
  const std::vector<Case> cases = {
      {"LPT1 with ECP range, IRQ and DMA", {{Port, 0x378, 8}, {Port, 0x778, 8}, {Interrupt, 7, 7}, {Dma, 3, 0}}, 0,
       0x378},
      {"PCI card, interrupt first", {{Interrupt, 16, 16}, {Port, 0xE010, 8}, {Port, 0xE000, 4}}, 0, 0xE010},
      {"interrupt only", {{Interrupt, 7, 7}}, 0, -1},
      {"cut inside the port descriptor", {{Port, 0x378, 8}}, 26, -1},
      {"cut inside the header", {{Port, 0x378, 8}}, 14, -1},
      {"nothing", {}, 0, -1},
  };
  for (size_t width : {ResourceDescriptorSize32, ResourceDescriptorSize64}) {
    for (const Case& c : cases) {
      std::vector<uint8_t> list = ResourceList(c.partials, width, 5);
      if (c.cutTo) list.resize(c.cutTo);
      EXPECT_EQ(AllocConfigAddress(list.data(), list.size(), width), c.address) << c.name << ", width " << width;
    }
  }
  // Read with the other width, a list is taken apart wrongly: the width matters.
  const std::vector<uint8_t> pci = ResourceList({{Interrupt, 16, 16}, {Port, 0xE010, 8}}, ResourceDescriptorSize64);
  EXPECT_NE(AllocConfigAddress(pci.data(), pci.size(), ResourceDescriptorSize32), 0xE010);
  // Counts far beyond the data end the reading at the value's end.
  std::vector<uint8_t> huge = ResourceList({{Interrupt, 7, 7}}, ResourceDescriptorSize32);
  huge[16] = huge[17] = huge[18] = huge[19] = 0xFF;
  EXPECT_EQ(AllocConfigAddress(huge.data(), huge.size(), ResourceDescriptorSize32), -1);
}

}  // namespace
