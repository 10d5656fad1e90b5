// Filling the dialog table with one profile's values, and Mach3's fixture
// and tool tables read from their bytes. Needs no Windows header: the
// profile lookup, the reporting of bad rows and the decoding of 8-bit texts
// come in as functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings_view/portable/dialog_table.h"

inline constexpr size_t LoadTextCapacity = 260;  // MachDir, ProfileName: 259 characters

// What the last load (or print file) left: kept until the next one.
extern std::wstring MachDir;
extern std::wstring ProfileName;
extern int32_t IgnoreToolChange;  // 0 or 1
extern int32_t AutoToolChanger;   // 0 or 1
extern int32_t KernelSpeedIndex;
extern int32_t PulleyIndex;

inline constexpr int FixtureCount = 253;
inline constexpr int FixtureAxisCount = 6;  // X, Y, Z, A, B, C

struct FixtureRecord {
  int32_t empty = 1;
  std::wstring coords[FixtureAxisCount];  // "%0.4f", kept whole
  std::wstring name;
};
extern FixtureRecord FixtureTable[FixtureCount];

inline constexpr int ToolCount = 254;
inline constexpr size_t ToolNumberCapacity = 260;
inline constexpr size_t ToolDescriptionCapacity = 64;
inline constexpr size_t ToolValueCapacity = 32;

struct ToolSlot {
  wchar_t number[ToolNumberCapacity];
  wchar_t description[ToolDescriptionCapacity];
  wchar_t diameter[ToolValueCapacity];
  wchar_t diameterWear[ToolValueCapacity];
  wchar_t height[ToolValueCapacity];
  wchar_t heightWear[ToolValueCapacity];
  int32_t valid;
};
extern ToolSlot ToolTable[ToolCount];

inline constexpr size_t PluginNameCapacity = 130;  // 127 characters are kept

struct PluginRecord {
  int32_t enabled;
  wchar_t name[PluginNameCapacity];
};
extern std::vector<PluginRecord> PluginList;

// The leading optionally signed decimal integer of a text (0 when none),
// held to the int32 range.
int32_t IntegerOf(std::wstring_view text);
// The leading decimal floating-point number of a text (0 when none).
double NumberOf(std::wstring_view text);

// Resolves Mach3's exponent form ("1.5e-005") into "%.4f"; texts without a
// lowercase e are returned as they are.
std::wstring FormatDecimal(std::wstring_view text);

// Copies a text into a fixed field, cut at the field and zero-terminated.
void SetFieldText(wchar_t* field, size_t capacity, std::wstring_view text);
// Sets the row's value text, cut at the value area.
void SetValueText(SettingsRow& row, std::wstring_view text);
// The row's value text, up to its terminator.
std::wstring ValueText(const SettingsRow& row);

// Zeroes every row's value.
void ClearValues();

// The profile key a row is looked up with (at most 99 characters).
std::wstring LookupName(const SettingsRow& row, int32_t pulleyIndex);

// Looks a profile key up; false when the profile has no such key.
using ValueLookup = std::function<bool(const std::wstring& key, std::wstring& value)>;
// Reports a row the table cannot convert (the message text, ready to show).
using RowProblem = std::function<void(const std::wstring& message)>;

// Converts a found profile text into the row's value (or the load state).
void ConvertFoundValue(const SettingsDialog& dialog, SettingsRow& row, const std::wstring& text,
                       const RowProblem& problem);

// Sets every dialog's height to its default and fills every keyed row.
void FillDialogValues(std::vector<SettingsDialog>& table, const ValueLookup& lookup, const RowProblem& problem);

// Turns an 8-bit text from a Mach3 data file into characters.
using ByteDecoder = std::function<std::wstring(std::string_view bytes)>;

// Marks all fixtures empty; texts and names keep what they hold.
void MarkFixturesEmpty();
// Reads fixtures.dat bytes: 253 records of six doubles, then one name per
// line. Reads as far as the data goes and never past it.
void ReadFixtureBytes(const unsigned char* data, size_t size, const ByteDecoder& decode);

// Marks all tool slots invalid; texts keep what they hold.
void MarkToolsInvalid();
// Reads tools3.dat bytes: 254 records of a description and four doubles.
// Reads whole records only, as far as the data goes.
void ReadToolBytes(const unsigned char* data, size_t size, const ByteDecoder& decode);

// Empties the plug-in list; AddPlugin appends one when the entry is a
// plug-in of the profile (path under "profile / plugins /", not systemtest).
void ClearPlugins();
void AddPlugin(std::wstring_view path, std::wstring_view name, std::wstring_view value);

// Heights of the data-dependent dialogs and the rows' absX for the column
// tables.
void PrepareLayout(bool validOnly);
