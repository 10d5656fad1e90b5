// Parallel-port discovery against device keys made in the test prefix's
// registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "pins/lpt_ports.h"
#include "tests/support/test_support.h"

namespace {

const wchar_t* const Enum = L"System\\CurrentControlSet\\Enum";
const wchar_t* const Roots[] = {L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0400",
                                L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0401",
                                L"System\\CurrentControlSet\\Enum\\MF"};

void RemoveTestDevices() {
  for (const wchar_t* root : Roots) RegDeleteTreeW(HKEY_LOCAL_MACHINE, root);
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

HKEY CreateKey(const std::wstring& path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << std::string(path.begin(), path.end());
  return key;
}

// A resource list whose bytes 48..51 are the given ones, `size` bytes long.
std::vector<BYTE> AllocConfig(BYTE b48, BYTE b49, BYTE b50, BYTE b51, size_t size = 56) {
  std::vector<BYTE> data(size, 0xEE);
  const BYTE tail[] = {b48, b49, b50, b51};
  for (size_t i = 0; i < 4 && 48 + i < size; ++i) data[48 + i] = tail[i];
  return data;
}

struct Device {
  std::wstring path;  // below Enum
  std::wstring service, deviceClass, friendlyName;
  std::optional<std::vector<BYTE>> allocConfig;
  std::optional<std::wstring> portName;
};

void CreateDevice(const Device& device) {
  const std::wstring path = std::wstring(Enum) + L"\\" + device.path;
  HKEY key = CreateKey(path);
  SetText(key, L"Service", device.service);
  SetText(key, L"Class", device.deviceClass);
  if (!device.friendlyName.empty()) SetText(key, L"FriendlyName", device.friendlyName);
  RegCloseKey(key);
  if (device.allocConfig) {
    key = CreateKey(path + L"\\Control");
    RegSetValueExW(key, L"AllocConfig", 0, REG_RESOURCE_LIST, device.allocConfig->data(),
                   static_cast<DWORD>(device.allocConfig->size()));
    RegCloseKey(key);
  }
  if (device.portName) {
    key = CreateKey(path + L"\\Device Parameters");
    SetText(key, L"PortName", *device.portName);
    RegCloseKey(key);
  }
}

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
  const std::vector<Device> devices = {
      // Pass 1: exact case only; the address's high byte is byte 50.
      {L"ACPI\\PNP0400\\0", L"Parport", L"Ports", L"ECP Printer Port (LPT1)", AllocConfig(0x78, 0x03, 0x00, 0x00),
       L"LPT1"},
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
  EXPECT_EQ(present[0].friendlyName, L"ECP Printer Port (LPT1)");
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

TEST(AllocConfigAddressTest, HighByteIsByte50) {
  const std::vector<BYTE> data = AllocConfig(0x78, 0x03, 0x00, 0x00);
  EXPECT_EQ(AllocConfigAddress(data.data(), data.size()), 0x78);
  const std::vector<BYTE> high = AllocConfig(0x78, 0x00, 0x03, 0x00);
  EXPECT_EQ(AllocConfigAddress(high.data(), high.size()), 0x378);
  EXPECT_EQ(AllocConfigAddress(high.data(), 51), 0x378);
  EXPECT_EQ(AllocConfigAddress(high.data(), 50), -1);
}

}  // namespace
