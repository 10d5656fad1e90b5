// Parallel-port discovery against device keys made in the test prefix's
// registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "pins/lpt_ports.h"
#include "tests/pins/lpt_test_devices.h"
#include "tests/support/test_support.h"

namespace {

using namespace lpt_test;

class LptDiscoveryTest : public testing::Test {
 protected:
  void SetUp() override { RemoveTestDevices(); }
  void TearDown() override { RemoveTestDevices(); }
  std::vector<LptPortInfo> Present() {
    std::vector<LptPortInfo> present;
    for (const LptPortInfo& entry : LptPorts) {
      if (entry.present) present.push_back(entry);
    }
    return present;
  }
  MessageRecorder messages;
};

TEST_F(LptDiscoveryTest, NoPortsFoundAndNothingLeftFromAnEarlierRun) {
  CreateDevice({L"ACPI\\PNP0400\\0", L"Parport", L"Ports", L"ECP Printer Port (LPT1)",
                AllocConfig(0x78, 0x03, 0x00, 0x00), L"LPT1"});
  EXPECT_EQ(DiscoverLptPorts(), 1);
  RemoveTestDevices();
  EXPECT_EQ(DiscoverLptPorts(), 0);
  EXPECT_TRUE(Present().empty());
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(LptDiscoveryTest, BothPassesWithTheirRules) {
  const std::wstring longName(99, L'n');  // the longest name a port may have
  const std::vector<Device> devices = {
      // Pass 1: exact case only; the address's high byte is byte 50.
      {L"ACPI\\PNP0400\\0", L"Parport", L"Ports", longName, AllocConfig(0x78, 0x03, 0x00, 0x00), L"LPT1"},
      {L"ACPI\\PNP0400\\1", L"parport", L"Ports", L"Lower-case service", AllocConfig(0x78, 0, 0x03, 0), L"LPT9"},
      {L"ACPI\\PNP0400\\2", L"Parport", L"Ports", L"No port name", AllocConfig(0x78, 0, 0x03, 0), std::nullopt},
      {L"ACPI\\PNP0400\\3", L"Parport", L"Ports", L"Short config", AllocConfig(0x78, 0, 0x03, 0, 50), L"LPT8"},
      {L"ACPI\\PNP0400\\4", L"Parport", L"Ports", L"No config", std::nullopt, L"LPT7"},
      {L"ACPI\\PNP0400\\5", L"Parport", L"Printer", L"Other class", AllocConfig(0x78, 0, 0x03, 0), L"LPT6"},
      {L"ACPI\\PNP0401\\0", L"Parport", L"Ports", L"", AllocConfig(0xBC, 0x07, 0x03, 0x00), L"LPT2"},
      // Pass 2: case-blind, lower-cased names, empty addresses skipped.
      {L"MF\\PCI#VEN_9710\\0", L"Parport", L"PORTS", L"PCI Parallel Port (LPT3)", AllocConfig(0x00, 0, 0xE0, 0),
       L"LPT3"},
      {L"MF\\PCI#VEN_9710\\1", L"NMPAR", L"Ports", L"Empty range", AllocConfig(0, 0, 0, 0), L"LPT5"},
      {L"MF\\PCI#VEN_9710\\2", L"nmpar", L"Ports", L"High byte only in 49", AllocConfig(0, 0x12, 0, 0), L"LPT4"},
      {L"MF\\PCI#VEN_9710\\3", L"serial", L"Ports", L"Serial", AllocConfig(0, 0, 0xE8, 0), L"COM3"},
  };
  for (const Device& device : devices) CreateDevice(device);

  EXPECT_EQ(DiscoverLptPorts(), 4);
  const std::vector<LptPortInfo> present = Present();
  ASSERT_EQ(present.size(), 4u);
  EXPECT_EQ(present[0].address, 0x78);
  EXPECT_EQ(present[0].portName, L"LPT1");
  EXPECT_EQ(present[0].friendlyName, longName);
  EXPECT_EQ(present[1].address, 0x3BC);
  EXPECT_EQ(present[1].portName, L"LPT2");
  EXPECT_EQ(present[1].friendlyName, L"");
  EXPECT_EQ(present[2].address, 0xE000);
  EXPECT_EQ(present[2].friendlyName, L"pci parallel port (lpt3)");
  EXPECT_EQ(present[2].portName, L"LPT3");
  EXPECT_EQ(present[3].address, 0);  // byte 49 is not part of the address
  EXPECT_EQ(present[3].portName, L"LPT4");
  // Found ports fill the table from entry 1 on.
  EXPECT_TRUE(LptPorts[3].present);
  EXPECT_FALSE(LptPorts[4].present);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(LptDiscoveryTest, TableHoldsAtMost256Ports) {
  for (const wchar_t* root : {L"ACPI\\PNP0400", L"ACPI\\PNP0401"}) {
    for (int i = 0; i < 128; ++i) {
      CreateDevice({std::wstring(root) + L"\\" + std::to_wstring(i), L"Parport", L"Ports", L"",
                    AllocConfig(static_cast<BYTE>(i), 0, 1, 0), L"LPT"});
    }
  }
  CreateDevice({L"MF\\Card\\0", L"parport", L"ports", L"one too many", AllocConfig(1, 0, 2, 0), L"LPTX"});
  EXPECT_EQ(DiscoverLptPorts(), 256);
  EXPECT_TRUE(LptPorts[255].present);
  EXPECT_EQ(LptPorts[255].portName, L"LPT");
}

TEST(FindLptForMachPortTest, MatchesEnabledPortsByAddress) {
  LptPortTable table = {};
  table[0] = {0x278, 1, L"LPT2", L""};
  table[1] = {0x378, 1, L"LPT1", L""};
  table[2] = {0x3BC, 0, L"old", L""};  // not found by the latest run
  PinModel model = {};
  model.ports[1] = {888, 1};
  model.ports[2] = {888, 0};
  model.ports[3] = {0x3BC, 1};
  model.ports[4] = {0, 1};
  EXPECT_EQ(FindLptForMachPort(1, model, table), 2);
  EXPECT_EQ(FindLptForMachPort(2, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(3, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(4, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(0, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(9, model, table), 0);
}

}  // namespace
