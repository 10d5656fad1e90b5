// Conversions of profile texts into row values, and the readers of Mach3's
// fixture and tool tables. Works on bytes already in memory.
#include "settings_view/portable/settings_values.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwctype>

#include "app/portable/text_format.h"

std::wstring MachDir;
std::wstring ProfileName;
int32_t IgnoreToolChange = 0;
int32_t AutoToolChanger = 0;
int32_t KernelSpeedIndex = 0;
int32_t PulleyIndex = 0;

FixtureRecord FixtureTable[FixtureCount];
ToolSlot ToolTable[ToolCount];
std::vector<PluginRecord> PluginList;

static constexpr size_t LookupNameLength = 99;

static bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
static bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

static bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

int32_t IntegerOf(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (value <= INT32_MAX) value = value * 10 + (text[i] - L'0');
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

double NumberOf(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::string number;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) number += static_cast<char>(text[i++]);
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) number += static_cast<char>(text[i]);
  if (i < text.size() && text[i] == L'.') {
    number += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) number += static_cast<char>(text[i]);
  }
  if (digits == 0) return 0.0;
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) exponent += static_cast<char>(text[j++]);
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j) exponent += static_cast<char>(text[j]);
      number += exponent;
    }
  }
  return std::strtod(number.c_str(), nullptr);
}

// Ten to the n in single precision, by repeated squaring as Mach3's own
// numbers were made.
static float PowerOfTen(uint32_t n) {
  float result = 1.0f;
  float base = 10.0f;
  while (n != 0) {
    if (n & 1) result *= base;
    base *= base;
    n >>= 1;
  }
  return result;
}

std::wstring FormatDecimal(std::wstring_view text) {
  const size_t e = text.find(L'e');
  if (e == std::wstring_view::npos) return std::wstring(text);
  const std::wstring_view mantissa = text.substr(0, e);
  if (e + 1 >= text.size() || (text[e + 1] != L'+' && text[e + 1] != L'-')) return std::wstring(mantissa);
  const bool up = text[e + 1] == L'+';
  uint32_t n = 0;
  for (size_t i = e + 2; i < text.size() && IsDigit(text[i]); ++i) {
    if (n < 1000) n = n * 10 + (text[i] - L'0');  // far beyond float range already
  }
  const double m = NumberOf(mantissa);
  const double p = PowerOfTen(n);
  // Beyond the float range the power is infinite, and zero times it, or an
  // infinite mantissa over it, is no number at all: zero and infinity stay.
  const bool fixed = m == 0 || std::isinf(m);
  return FormatText(L"%.4f", fixed ? m : up ? m * p : m / p);
}

void SetFieldText(wchar_t* field, size_t capacity, std::wstring_view text) {
  if (capacity == 0) return;
  const size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(field, text.data(), length * sizeof(wchar_t));
  field[length] = L'\0';  // what follows is never read: the print file writes zeros after the text
}

void SetValueText(SettingsRow& row, std::wstring_view text) {
  std::memset(row.value.bytes, 0, sizeof(row.value.bytes));
  const size_t length = std::min(text.size(), ValueTextCapacity - 1);
  for (size_t i = 0; i < length; ++i) row.value.text[i] = static_cast<ValueChar>(text[i]);
}

std::wstring ValueText(const SettingsRow& row) {
  std::wstring text;
  for (size_t i = 0; i < ValueTextCapacity && row.value.text[i] != 0; ++i) {
    text += static_cast<wchar_t>(row.value.text[i]);
  }
  return text;
}

// The whole area, not only the part the print file keeps, so no text of an
// earlier profile survives behind a shorter one.
void ClearValues() {
  for (SettingsDialog& dialog : DialogTable) {
    for (SettingsRow& row : dialog.rows) std::memset(row.value.bytes, 0, sizeof(row.value.bytes));
  }
}

std::wstring LookupName(const SettingsRow& row, int32_t pulleyIndex) {
  const size_t comma = row.key.find(L',');
  std::wstring name = row.key.substr(0, comma);
  const uint32_t kind = RowKind(row);
  if (kind == DLG_CHECK_PULLEY || kind == DLG_EDIT_PULLEY) {
    name += std::to_wstring(static_cast<int64_t>(pulleyIndex) + 1);
  } else if (comma != std::wstring::npos) {
    name += std::to_wstring(row.index) + row.key.substr(comma + 1);
  }
  if (name.size() > LookupNameLength) name.resize(LookupNameLength);
  return name;
}

