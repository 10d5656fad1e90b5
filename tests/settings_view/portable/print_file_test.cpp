// Print file bytes: the exact header, round trips of every kind of data,
// and refusal of foreign, other-version, truncated and hostile files.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "settings_view/portable/print_file.h"

namespace {

const PrintFileTime Written = {2026, 12, 0, 6, 21, 45, 30, 500};

void PutI32(std::vector<unsigned char>& bytes, size_t at, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
}

int32_t GetI32(const std::vector<unsigned char>& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return static_cast<int32_t>(value);
}

class PrintFileTest : public testing::Test {
 protected:
  void SetUp() override {
    DialogTable = BuildDialogTable();
    MachDir = L"C:\\Mach3";
    ProfileName = L"Mill";
    const std::map<std::wstring, std::wstring> profile = {
        {L"Units", L"1"}, {L"Port1Add", L"888"}, {L"Input3Active", L"1"}, {L"Input3Pin", L"12"},
        {L"SpinCW", L"10"}, {L"Vel0", L"2.5"}, {L"PathMode", L"1"}, {L"Editor", std::wstring(200, L'e')}};
    FillDialogValues(
        DialogTable,
        [&](const std::wstring& key, std::wstring& value) {
          auto found = profile.find(key);
          if (found == profile.end()) return false;
          value = found->second;
          return true;
        },
        [](const std::wstring&) {});
    for (int i = 0; i < FixtureCount; ++i) {
      FixtureTable[i] = FixtureRecord{};
      for (std::wstring& coord : FixtureTable[i].coords) coord = L"0.0000";
    }
    FixtureTable[1].empty = 0;
    FixtureTable[1].name = L"Vise";
    FixtureTable[1].coords[0] = L"12.3456";
    FixtureTable[2].coords[1] = L"-2670.7000";
    for (int i = 0; i < ToolCount; ++i) {
      ToolTable[i] = ToolSlot{};
      SetFieldText(ToolTable[i].number, ToolNumberCapacity, std::to_wstring(i));
    }
    SetFieldText(ToolTable[1].description, ToolDescriptionCapacity, std::wstring(32, L'a'));
    SetFieldText(ToolTable[2].description, ToolDescriptionCapacity, std::wstring(40, L'b'));
    SetFieldText(ToolTable[2].diameter, ToolValueCapacity, L"6.350000");
    ToolTable[2].valid = 1;
    ClearPlugins();
    AddPlugin(L"profile / PlugIns / ", L"Flash", L"1");
    AddPlugin(L"profile / PlugIns / ", L"Joystick", L"0");
  }
  // Offset of a dialog's block in a file of the current table and lists.
  size_t BlockOffset(int dialog) {
    size_t at = PrintFileHeaderBytes;
    for (int i = 0; i < dialog; ++i) {
      if (i == DialogFixtures) {
        for (const FixtureRecord& record : FixtureTable) at += 8 + 2 * record.name.size() + 66;
      } else if (i == DialogToolTable) {
        at += ToolCount * 456;
      } else if (i == DialogPlugins) {
        at += 4 + PluginList.size() * 133;
      } else {
        at += 20 + RowCount(DialogTable[i]) * PrintFileRowBytes;
      }
    }
    return at;
  }
};

TEST_F(PrintFileTest, StartsWithTheMarkAndTheVersionPairAndStoresFixtureNamesByLength) {
  const std::vector<unsigned char> bytes = EncodePrintFile(Written, 0xFFFFFFFF);
  const char* mark = "Kestrelwood";
  for (size_t i = 0; i < 11; ++i) {
    EXPECT_EQ(bytes[2 * i], mark[i]);
    EXPECT_EQ(bytes[2 * i + 1], 0);
  }
  for (size_t i = 22; i < 202; ++i) ASSERT_EQ(bytes[i], 0) << i;
  const unsigned char version[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(bytes.data() + 202, version, 8), 0);
  EXPECT_EQ(bytes[210], 0xEA);  // 2026
  EXPECT_EQ(bytes[211], 0x07);
  EXPECT_EQ(GetI32(bytes, 226), -1);
  EXPECT_EQ(bytes[230], 'C');
  EXPECT_EQ(bytes[490], 'M');
  EXPECT_EQ(bytes.size(), BlockOffset(SettingsDialogCount));
  // A fixture name is stored as its length and its characters.
  const size_t second = BlockOffset(DialogFixtures) + 8 + 66;
  EXPECT_EQ(GetI32(bytes, second), 0);      // empty
  EXPECT_EQ(GetI32(bytes, second + 4), 4);  // n
  const unsigned char vise[8] = {'V', 0, 'i', 0, 's', 0, 'e', 0};
  EXPECT_EQ(std::memcmp(bytes.data() + second + 8, vise, 8), 0);
  EXPECT_EQ(bytes[second + 16], '1');  // X follows the name
}

// Every field comes back whole as far as the fuzzer sees; here the widths.
TEST_F(PrintFileTest, WritingAndReadingGivesTheSameDataWithinTheFieldWidths) {
  const std::vector<unsigned char> bytes = EncodePrintFile(Written, 0x00FF00FF);
  DialogTable = BuildDialogTable();
  PrintFileContents contents;
  ASSERT_EQ(DecodePrintFile(bytes.data(), bytes.size(), contents), PrintFileCheck::Ok);
  EXPECT_EQ(contents.mask, 0x00FF00FFu);
  EXPECT_EQ(contents.time.year, 2026);
  EXPECT_EQ(contents.time.minute, 45);
  EXPECT_EQ(contents.machDir, L"C:\\Mach3");
  ApplyPrintFile(std::move(contents));
  EXPECT_EQ(ValueText(DialogTable[1].rows[1]), L"0x0378");
  EXPECT_EQ(DialogTable[6].rows[2].value.number, 4);
  // A value text keeps its first 130 characters and a half.
  EXPECT_EQ(ValueText(DialogTable[9].rows[28]), std::wstring(130, L'e') + L"e");
  EXPECT_EQ(FixtureTable[1].name, L"Vise");
  EXPECT_EQ(FixtureTable[1].coords[0], L"12.345");
  EXPECT_EQ(FixtureTable[1].coords[1], L"0.0000");
  EXPECT_EQ(FixtureTable[2].coords[1], L"-2670.");
  EXPECT_EQ(FixtureTable[1].empty, 0);
  EXPECT_EQ(std::wstring(ToolTable[1].description), std::wstring(32, L'a'));
  EXPECT_EQ(std::wstring(ToolTable[2].description), std::wstring(32, L'b'));
  EXPECT_EQ(std::wstring(ToolTable[2].diameter), L"6.350000");
  EXPECT_EQ(std::wstring(ToolTable[253].number), L"253");
  EXPECT_EQ(ToolTable[2].valid, 1);
  ASSERT_EQ(PluginList.size(), 2u);
  EXPECT_EQ(std::wstring(PluginList[1].name), L"Joystick");
  EXPECT_EQ(PluginList[1].enabled, 0);
  // Writing what was read gives the same bytes again.
  EXPECT_EQ(EncodePrintFile(Written, 0x00FF00FF), bytes);
}

TEST_F(PrintFileTest, ForeignAndOtherVersionFilesAreRefused) {
  std::vector<unsigned char> bytes = EncodePrintFile(Written, 0xFFFFFFFF);
  PrintFileContents contents;
  std::vector<unsigned char> other = bytes;
  PutI32(other, 202, 2);
  EXPECT_EQ(DecodePrintFile(other.data(), other.size(), contents), PrintFileCheck::OtherVersion);
  other = bytes;
  PutI32(other, 206, 1);
  EXPECT_EQ(DecodePrintFile(other.data(), other.size(), contents), PrintFileCheck::OtherVersion);
  other = bytes;
  other[0] = 'k';
  EXPECT_EQ(DecodePrintFile(other.data(), other.size(), contents), PrintFileCheck::NotOurs);
  EXPECT_EQ(DecodePrintFile(bytes.data(), 10, contents), PrintFileCheck::NotOurs);
  EXPECT_EQ(DecodePrintFile(nullptr, 0, contents), PrintFileCheck::NotOurs);
}

TEST_F(PrintFileTest, EveryTruncationIsDetectedAndLeavesTheTableAlone) {
  const std::vector<unsigned char> bytes = EncodePrintFile(Written, 0xFFFFFFFF);
  DialogTable[0].rows[0].value.number = 77;
  // Every cut inside the header and the first dialogs, then cuts spread over the rest.
  std::vector<size_t> cuts;
  for (size_t cut = 22; cut < 2000; ++cut) cuts.push_back(cut);
  for (size_t cut = 2000; cut < bytes.size(); cut += 997) cuts.push_back(cut);
  cuts.push_back(bytes.size() - 1);
  for (size_t cut : cuts) {
    PrintFileContents contents;
    ASSERT_EQ(DecodePrintFile(bytes.data(), cut, contents), PrintFileCheck::Damaged) << cut;
  }
  EXPECT_EQ(DialogTable[0].rows[0].value.number, 77);
}

struct Corruption {
  const char* what;
  int dialog;         // block to corrupt
  size_t offset;      // from the block's start
  int32_t value;
};

TEST_F(PrintFileTest, HostileCountsLengthsAndKindsAreRefused) {
  const std::vector<unsigned char> bytes = EncodePrintFile(Written, 0xFFFFFFFF);
  const Corruption corruptions[] = {
      {"fixture name length beyond the file", DialogFixtures, 4, 0x7FFFFFFF},
      {"negative fixture name length", DialogFixtures, 4, -1},
      {"plug-in count beyond the file", DialogPlugins, 0, 1000000},
      {"row kind outside the kinds", 0, 20, 99},
      {"row kind 15", 0, 20, 15},
      {"dialog height beyond any page", 9, 0, 0x7FFFFFF0},
      {"edit row with an undefined format", 14, 20 + PrintFileRowBytes + 289, FORMAT_NONE},
  };
  for (const Corruption& c : corruptions) {
    std::vector<unsigned char> bad = bytes;
    PutI32(bad, BlockOffset(c.dialog) + c.offset, c.value);
    PrintFileContents contents;
    EXPECT_EQ(DecodePrintFile(bad.data(), bad.size(), contents), PrintFileCheck::Damaged) << c.what;
  }
  // A plug-in count that is one too many runs into the end of the file.
  std::vector<unsigned char> bad = bytes;
  PutI32(bad, BlockOffset(DialogPlugins), 3);
  PrintFileContents contents;
  EXPECT_EQ(DecodePrintFile(bad.data(), bad.size(), contents), PrintFileCheck::Damaged);
}

}  // namespace
