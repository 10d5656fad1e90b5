// Finding the parallel ports in the registry's device enumeration: the
// plug-and-play ports under ACPI, then the ports of multi-function cards.
#include <windows.h>

#include <cwctype>
#include <vector>

#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "pins/portable/lpt_ports.h"

namespace {

constexpr int RootInstanceLimit = 128;
constexpr int MfDeviceLimit = 4;
constexpr size_t KeyNameCapacity = 260;

const wchar_t* const AcpiRoots[] = {L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0400",
                                    L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0401"};
const wchar_t* const MfRoot = L"System\\CurrentControlSet\\Enum\\MF";

// Opening only: a missing key must not be created, discovery never writes.
UniqueKey OpenMachineKey(const std::wstring& path, REGSAM access) {
  UniqueKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) key.reset();
  return key;
}

// A text value of at most LptNameCapacity characters; false when missing,
// of another type or unreadable. Failures other than a missing value are
// reported and the walk goes on.
bool ReadText(HKEY key, const wchar_t* name, std::wstring& text) {
  // Room for the longest name and its terminator, plus one place to end a
  // value stored without one.
  wchar_t buffer[LptNameCapacity + 2] = {};
  DWORD type = 0;
  DWORD bytes = (LptNameCapacity + 1) * sizeof(wchar_t);
  text.clear();
  const LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
  if (status != ERROR_SUCCESS) {
    if (status != ERROR_FILE_NOT_FOUND) ShowSystemError(status);
    return false;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  buffer[bytes / sizeof(wchar_t)] = L'\0';
  text = buffer;
  if (text.size() > LptNameCapacity) text.resize(LptNameCapacity);
  return true;
}

std::wstring ReadTextOrEmpty(HKEY key, const wchar_t* name) {
  std::wstring text;
  ReadText(key, name, text);
  return text;
}

// The whole binary value, whatever its length; empty when unreadable.
std::vector<unsigned char> ReadBinary(HKEY key, const wchar_t* name) {
  DWORD bytes = 0;
  LSTATUS status = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &bytes);
  std::vector<unsigned char> data(bytes);
  if (status == ERROR_SUCCESS && bytes > 0) {
    status = RegQueryValueExW(key, name, nullptr, nullptr, data.data(), &bytes);
    data.resize(bytes);
  }
  if (status != ERROR_SUCCESS) {
    if (status != ERROR_FILE_NOT_FOUND) ShowSystemError(status);
    data.clear();
  }
  return data;
}

// Subkey names by index, skipping unreadable ones, at most `limit` indices.
std::vector<std::wstring> ListSubkeys(HKEY key, int limit) {
  std::vector<std::wstring> names;
  for (int index = 0; index < limit; ++index) {
    wchar_t name[KeyNameCapacity] = {};
    DWORD length = KeyNameCapacity;
    const LSTATUS status = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) names.emplace_back(name);
  }
  return names;
}

std::wstring ToLower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

struct DeviceValues {
  std::wstring service, deviceClass, friendlyName;
};

enum class Pass { Acpi, MultiFunction };

bool Qualifies(const DeviceValues& values, Pass pass) {
  if (pass == Pass::Acpi) return values.service == L"Parport" && values.deviceClass == L"Ports";
  return (values.service == L"parport" || values.service == L"nmpar") && values.deviceClass == L"ports";
}

class Discovery {
 public:
  int Run() {
    for (LptPortInfo& entry : LptPorts) entry = LptPortInfo{};
    for (const wchar_t* root : AcpiRoots) WalkInstances(root, Pass::Acpi);
    UniqueKey mf = OpenMachineKey(MfRoot, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
    if (mf) {
      for (const std::wstring& device : ListSubkeys(mf.get(), MfDeviceLimit)) {
        WalkInstances(FormatText(L"%s\\%s", MfRoot, device.c_str()), Pass::MultiFunction);
      }
    }
    return count_;
  }

 private:
  void WalkInstances(const std::wstring& parent, Pass pass) {
    UniqueKey key = OpenMachineKey(parent, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
    if (!key) return;
    for (const std::wstring& instance : ListSubkeys(key.get(), RootInstanceLimit)) {
      if (count_ >= LptPortCapacity) return;  // the table is full: later ports are not shown
      TakeInstance(FormatText(L"%s\\%s", parent.c_str(), instance.c_str()), pass);
    }
  }

  void TakeInstance(const std::wstring& path, Pass pass) {
    UniqueKey device = OpenMachineKey(path, KEY_QUERY_VALUE);
    if (!device) return;
    DeviceValues values{ReadTextOrEmpty(device.get(), L"Service"), ReadTextOrEmpty(device.get(), L"Class"),
                        ReadTextOrEmpty(device.get(), L"FriendlyName")};
    if (pass == Pass::MultiFunction) {
      values = {ToLower(values.service), ToLower(values.deviceClass), ToLower(values.friendlyName)};
    }
    if (!Qualifies(values, pass)) return;

    UniqueKey control = OpenMachineKey(path + L"\\Control", KEY_QUERY_VALUE);
    if (!control) return;
    const std::vector<unsigned char> config = ReadBinary(control.get(), L"AllocConfig");
    const int32_t address = AllocConfigAddress(config.data(), config.size(), WindowsResourceDescriptorSize());
    if (address < 0) return;  // cut short or without a port range
    if (pass == Pass::MultiFunction && address == 0) return;  // a card function without a port

    UniqueKey parameters = OpenMachineKey(path + L"\\Device Parameters", KEY_QUERY_VALUE);
    if (!parameters) return;
    std::wstring portName;
    if (!ReadText(parameters.get(), L"PortName", portName)) return;

    LptPortInfo& entry = LptPorts[count_++];
    entry.address = address;
    entry.present = 1;
    entry.portName = portName;
    entry.friendlyName = values.friendlyName;
  }

  int count_ = 0;
};

}  // namespace

size_t WindowsResourceDescriptorSize() {
#ifdef _WIN64
  return ResourceDescriptorSize64;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? ResourceDescriptorSize64 : ResourceDescriptorSize32;
#endif
}

int DiscoverLptPorts() { return Discovery().Run(); }