static int32_t KernelDivisorValue(int32_t divisor) {
  if (divisor == 0 || KernelSpeedIndex < 0 || KernelSpeedIndex >= KernelSpeedCount) return 0;
  return KernelSpeedNames[KernelSpeedIndex].frequency / divisor;
}

static void ConvertByFormat(const SettingsDialog& dialog, SettingsRow& row, const std::wstring& text,
                            const RowProblem& problem) {
  switch (row.format) {
    case FORMAT_TEXT:
      SetValueText(row, text);
      break;
    case FORMAT_INT:
      row.value.number = IntegerOf(text);
      break;
    case FORMAT_HEX:
      SetValueText(row, FormatText(L"0x%04X", static_cast<unsigned>(IntegerOf(text))));
      break;
    case FORMAT_DECIMAL:
      SetValueText(row, FormatDecimal(text));
      break;
    case FORMAT_FLAG:
      row.value.number = text == L"1" ? 1 : 0;
      break;
    case FORMAT_INT_OFFSET:
      row.value.number = static_cast<int32_t>(static_cast<int64_t>(IntegerOf(text)) + row.offset);
      break;
    case FORMAT_KERNEL_DIVISOR:
      row.value.number = KernelDivisorValue(IntegerOf(text));
      break;
    case FORMAT_PER_MINUTE:
      SetValueText(row, FormatText(L"%04.2f", NumberOf(text) * 60));
      break;
    case FORMAT_HOME_OFFSET:
      SetValueText(row, FormatText(L"%.4f", NumberOf(text) / ((static_cast<double>(row.index) + 1) * 1000)));
      break;
    default:
      problem(FormatText(L"List:%s %d undefined FORMAT_TYPE", dialog.title.c_str(), row.format));
      break;
  }
}

void ConvertFoundValue(const SettingsDialog& dialog, SettingsRow& row, const std::wstring& text,
                       const RowProblem& problem) {
  const uint32_t kind = RowKind(row);
  switch (kind) {
    case DLG_RADIO:
    case DLG_CHECK:
    case DLG_CHECK_PULLEY:
      row.value.number = IntegerOf(text);
      break;
    case DLG_TOOLCHANGE_IGNORE:
      IgnoreToolChange = text == L"1" ? 1 : 0;
      break;
    case DLG_TOOLCHANGE_STOP:
      break;
    case DLG_TOOLCHANGE_AUTO:
      AutoToolChanger = text == L"1" ? 1 : 0;
      break;
    case DLG_RADIO_KERNEL:
      row.value.number = IntegerOf(text);
      KernelSpeedIndex = row.value.number;
      break;
    case DLG_RADIO_SWAPPED:
      row.value.number = static_cast<int32_t>((static_cast<int64_t>(IntegerOf(text)) - 1) ^ 1);
      break;
    case DLG_CHECK_INVERTED:
      row.value.number = IntegerOf(text) ^ 1;
      break;
    case DLG_EDIT_PULLEY_NUMBER:
      PulleyIndex = IntegerOf(text);
      SetValueText(row, std::to_wstring(static_cast<int64_t>(PulleyIndex) + 1));
      break;
    default:
      if (kind >= DLG_EDIT_PULLEY && kind <= DLG_EDIT_PLAIN) {
        ConvertByFormat(dialog, row, text, problem);
      } else {
        problem(FormatText(L"List:%s  %d undefined DLG_TYPE", dialog.title.c_str(), static_cast<int>(kind)));
      }
      break;
  }
}

void FillDialogValues(std::vector<SettingsDialog>& table, const ValueLookup& lookup, const RowProblem& problem) {
  for (SettingsDialog& dialog : table) {
    if (dialog.title.empty()) break;
    dialog.height = dialog.defaultHeight;
    for (SettingsRow& row : dialog.rows) {
      if (IsEndRow(row)) break;
      if (!HasKey(row)) continue;
      std::wstring text;
      if (!lookup(LookupName(row, PulleyIndex), text)) continue;
      ConvertFoundValue(dialog, row, text, problem);
    }
  }
}

