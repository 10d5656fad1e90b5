// Writes the fuzzers' seed corpora (print files, fixture and tool tables,
// pin lines, search texts, decimals, profile texts, copy paths) from the profile
// generator and the program's own writers, so they have real files' shapes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "pins/portable/pin_model.h"
#include "fuzz/seed_files.h"

namespace fs = std::filesystem;

static void WriteSeed(const fs::path& folder, const std::string& name, const std::vector<unsigned char>& bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

static void WriteSeed(const fs::path& folder, const std::string& name, const std::string& text) {
  WriteSeed(folder, name, std::vector<unsigned char>(text.begin(), text.end()));
}

static std::vector<unsigned char> Utf16(const std::wstring& text) {
  std::vector<unsigned char> bytes;
  for (wchar_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  return bytes;
}

// Every key the pin model reads, each with a value from the generator;
// every seventh value is out of any range.
static std::string PinLines(const std::vector<GeneratedEntry>& entries, uint32_t flags) {
  std::vector<std::wstring> keys;
  ReadPinModel([&](const wchar_t* key, std::wstring& value) {
    keys.push_back(key);
    value = L"1";
    return true;
  });
  std::string text(1, static_cast<char>(flags));
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string key(keys[i].begin(), keys[i].end());
    const bool active = key.find("Active") != std::string::npos || key.find("On") != std::string::npos;
    const int32_t generated = ProfileInteger(Widen(entries[i % entries.size()].value).c_str());
    const int64_t pin = generated < 0 ? -static_cast<int64_t>(generated) : generated;
    const std::string value = active ? "1" : i % 7 == 0 ? "-3" : std::to_string(pin % 26);
    text += key + "=" + value + "\n";
  }
  return text;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds <folder>\n");
    return 2;
  }
  const fs::path root = argv[1];
  const std::vector<GeneratedEntry> entries = MakeProfileEntries({300, 7});
  // Whole files, and changes to the full file the fuzzer makes itself.
  const std::vector<unsigned char> printFile = PrintFile(entries);
  std::vector<unsigned char> header = {0x00};
  header.insert(header.end(), printFile.begin(), printFile.begin() + PrintFileHeaderBytes + 40);
  WriteSeed(root / "print_file", "header", header);
  WriteSeed(root / "print_file", "unchanged", std::vector<unsigned char>{0x01, 0xFF, 0xFF, 0xFF, 0xFF});
  WriteSeed(root / "print_file", "cut", std::vector<unsigned char>{0x01, 0x50, 0xC3, 0x00, 0x00});
  WriteSeed(root / "print_file", "changed",
            std::vector<unsigned char>{0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x10, 0x00, 0x00, 2, 'x', 0x00});
  WriteSeed(root / "fixture_table", "whole", FixtureFile(entries, FixtureCount, FixtureCount));
  WriteSeed(root / "fixture_table", "cut", FixtureFile(entries, 40, 0));
  WriteSeed(root / "tool_table", "whole", ToolFile(entries, ToolCount));
  WriteSeed(root / "tool_table", "cut", ToolFile(entries, 5));
  WriteSeed(root / "pin_model", "shown", PinLines(entries, 0x01));
  WriteSeed(root / "pin_model", "all", PinLines(MakeProfileEntries({300, 8}), 0x82));
  const char* const searches[] = {"\x05" "M*Pin" "Motor1DirPin", "\x04" "*a?" "xab", "\x86" "a\0*\0b\0" "a\0x\0b\0"};
  int number = 0;
  for (const char* search : searches) {
    const size_t length = (search[0] & 0x80) != 0 ? 13 : std::strlen(search);  // UTF-16 seeds hold NUL bytes
    WriteSeed(root / "search_pattern", std::to_string(number++), std::string(search, length));
  }
  number = 0;
  for (const GeneratedEntry& entry : entries) {
    if (entry.value.find('.') == std::string::npos || number >= 4) continue;
    WriteSeed(root / "format_decimal", std::to_string(number++), Utf16(Widen(entry.value + "e-005")));
  }
  WriteSeed(root / "format_decimal", "up", Utf16(L"2.5e+002"));
  const std::string profile = MakeProfileText(MakeProfileEntries({40, 3}));
  WriteSeed(root / "profile_text", "mach3", profile);
  WriteSeed(root / "profile_patch", "mach3", profile);
  WriteSeed(root / "profile_text", "declared", "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n" + profile);
  WriteSeed(root / "profile_text", "doctype",
            "<?xml version=\"1.0\"?>\n<!-- x -->\n<!DOCTYPE profile [<!ENTITY a \"b\">]>" + profile);
  // The first byte is the copy number; 0xFF bytes part the three texts.
  const char* const copies[] = {"\x00" "C:\\Mach3\xFF" "E:\\Backup\\\xFF" "macros\\Mill\\M6Start.m1s",
                                "\x05" "C:\\Mach3\\macros\xFF" "D:\\Save\xFF" "Mill.xml \tUnused",
                                "\x01" "\\\xFF" "a.b.txt\xFF" ".profile"};
  number = 0;
  for (const char* copy : copies) {
    WriteSeed(root / "copy_rules", std::to_string(number++), std::string(copy, 1 + std::strlen(copy + 1)));
  }
  std::vector<unsigned char> utf16 = {0xFF, 0xFE};
  const std::vector<unsigned char> units = Utf16(Widen(profile.substr(0, 400) + "\x01"));
  utf16.insert(utf16.end(), units.begin(), units.end());
  WriteSeed(root / "profile_text", "utf16", utf16);
  return 0;
}
