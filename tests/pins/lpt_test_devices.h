// Parallel-port device keys made in the test prefix's registry.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "pins/portable/lpt_ports.h"
#include "tests/pins/portable/resource_list_sample.h"

namespace lpt_test {

inline const wchar_t* const Enum = L"System\\CurrentControlSet\\Enum";
inline const wchar_t* const Roots[] = {L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0400",
                                L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0401",
                                L"System\\CurrentControlSet\\Enum\\MF"};

inline void RemoveTestDevices() {
  for (const wchar_t* root : Roots) RegDeleteTreeW(HKEY_LOCAL_MACHINE, root);
}

// Sets a value, making its key and the keys above it as needed.
inline void SetValue(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, size_t bytes) {
  EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), name, type, data, static_cast<DWORD>(bytes)),
            ERROR_SUCCESS)
      << std::string(path.begin(), path.end());
}

inline void SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  SetValue(path, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// "AllocConfig" values laid out as the Windows running the tests writes them.
inline std::vector<BYTE> AllocConfig(const std::vector<resource_sample::Partial>& partials) {
  return resource_sample::ResourceList(partials, WindowsResourceDescriptorSize());
}
inline std::vector<BYTE> PrinterPortConfig(uint32_t address) {
  return resource_sample::PrinterPort(address, WindowsResourceDescriptorSize());
}

struct Device {
  std::wstring path;  // below Enum
  std::wstring service, deviceClass, friendlyName;
  std::optional<std::vector<BYTE>> allocConfig;
  std::optional<std::wstring> portName;
};

inline void CreateDevice(const Device& device) {
  const std::wstring path = std::wstring(Enum) + L"\\" + device.path;
  SetText(path, L"Service", device.service);
  SetText(path, L"Class", device.deviceClass);
  if (!device.friendlyName.empty()) SetText(path, L"FriendlyName", device.friendlyName);
  if (device.allocConfig) {
    SetValue(path + L"\\Control", L"AllocConfig", REG_RESOURCE_LIST, device.allocConfig->data(),
             device.allocConfig->size());
  }
  if (device.portName) SetText(path + L"\\Device Parameters", L"PortName", *device.portName);
}

}  // namespace lpt_test