// Eight bytes, least significant first, as every Windows machine stores a
// double and as the machines this builds for hold one.
static_assert(std::endian::native == std::endian::little);

static uint64_t ReadDoubleBits(const unsigned char* bytes) {
  uint64_t bits;
  std::memcpy(&bits, bytes, sizeof(bits));
  return bits;
}

static double ReadDouble(const unsigned char* bytes) { return std::bit_cast<double>(ReadDoubleBits(bytes)); }

// The longest double in "%0.6f": 309 digits, a sign, a point and six decimals.
static constexpr size_t DoubleTextCapacity = 320;

static constexpr size_t FixtureRecordBytes = FixtureAxisCount * 8;
static constexpr size_t FixtureNamesStart = FixtureCount * FixtureRecordBytes;

void MarkFixturesEmpty() {
  for (FixtureRecord& record : FixtureTable) record.empty = 1;
}

// NUL bytes are no characters of a name: real Mach3 files hold a 254th
// coordinate record of zeros where the first name is expected, so the
// first name line starts with 48 NUL bytes.
static std::string NameBytes(const unsigned char* begin, const unsigned char* end) {
  std::string bytes;
  for (const unsigned char* p = begin; p < end; ++p) {
    if (*p != 0) bytes += static_cast<char>(*p);
  }
  return bytes;
}

static const std::wstring ZeroCoordinate = L"0.0000";

void ReadFixtureBytes(const unsigned char* data, size_t size, const ByteDecoder& decode) {
  wchar_t text[DoubleTextCapacity];
  for (size_t i = 0; i < FixtureCount; ++i) {
    FixtureRecord& record = FixtureTable[i];
    record.empty = 1;
    record.name.clear();
    for (size_t axis = 0; axis < FixtureAxisCount; ++axis) {
      const size_t at = i * FixtureRecordBytes + axis * 8;
      const uint64_t bits = at + 8 <= size ? ReadDoubleBits(data + at) : 0;  // records not reached are zeros
      if (bits == 0) {
        // Most records of a real table: no formatting, and copying the short
        // text costs no more than comparing it first.
        record.coords[axis] = ZeroCoordinate;
        continue;
      }
      const double value = std::bit_cast<double>(bits);
      FormatInto(text, DoubleTextCapacity, L"%0.4f", value);
      record.coords[axis] = text;  // into the text's own buffer, no new one for each of 1,518
      if (value != 0) record.empty = 0;
    }
  }
  if (size < FixtureNamesStart) return;
  size_t at = FixtureNamesStart;
  for (FixtureRecord& record : FixtureTable) {
    if (at >= size) break;
    const void* found = std::memchr(data + at, '\n', size - at);
    const size_t end = found ? static_cast<size_t>(static_cast<const unsigned char*>(found) - data) : size;
    record.name = decode(NameBytes(data + at, data + end));
    if (!record.name.empty()) record.empty = 0;
    at = end + 1;
  }
}

static constexpr size_t ToolRecordBytes = 67;  // and the description

void MarkToolsInvalid() {
  for (ToolSlot& slot : ToolTable) slot.valid = 0;
}

static constexpr wchar_t ZeroToolValue[] = L"0.000000";

// Into the field directly: cut to the field, as a copy of the whole text
// would be. Most values of a real table are zeros, which need no formatting.
static void SetToolValue(wchar_t* field, double value) {
  if (value == 0 && !std::signbit(value)) std::memcpy(field, ZeroToolValue, sizeof(ZeroToolValue));
  else FormatInto(field, ToolValueCapacity, L"%0.6f", value);
}

// The slots' numbers in decimal, as "%d" gives them, made once: a table is
// read again for every file the user opens.
using SlotNumberText = std::array<wchar_t, 4>;  // "253" and the terminator
static_assert(ToolCount <= 1000 && ToolNumberCapacity >= std::tuple_size_v<SlotNumberText>);

static std::array<SlotNumberText, ToolCount> MakeSlotNumbers() {
  std::array<SlotNumberText, ToolCount> numbers{};
  for (int i = 0; i < ToolCount; ++i) {
    const std::wstring text = DecimalText(i);
    std::copy(text.begin(), text.end(), numbers[i].begin());
  }
  return numbers;
}

