// The twenty Mach3 configuration dialogs as data: titles, frames and one row
// per control, with the profile key each control shows. Needs no Windows
// header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

// Row kinds. The top three bits of a stored kind word are reserved (the
// signal-table cells carry some); every reader masks them off.
enum DLG_TYPE : uint32_t {
  DLG_RADIO = 1,
  DLG_TOOLCHANGE_IGNORE = 2,
  DLG_TOOLCHANGE_STOP = 3,
  DLG_TOOLCHANGE_AUTO = 4,
  DLG_RADIO_KERNEL = 5,
  DLG_RADIO_SWAPPED = 6,
  DLG_CHECK = 7,
  DLG_CHECK_INVERTED = 8,
  DLG_CHECK_PULLEY = 9,
  DLG_EDIT_PULLEY_NUMBER = 10,
  DLG_EDIT_PULLEY = 11,
  DLG_EDIT_LABEL_RIGHT = 12,
  DLG_EDIT_LABEL_LEFT = 13,
  DLG_EDIT_LABEL_ABOVE = 14,
  DLG_CELL = 16,
  DLG_EDIT_PLAIN = 17,
  DLG_TEXT = 18,
};

inline constexpr uint32_t KindMask = 0x1FFFFFFF;
inline constexpr uint32_t ReservedEnabledCell = 0x40000000;
inline constexpr uint32_t ReservedCell = 0x80000000;

// How a loaded text becomes a row's value and how it is shown.
enum FORMAT_TYPE : int32_t {
  FORMAT_TEXT = 1,
  FORMAT_INT = 2,
  FORMAT_HEX = 3,
  FORMAT_DECIMAL = 4,
  FORMAT_NONE = 5,
  FORMAT_FLAG = 6,
  FORMAT_INT_OFFSET = 7,
  FORMAT_KERNEL_DIVISOR = 8,
  FORMAT_PER_MINUTE = 9,
  FORMAT_HOME_OFFSET = 10,
};

// Row texts are UTF-16 code units, as the print file copies them: wchar_t
// on Windows, char16_t where wchar_t is wider (the native test build).
using ValueChar = std::conditional_t<sizeof(wchar_t) == 2, wchar_t, char16_t>;

inline constexpr size_t ValueBytes = 524;
inline constexpr size_t ValueTextCapacity = 260;  // 259 characters and the terminator

// A row's value: an integer in the first four bytes or a zero-terminated
// text, depending on the row's kind and format. The print file copies these
// bytes as they are. The bytes come first: "{}" zeroes only the first
// member, and a new row must not carry stale memory into a print file.
union RowValue {
  unsigned char bytes[ValueBytes];
  int32_t number;
  ValueChar text[ValueTextCapacity];
};
static_assert(sizeof(RowValue) == ValueBytes);

struct SettingsRow {
  std::wstring label;  // empty ends the dialog's rows
  uint32_t kind = 0;   // DLG_TYPE in the low 29 bits
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t labelWidth = 0;
  std::wstring key;  // empty: the row shows no profile value
  RowValue value{};
  int32_t format = 0;
  int32_t absX = 0;
  int32_t absY = 0;
  int32_t index = 0;
  int32_t offset = 0;
};

struct SettingsDialog {
  std::wstring title;  // empty ends the table
  int32_t height = 0;
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t defaultHeight = 0;
  std::vector<SettingsRow> rows;  // ends with a row whose label is empty
};

inline uint32_t RowKind(const SettingsRow& row) { return row.kind & KindMask; }
inline bool HasKey(const SettingsRow& row) { return !row.key.empty(); }
inline bool IsEndRow(const SettingsRow& row) { return row.label.empty(); }

// Rows of a dialog before its end row.
size_t RowCount(const SettingsDialog& dialog);

inline constexpr int SettingsDialogCount = 20;

// Dialog indexes that code treats specially.
enum SettingsDialogIndex : int {
  DialogPortSetup = 1,
  DialogInputSignals = 3,
  DialogOutputSignals = 4,
  DialogEncoders = 5,
  DialogSpindleSetup = 6,
  DialogFixtures = 15,
  DialogToolTable = 16,
  DialogPlugins = 17,
  DialogSpindlePulleys = 18,
  DialogSaveZ = 19,
};

// True for the dialogs drawn as column tables rather than control by control.
bool IsLineTableDialog(int dialogIndex);

struct KernelSpeed {
  const wchar_t* name;
  int32_t frequency;
};
inline constexpr int KernelSpeedCount = 7;
extern const KernelSpeed KernelSpeedNames[KernelSpeedCount];

// A freshly built table: 20 dialogs and the terminator, values zero.
std::vector<SettingsDialog> BuildDialogTable();

// The table in use for the whole run.
extern std::vector<SettingsDialog> DialogTable;
