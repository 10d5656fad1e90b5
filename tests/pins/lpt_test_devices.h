// Parallel-port device keys made in the test prefix's registry.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

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

// A resource list whose bytes 48..51 are the given ones, `size` bytes long.
inline std::vector<BYTE> AllocConfig(BYTE b48, BYTE b49, BYTE b50, BYTE b51, size_t size = 56) {
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