void ReadToolBytes(const unsigned char* data, size_t size, const ByteDecoder& decode) {
  static const std::array<SlotNumberText, ToolCount> numbers = MakeSlotNumbers();
  size_t at = 0;
  for (int i = 0; i < ToolCount; ++i) {
    ToolSlot& slot = ToolTable[i];
    std::memcpy(slot.number, numbers[i].data(), sizeof(SlotNumberText));
    slot.valid = 0;
    const size_t length = at < size ? data[at] : 0;
    if (at >= size || size - at < ToolRecordBytes + length) {
      // Slots the file does not reach read as unused ones.
      slot.description[0] = L'\0';
      for (wchar_t* field : {slot.diameter, slot.diameterWear, slot.height, slot.heightWear}) {
        std::memcpy(field, ZeroToolValue, sizeof(ZeroToolValue));
      }
      continue;
    }
    const unsigned char* record = data + at;
    const std::wstring text = decode(std::string_view(reinterpret_cast<const char*>(record + 1), length));
    SetFieldText(slot.description, ToolDescriptionCapacity, text);
    SetToolValue(slot.diameter, ReadDouble(record + 9 + length));
    SetToolValue(slot.diameterWear, ReadDouble(record + 43 + length));
    SetToolValue(slot.height, ReadDouble(record + 51 + length));
    SetToolValue(slot.heightWear, ReadDouble(record + 59 + length));
    slot.valid = EqualsIgnoringCase(text, L"empty") ? 0 : 1;
    at += ToolRecordBytes + length;
  }
}

void ClearPlugins() { PluginList.clear(); }

void AddPlugin(std::wstring_view path, std::wstring_view name, std::wstring_view value) {
  static constexpr std::wstring_view pluginsPath = L"profile / plugins /";
  if (path.size() < pluginsPath.size() || !EqualsIgnoringCase(path.substr(0, pluginsPath.size()), pluginsPath)) return;
  if (EqualsIgnoringCase(name, L"systemtest")) return;
  PluginRecord record{};
  record.enabled = value == L"1" ? 1 : 0;
  SetFieldText(record.name, 128, name);  // 127 characters, as the print file keeps them
  PluginList.push_back(record);
}

static int32_t CountEnabledRows(const SettingsDialog& dialog) {
  int32_t count = 0;
  for (const SettingsRow& row : dialog.rows) {
    if (IsEndRow(row)) break;
    if (EqualsIgnoringCase(row.label, L"enabled") && row.value.number == 1) ++count;
  }
  return count;
}

static int32_t SignalTableHeight(const SettingsDialog& dialog, bool validOnly, int32_t rowsPerLine) {
  if (validOnly) return 20 * CountEnabledRows(dialog) + 80;
  return 20 * static_cast<int32_t>(RowCount(dialog) / rowsPerLine) + 60;
}

void PrepareLayout(bool validOnly) {
  std::vector<SettingsDialog>& table = DialogTable;
  table[DialogInputSignals].height = SignalTableHeight(table[DialogInputSignals], validOnly, 7);
  table[DialogOutputSignals].height = SignalTableHeight(table[DialogOutputSignals], validOnly, 5);
  table[DialogEncoders].height = SignalTableHeight(table[DialogEncoders], validOnly, 8);

  int32_t usedFixtures = 0;
  for (const FixtureRecord& record : FixtureTable) usedFixtures += record.empty == 0 ? 1 : 0;
  table[DialogFixtures].height = validOnly ? 20 * usedFixtures + 80 : 5160;

  int32_t validTools = 0;
  for (const ToolSlot& slot : ToolTable) validTools += slot.valid == 1 ? 1 : 0;
  table[DialogToolTable].height = validOnly ? 20 * validTools + 100 : 5180;

  int32_t enabledPlugins = 0;
  for (const PluginRecord& record : PluginList) enabledPlugins += record.enabled == 1 ? 1 : 0;
  table[DialogPlugins].height = validOnly ? 20 * enabledPlugins + 80 : 20 * static_cast<int32_t>(PluginList.size()) + 100;

  for (SettingsDialog& dialog : table) {
    for (SettingsRow& row : dialog.rows) row.absX = dialog.left + row.x + 20;
  }
}
