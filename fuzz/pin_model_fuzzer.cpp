// The pin model from any "key=value" lines, through validation, the usage
// table, the pages' rows and the fault details.
#include <map>

#include "fuzz/fuzz_input.h"
#include "pins/portable/pin_rules.h"

static std::map<std::wstring, std::wstring> ParseLines(const uint8_t* data, size_t size) {
  std::map<std::wstring, std::wstring> entries;
  const std::wstring text = WideFromLatin1(std::string_view(reinterpret_cast<const char*>(data), size));
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(L'\n', at);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(at, end - at);
    const size_t equals = line.find(L'=');
    if (equals != std::wstring::npos) entries[line.substr(0, equals)] = line.substr(equals + 1);
    at = end + 1;
  }
  return entries;
}

// Validation zeroes every number no connector has; port-0 pins keep theirs.
static bool ValidSignalPlace(int32_t port, int32_t pin) {
  return port >= 0 && port < MachPortCount && (port == 0 || (pin >= 0 && pin <= 25));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::map<std::wstring, std::wstring> entries = ParseLines(data + 1, size - 1);
  PinModel model = ReadPinModel([&](const wchar_t* key, std::wstring& value) {
    const auto found = entries.find(key);
    if (found == entries.end()) return false;
    value = found->second;
    return true;
  });
  LanguageIndex = data[0] % 4;  // 3: a hand-edited registry value
  NumberErrorList errors;
  UsedPorts used{};
  ValidatePinModel(model, (data[0] & 0x80) != 0, errors, used);
  FUZZ_CHECK(errors.lines.size() <= NumberErrorCapacity);
  for (const MotorAssignment& m : model.motors) {
    if (m.active) FUZZ_CHECK(ValidSignalPlace(m.dirPort, m.dirPin) && ValidSignalPlace(m.stepPort, m.stepPin));
  }
  for (const OutputAssignment& o : model.outputs) {
    if (o.active) FUZZ_CHECK(ValidSignalPlace(o.port, o.pin));
  }
  static PinUsageTable table;
  ResetPinUsageTable(table);
  BuildPinUsageTable(model, table);
  static LptPortTable ports;
  for (int port = 1; port < MachPortCount; ++port) {
    if (!used[port]) continue;
    BuildPinRows(port, table, model, ports);
    for (int pin = 0; pin < UsagePinCount; ++pin) {
      const PinUsage& usage = table.pins[port][pin];
      FUZZ_CHECK(usage.names.size() == static_cast<size_t>(usage.count));
      if (usage.flags & FaultFlags) PinFaultDetails(usage, pin);
    }
  }
  BuildModbusRows(model);
  return 0;
}
