// The pin check's rules: number errors, used ports, pin usage and rows.
#include <gtest/gtest.h>

#include <memory>

#include "pins/portable/pin_rules.h"

namespace {

struct PinCheck {
  PinModel model = {};
  NumberErrorList errors;
  UsedPorts used = {};
  std::unique_ptr<PinUsageTable> table = std::make_unique<PinUsageTable>();
  LptPortTable ports = {};

  PinCheck() {
    model.ports[1] = {0x378, 1};
    model.ports[2] = {0x278, 1};
  }
  void Run(bool showAll = true) {
    ValidatePinModel(model, showAll, errors, used);
    ResetPinUsageTable(*table);
    BuildPinUsageTable(model, *table);
  }
  std::array<PinRow, PinRowCount> Rows(int port) { return BuildPinRows(port, *table, model, ports); }
  PinUsage& At(int port, int pin) { return table->pins[port][pin]; }
  void Input(int index, int port, int pin) { model.inputs[index] = {1, port, pin, 0, 0, 0}; }
  void Output(int index, int port, int pin) { model.outputs[index] = {1, port, pin, 0}; }
};

class PinRulesTest : public testing::Test {
 protected:
  void SetUp() override { LanguageIndex = English; }
};

// Multiple use on a known port is checked on the report sheet; here the
// flags it sets, a port Windows does not know, and a plain active-high input.
TEST_F(PinRulesTest, MultipleUseFlagsUnknownPortAndActiveHighInput) {
  PinCheck check;
  check.Input(0, 1, 10);
  check.model.inputs[3] = {1, 1, 10, 1, 1, 3162};
  check.model.inputs[1] = {1, 1, 12, 0, 0, 77};  // no emulation: the key is not shown
  check.Run();
  const PinRow row = check.Rows(1)[11];  // building the rows marks multiple use
  EXPECT_EQ(check.At(1, 10).flags, static_cast<uint32_t>(DirectionIn | MultipleUse | ActiveLow | EmulatedKey));
  EXPECT_EQ((std::vector<std::wstring>{row[1], row[2], row[3], row[6], row[7], row[8]}),
            (std::vector<std::wstring>{L"1", L"Port 0x378 unknown to this system", L" ", L"1 aktiv", L" ", L""}));
}

TEST_F(PinRulesTest, DirectionRulesPerSignalKindAndPin) {
  struct Case {
    const char* what;
    int port, pin;
    bool input;  // an input signal, else an output signal
    int port2Input;
    uint32_t flags;
    const wchar_t* arrow;
    const wchar_t* status;
  } cases[] = {
      {"output on input pin", 1, 12, false, 0, WrongDirection | DirectionIn, L"  <----  ", L"Wrong direction   "},
      {"output on output pin", 1, 14, false, 0, DirectionOut, L"  ---->  ", L""},
      {"input on output pin", 1, 2, true, 0, WrongDirection | DirectionOut, L"  ---->  ", L"Wrong direction   "},
      {"input on input pin", 1, 13, true, 0, DirectionIn, L"  <----  ", L""},
      {"input on port 2 input pin", 2, 5, true, 1, DirectionIn | DirectionOut, L"  <----  ", L""},
      {"input on port 1 pin 5 with port2 input", 1, 5, true, 1, WrongDirection | DirectionOut, L"  ---->  ",
       L"Wrong direction   "},
      {"output on port 2 input pin", 2, 5, false, 1, WrongDirection | DirectionIn | DirectionOut, L"  <----  ",
       L"Wrong direction   "},
      {"input on ground pin", 1, 20, true, 0, IllegalPin, L"", L"Illegal pin number   "},
  };
  for (const Case& c : cases) {
    PinCheck check;
    check.model.port2Input = c.port2Input;
    if (c.input) check.Input(7, c.port, c.pin);
    else check.Output(7, c.port, c.pin);
    check.Run();
    const auto rows = check.Rows(c.port);
    EXPECT_EQ(check.At(c.port, c.pin).flags, c.flags) << c.what;
    EXPECT_EQ(rows[c.pin - 1][5], c.arrow) << c.what;
    EXPECT_EQ(rows[c.pin - 1][8], c.status) << c.what;
    EXPECT_TRUE(check.errors.lines.empty()) << c.what;
  }
}

TEST_F(PinRulesTest, BadNumbersAreListedAndZeroed) {
  PinCheck check;
  check.model.motors[0] = {1, 0, 1, 30, 0, 1, 2};
  check.model.motors[2] = {1, 0, -1, 0, 0, 9, 26};
  check.model.encoders[1] = {1, -3, 12, 4, 1, 0};
  check.Input(5, 12, 40);
  check.Output(4, 1, 0);
  check.Run();
  const std::vector<std::wstring> expected = {
      L"Dir pin:0 = 30 Pinmust be smaller 26",
      L"Dir port:2 = -1 Negative port nmb not allowed",
      L"Step port:2 = 9 Port nmb too big",
      L"Dir pin:2 = 0 Pin nmb must be greater 0",
      L"Step pin:2 = 26 Pinmust be smaller 26",
      L"Encoder A-port:1 = 12 Port nmb too big",
      L"Encoder A-pin:1 = -3 Pin nmb must be greater 0",
      L"Input port:5 = 12 Port nmb too big",
      L"Output pin:4 = 0 Pin nmb must be greater 0",
  };
  EXPECT_EQ(check.errors.lines, expected);
  EXPECT_EQ(check.model.motors[0].dirPin, 0);
  EXPECT_EQ(check.model.inputs[5].port, 0);
  EXPECT_EQ(check.model.inputs[5].pin, 40);  // a Modbus pin is not range-checked
  EXPECT_EQ(check.At(1, 0).names, (std::vector<std::wstring_view>{L"Dir  X ", L"Enable#4"}));
  EXPECT_TRUE(check.used[0]);
  EXPECT_EQ(check.At(0, 40).names, std::vector<std::wstring_view>{L"YHome"});
  LanguageIndex = German;
  PinCheck german;
  german.Input(2, -4, 10);
  german.Run();
  EXPECT_EQ(german.errors.lines, std::vector<std::wstring>{L"Input port:2 = -4 Negative Port Nummer unzulässig"});
}

TEST_F(PinRulesTest, UsedPortsFollowTheShowAllFlag) {
  for (const bool showAll : {true, false}) {
    PinCheck check;
    check.model.ports[2].enabled = 0;
    check.Input(0, 1, 10);
    check.Input(1, 3, 11);   // port 3 is not enabled
    check.Output(0, 12, 1);  // a bad port lands on port 0
    check.Run(showAll);
    EXPECT_EQ(check.used, (UsedPorts{showAll, true, false, showAll, false, false, false, false, false})) << showAll;
  }
}

TEST_F(PinRulesTest, PinsWithoutSignalsShowTheirPhysicalDirection) {
  PinCheck check;
  check.model.port2Input = 1;
  check.Run();
  struct Case {
    int port, pin;
    const wchar_t* name;
    const wchar_t* arrow;
  } cases[] = {{1, 1, L"", L"  ---->  "},          {1, 10, L"", L"  <----  "}, {1, 17, L"", L"  ---->  "},
               {1, 18, L" Ground", L"  <--->  "}, {2, 2, L"", L"  <----  "},  {2, 14, L"", L"  ---->  "}};
  for (const Case& c : cases) {
    const PinRow row = check.Rows(c.port)[c.pin - 1];
    EXPECT_EQ(row, (PinRow{std::to_wstring(c.pin), L"", L"", L"", c.name, c.arrow, L"", L"", L""}))
        << c.port << "/" << c.pin;
  }
  EXPECT_EQ(check.At(1, 2).flags, static_cast<uint32_t>(DirectionOut));
  EXPECT_EQ(check.At(1, 18).flags, 0u);
}

TEST_F(PinRulesTest, PlacementOrderIsMotorsEncodersInputsOutputs) {
  PinCheck check;
  check.Output(0, 1, 2);
  check.Input(0, 1, 2);
  check.model.encoders[0] = {1, 2, 1, 3, 1, 0};
  check.model.motors[1] = {1, 0, 1, 2, 0, 1, 2};
  check.Run();
  EXPECT_EQ(check.At(1, 2).names,
            (std::vector<std::wstring_view>{L"Dir  Y ", L"Step  Y ", L"Encoder0 A", L"X++", L"Digit Trig"}));
  const auto rows = check.Rows(1);
  EXPECT_EQ(rows[1][8], L"Wrong direction   Multiple used pin nmb: (5)   ");
  const auto details = PinFaultDetails(check.At(1, 2), 2);
  ASSERT_EQ(details.size(), 2u);
  EXPECT_EQ(details[1], L"Wrong direction.\tpin nmb: 2 Dir  Y    Step  Y    Encoder0 A   X++   Digit Trig");
}

TEST_F(PinRulesTest, MoreSignalsOnOnePinThanNamesPerPin) {
  PinCheck check;
  for (int i = 0; i < InputCount; ++i) check.Input(i, 1, -1);  // all zeroed to pin 0
  for (int i = 0; i < OutputCount; ++i) check.Output(i, 1, 99);
  check.Run();
  EXPECT_EQ(check.At(1, 0).count, InputCount + OutputCount);
  EXPECT_EQ(check.At(1, 0).names.size(), static_cast<size_t>(InputCount + OutputCount));
  EXPECT_EQ(check.errors.lines.size(), static_cast<size_t>(InputCount + OutputCount));
}

TEST_F(PinRulesTest, ModbusRowsShowTheSignalsOwnName) {
  PinCheck check;
  check.Input(22, 0, 3);
  check.Input(2, 0, 60);  // outside the table: listed, not placed
  check.Output(13, 0, 1);
  check.Run();
  const auto rows = BuildModbusRows(check.model);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (PinRow{L"2", L"0", L" ", L" ", L"XHome", L"  <----  ", L"", L"", L""}));
  EXPECT_EQ(rows[1], (PinRow{L"22", L"0", L" ", L" ", L"Probe", L"  <----  ", L"", L"", L""}));
  EXPECT_EQ(rows[2], (PinRow{L"13", L"0", L" ", L" ", L"Charge Pump", L"  ---->  ", L"", L"", L""}));
  EXPECT_EQ(check.errors.lines, std::vector<std::wstring>{L"Input pin:2 = 60 Pinmust be smaller 26"});
  EXPECT_EQ(check.At(0, 3).flags & DirectionIn, static_cast<uint32_t>(DirectionIn));
  EXPECT_EQ(check.At(0, 1).flags & DirectionOut, static_cast<uint32_t>(DirectionOut));
}

// Inactive signals are neither checked nor placed; a motor on port 0
// follows the direction rules.
TEST_F(PinRulesTest, InactiveSignalsAreIgnoredAndPortZeroMotorsChecked) {
  PinCheck check;
  check.model.inputs[0] = {0, 44, 99, 0, 0, 0};
  check.model.motors[1] = {0, 0, 1, 2, 0, 1, 3};
  check.Run();
  EXPECT_TRUE(check.errors.lines.empty());
  EXPECT_EQ(check.At(1, 2).count, 0);
  EXPECT_EQ(check.used, UsedPorts{});
  check.model.motors[0] = {1, 0, 0, 12, 0, 0, 3};
  check.Run();
  EXPECT_EQ(check.At(0, 12).flags & WrongDirection, static_cast<uint32_t>(WrongDirection));
  EXPECT_EQ(check.At(0, 3).flags & WrongDirection, 0u);
}

}  // namespace
