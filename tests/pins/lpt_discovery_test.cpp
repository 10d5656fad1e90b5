// Parallel-port discovery against device keys made in the test prefix's
// registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "pins/portable/lpt_ports.h"
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

TEST_F(LptDiscoveryTest, BothPassesWithTheirRules) {
  const std::wstring longName(99, L'n');  // the longest name a port may have
  using namespace resource_sample;
  std::vector<BYTE> cutShort = PrinterPortConfig(0x278);
  cutShort.resize(30);
  const std::vector<Device> devices = {
      // Pass 1: exact case only.
      {L"ACPI\\PNP0400\\0", L"Parport", L"Ports", longName, PrinterPortConfig(0x378), L"LPT1"},
      {L"ACPI\\PNP0400\\1", L"parport", L"Ports", L"Lower-case service", PrinterPortConfig(0x278), L"LPT9"},
      {L"ACPI\\PNP0400\\2", L"Parport", L"Ports", L"No port name", PrinterPortConfig(0x278), std::nullopt},
      {L"ACPI\\PNP0400\\3", L"Parport", L"Ports", L"Cut short", cutShort, L"LPT8"},
      {L"ACPI\\PNP0400\\4", L"Parport", L"Ports", L"No config", std::nullopt, L"LPT7"},
      {L"ACPI\\PNP0400\\5", L"Parport", L"Printer", L"Other class", PrinterPortConfig(0x278), L"LPT6"},
      {L"ACPI\\PNP0400\\6", L"Parport", L"Ports", L"Interrupt only", AllocConfig({{Interrupt, 7, 7}}), L"LPT5"},
      {L"ACPI\\PNP0401\\0", L"Parport", L"Ports", L"", PrinterPortConfig(0x3BC), L"LPT2"},
      // Pass 2: case-blind, lower-cased names, cards without a port range skipped.
      {L"MF\\PCI#VEN_9710\\0", L"Parport", L"PORTS", L"PCI Parallel Port (LPT3)",
       AllocConfig({{Interrupt, 16, 16}, {Port, 0xE010, 8}, {Port, 0xE000, 8}}), L"LPT3"},
      {L"MF\\PCI#VEN_9710\\1", L"NMPAR", L"Ports", L"Empty range", AllocConfig({{Port, 0, 8}}), L"LPT5"},
      {L"MF\\PCI#VEN_9710\\2", L"serial", L"Ports", L"Serial", AllocConfig({{Port, 0xE8F8, 8}}), L"COM3"},
  };
  for (const Device& device : devices) CreateDevice(device);

  EXPECT_EQ(DiscoverLptPorts(), 3);
  const std::vector<LptPortInfo> present = Present();
  ASSERT_EQ(present.size(), 3u);
  EXPECT_EQ(present[0].address, 0x378);
  EXPECT_EQ(present[0].portName, L"LPT1");
  EXPECT_EQ(present[0].friendlyName, longName);
  EXPECT_EQ(present[1].address, 0x3BC);
  EXPECT_EQ(present[1].portName, L"LPT2");
  EXPECT_EQ(present[1].friendlyName, L"");
  EXPECT_EQ(present[2].address, 0xE010);
  EXPECT_EQ(present[2].friendlyName, L"pci parallel port (lpt3)");
  EXPECT_EQ(present[2].portName, L"LPT3");
  // Found ports fill the table from entry 1 on.
  EXPECT_TRUE(LptPorts[2].present);
  EXPECT_FALSE(LptPorts[3].present);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(LptDiscoveryTest, TableHoldsAtMost256PortsAndKeepsNoneFromAnEarlierRun) {
  for (const wchar_t* root : {L"ACPI\\PNP0400", L"ACPI\\PNP0401"}) {
    for (int i = 0; i < 128; ++i) {
      CreateDevice({std::wstring(root) + L"\\" + std::to_wstring(i), L"Parport", L"Ports", L"",
                    PrinterPortConfig(0x100 + i), L"LPT"});
    }
  }
  CreateDevice({L"MF\\Card\\0", L"parport", L"ports", L"one too many", PrinterPortConfig(0x200), L"LPTX"});
  EXPECT_EQ(DiscoverLptPorts(), 256);
  EXPECT_TRUE(LptPorts[255].present);
  EXPECT_EQ(LptPorts[255].portName, L"LPT");
  // Nothing is left from an earlier run.
  RemoveTestDevices();
  EXPECT_EQ(DiscoverLptPorts(), 0);
  EXPECT_TRUE(Present().empty());
  EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
