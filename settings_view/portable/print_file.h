// The print file: the filled dialog table with the fixture, tool and
// plug-in lists, as little-endian bytes written field by field. Needs no
// Windows header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings_view/portable/dialog_table.h"
#include "settings_view/portable/settings_values.h"

inline constexpr size_t PrintFileHeaderBytes = 750;
inline constexpr size_t PrintFileRowBytes = 309;
inline constexpr int32_t PrintFileVersion = 1;
inline constexpr int32_t PrintFileSubVersion = 0;

// The local time of writing: year, month, day of week, day, hour, minute,
// second, millisecond, as Windows keeps a local time.
struct PrintFileTime {
  uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

// Everything a print file holds, read into a copy of its own so that a
// refused file leaves the table on screen as it was.
struct PrintFileContents {
  PrintFileTime time{};
  uint32_t mask = 0;
  std::wstring machDir;
  std::wstring profileName;
  std::vector<SettingsDialog> table;
  std::vector<FixtureRecord> fixtures;
  std::vector<ToolSlot> tools;
  std::vector<PluginRecord> plugins;
};

// The bytes of a print file of the current table, fixtures, tools,
// plug-ins, MachDir and ProfileName.
std::vector<unsigned char> EncodePrintFile(const PrintFileTime& time, uint32_t mask);
// The same into `bytes`, whose memory is used again.
void EncodePrintFile(const PrintFileTime& time, uint32_t mask, std::vector<unsigned char>& bytes);

enum class PrintFileCheck { Ok, NotOurs, OtherVersion, Damaged };

// Checks and reads a whole print file into `contents`, the table's labels
// and keys taken from the program's own table.
PrintFileCheck DecodePrintFile(const unsigned char* data, size_t size, PrintFileContents& contents);

// Makes a checked file's contents the current table, lists, MachDir and
// ProfileName.
void ApplyPrintFile(PrintFileContents&& contents);
