// Files of real shapes made from the profile generator and the program's
// own readers and writers: the fuzzers' seeds, and the print file that the
// print file fuzzer's inputs change.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "settings_view/portable/print_file.h"
#include "tools/profile_generator.h"

inline std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

inline void PutDouble(std::vector<unsigned char>& bytes, double value) {
  unsigned char raw[8];
  std::memcpy(raw, &value, 8);
  bytes.insert(bytes.end(), raw, raw + 8);
}

// fixtures.dat: 253 records of six doubles, then a name per line; `records`
// and `names` cut it short.
inline std::vector<unsigned char> FixtureFile(const std::vector<GeneratedEntry>& entries, int records, int names) {
  std::vector<unsigned char> bytes;
  for (int i = 0; i < records; ++i) {
    for (int axis = 0; axis < FixtureAxisCount; ++axis) {
      const std::string& value = entries[(i * FixtureAxisCount + axis) % entries.size()].value;
      PutDouble(bytes, i % 7 == 0 ? std::strtod(value.c_str(), nullptr) : 0.0);
    }
  }
  if (records == FixtureCount) bytes.insert(bytes.end(), 48, 0);  // Mach3's 254th record
  for (int i = 0; i < names; ++i) {
    const std::string name = i % 5 == 0 ? entries[i % entries.size()].name : "";
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back('\n');
  }
  return bytes;
}

// tools3.dat: a length-prefixed description and four doubles at their places.
inline std::vector<unsigned char> ToolFile(const std::vector<GeneratedEntry>& entries, int records) {
  std::vector<unsigned char> bytes;
  for (int i = 0; i < records; ++i) {
    const std::string description = i % 3 == 0 ? "Empty" : entries[i % entries.size()].name + " cutter";
    bytes.push_back(static_cast<unsigned char>(description.size()));
    bytes.insert(bytes.end(), description.begin(), description.end());
    bytes.insert(bytes.end(), 8, 0);
    PutDouble(bytes, std::strtod(entries[i % entries.size()].value.c_str(), nullptr));
    bytes.insert(bytes.end(), 26, 0);
    for (int v = 0; v < 3; ++v) PutDouble(bytes, i * 0.5 + v);
  }
  return bytes;
}

inline std::vector<unsigned char> PrintFile(const std::vector<GeneratedEntry>& entries) {
  DialogTable = BuildDialogTable();
  std::map<std::wstring, std::wstring> profile;
  for (const GeneratedEntry& entry : entries) profile[Widen(entry.name)] = Widen(entry.value);
  profile[L"Port1Add"] = L"888";
  profile[L"Editor"] = std::wstring(200, L'e');
  FillDialogValues(
      DialogTable,
      [&](const std::wstring& key, std::wstring& value) {
        const auto found = profile.find(key);
        if (found == profile.end()) return false;
        value = found->second;
        return true;
      },
      [](const std::wstring&) {});
  const std::vector<unsigned char> fixtures = FixtureFile(entries, FixtureCount, FixtureCount);
  ReadFixtureBytes(fixtures.data(), fixtures.size(), [](std::string_view bytes) { return Widen(std::string(bytes)); });
  const std::vector<unsigned char> tools = ToolFile(entries, 40);
  ReadToolBytes(tools.data(), tools.size(), [](std::string_view bytes) { return Widen(std::string(bytes)); });
  ClearPlugins();
  AddPlugin(L"profile / PlugIns / ", L"Flash", L"1");
  AddPlugin(L"profile / PlugIns / ", Widen(entries[3].name), L"0");
  MachDir = L"C:\\Mach3";
  ProfileName = L"Mach3Mill";
  return EncodePrintFile({2026, 12, 0, 6, 21, 45, 30, 500}, 0x00FF00FF);
}
