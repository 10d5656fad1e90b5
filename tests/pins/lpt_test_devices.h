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

inline void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

inline HKEY CreateKey(const std::wstring& path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << std::string(path.begin(), path.end());
  return key;
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

}  // namespace lpt_test
