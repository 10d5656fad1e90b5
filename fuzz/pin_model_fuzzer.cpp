// The pin model from any "key=value" lines, through validation, the usage
// table, the pages' rows and the fault details.
#include <algorithm>
#include <cwchar>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "pins/portable/pin_rules.h"

// Every key the model reads, found once; an input's "key=value" lines give
// each its value, the last line of a key counting as in a profile read from
// top to bottom. Views into the input, so a lookup costs no allocation.
static std::vector<std::wstring> Keys;
static std::vector<const wchar_t*> KeyTexts;  // as the model passed them
static std::vector<std::string> LineKeys;
static std::unordered_map<std::string_view, size_t> KeyOfLine;
static std::unordered_map<std::wstring_view, size_t> KeyOfName;
static std::unordered_map<const wchar_t*, size_t> KeyOfText;
static std::vector<std::string_view> Values;
static std::vector<char> Given;
static PinUsageTable Table;  // reset before the first run and after each

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ReadPinModel([](const wchar_t* key, std::wstring& value) {
    Keys.push_back(key);
    KeyTexts.push_back(key);
    value = L"1";
    return true;
  });
  for (const std::wstring& key : Keys) LineKeys.emplace_back(key.begin(), key.end());
  for (size_t i = 0; i < Keys.size(); ++i) {
    KeyOfLine.emplace(LineKeys[i], i);
    KeyOfName.emplace(Keys[i], i);
    KeyOfText.emplace(KeyTexts[i], i);
  }
  Values.resize(Keys.size());
  Given.resize(Keys.size());
  ResetPinUsageTable(Table);
  return 0;
}

// The seeds list the keys in the model's order, and most inputs keep it; so
// a line's key is mostly the one after the last line's.
static size_t LineKeyIndex(std::string_view key) {
  static size_t next;
  if (next < Keys.size() && LineKeys[next] == key) return next++;
  const auto found = KeyOfLine.find(key);
  if (found == KeyOfLine.end()) return Keys.size();
  next = found->second + 1;
  return found->second;
}

static void ParseLines(std::string_view text) {
  Given.assign(Keys.size(), 0);
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line = text.substr(at, end - at);
    const size_t equals = line.find('=');
    if (equals != std::string_view::npos) {
      const size_t index = LineKeyIndex(line.substr(0, equals));
      if (index != Keys.size()) {
        Values[index] = line.substr(equals + 1);
        Given[index] = 1;
      }
    }
    at = end + 1;
  }
}

// The model asks for its keys in the order they were found in, skipping the
// fields of inactive signals, and passes the texts it made once; so the key
// asked is mostly the very text after the last, and only the others need the
// maps: the texts' addresses first, the texts themselves for any other.
static size_t NextKey;

static size_t KeyIndex(const wchar_t* key) {
  if (NextKey < Keys.size() && KeyTexts[NextKey] == key) return NextKey++;
  if (const auto same = KeyOfText.find(key); same != KeyOfText.end()) {
    NextKey = same->second + 1;
    return same->second;
  }
  const auto found = KeyOfName.find(key);
  if (found == KeyOfName.end()) return Keys.size();
  NextKey = found->second + 1;
  return found->second;
}

static bool Lookup(const wchar_t* key, std::wstring& value) {
  const size_t index = KeyIndex(key);
  if (index == Keys.size() || !Given[index]) return false;
  value.assign(Values[index].begin(), Values[index].end());  // Latin-1
  return true;
}

// Validation zeroes every number no connector has; port-0 pins keep theirs.
static bool ValidSignalPlace(int32_t port, int32_t pin) {
  return port >= 0 && port < MachPortCount && (port == 0 || (pin >= 0 && pin <= 25));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  ParseLines(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  NextKey = 0;
  PinModel model = ReadPinModel(Lookup);
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
  BuildPinUsageTable(model, Table);
  // One page per input, as the user sees one at a time: the used port at or
  // after the one bits 2 to 4 of the first byte name.
  static LptPortTable ports;
  int page = 0;
  for (int step = 0; step < MachPortCount - 1 && page == 0; ++step) {
    const int port = 1 + ((data[0] >> 2) + step) % (MachPortCount - 1);
    if (used[port]) page = port;
  }
  if (page != 0) BuildPinRows(page, Table, model, ports);
  for (int port = 1; port < MachPortCount; ++port) {
    for (int pin = 0; pin < UsagePinCount; ++pin) {
      const PinUsage& usage = Table.pins[port][pin];
      FUZZ_CHECK(usage.names.size() == static_cast<size_t>(usage.count));
      if (port == page && (usage.flags & FaultFlags)) PinFaultDetails(usage, pin);
    }
  }
  BuildModbusRows(model);
  ResetPinUsageTable(Table);
  return 0;
}
