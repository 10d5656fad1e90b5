// The dialog table (complete from the start, its frames, Mach3's own
// spellings where they look like typos, the reserved bits of its cells);
// profile texts into row values, and Mach3's fixture and tool tables from
// bytes laid out as Mach3 writes them. Print file bytes: the exact header,
// round trips of every kind of data, and refusal of foreign, other-version,
// truncated and hostile files.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "app/portable/text_format.h"
#include "settings_view/portable/dialog_table.h"
#include "settings_view/portable/print_file.h"
#include "settings_view/portable/settings_values.h"

namespace {

const size_t RowCounts[SettingsDialogCount] = {2,  21, 64, 378, 155, 64, 38, 20, 47, 111,
                                               41, 71, 40, 18,  9,   9,  6,  2,  5,  8};

// The process table as static initialisation left it, before any test
// rebuilt it: it once lost the axis lines of two dialogs to the order in
// which its sources' tables were initialised.
std::vector<size_t> InitialRowCounts;

class InitialTableSnapshot : public testing::Environment {
 public:
  void SetUp() override {
    for (const SettingsDialog& dialog : DialogTable) InitialRowCounts.push_back(RowCount(dialog));
  }
};
testing::Environment* const Snapshot = testing::AddGlobalTestEnvironment(new InitialTableSnapshot);

// A built table walks to twenty dialogs with their frames and row counts;
// the process table starts with the same rows.
TEST(DialogTableTest, TheProcessTableStartsCompleteWithTwentyFramedDialogs) {
  const std::vector<SettingsDialog> table = BuildDialogTable();
  size_t walked = 0;
  while (!table[walked].title.empty()) ++walked;
  ASSERT_EQ(walked, static_cast<size_t>(SettingsDialogCount));
  for (int i = 0; i < SettingsDialogCount; ++i) {
    EXPECT_EQ(table[i].top, 10) << i;
    EXPECT_EQ(table[i].left + table[i].width, i == 9 ? 965 : 900) << i;
    EXPECT_EQ(RowCount(table[i]), RowCounts[i]) << i;
    EXPECT_TRUE(table[i].rows.back().label.empty()) << i;  // the end row is the last one
  }
  ASSERT_EQ(InitialRowCounts.size(), static_cast<size_t>(SettingsDialogCount + 1));
  for (int i = 0; i < SettingsDialogCount; ++i) EXPECT_EQ(InitialRowCounts[i], RowCounts[i]) << i;
}

// Spellings and key pairings that look wrong and are Mach3's own.
TEST(DialogTableTest, KeepsMach3sSpellingsAndKeys) {
  const struct {
    int dialog;
    size_t row;
    const wchar_t *label, *key;
  } rows[] = {
      {5, 10, L"A-Port", L"Encoder0APin"},  {5, 11, L"A-Pin", L"Encoder0APort"},
      {5, 63, L"Veocity", L"MPGVel6"},      {11, 0, L"Entriies are in setup units", L""},
      {12, 8, L"Use Radius of Feedrater", L"Use Diam"}, {19, 5, L"Safe_Z", L"m_SafeZ"},
      {9, 30, L"Use Init String on ALL \"Resets\"", L"InitAllResets"},
  };
  const std::vector<SettingsDialog> table = BuildDialogTable();
  EXPECT_EQ(table[5].title, L"Ports & Pins Encoder/MPG's");
  for (const auto& r : rows) {
    EXPECT_EQ(table[r.dialog].rows.at(r.row).label, r.label);
    EXPECT_EQ(table[r.dialog].rows.at(r.row).key, r.key) << r.dialog << "/" << r.row;
  }
}

// Every value starts as zero bytes: "{}" on a union clears only its first
// member, and print files copy 261 of these bytes out.
TEST(DialogTableTest, EveryValueStartsAsZeroBytes) {
  const unsigned char zero[ValueBytes] = {};
  for (const SettingsDialog& dialog : BuildDialogTable()) {
    for (const SettingsRow& row : dialog.rows) ASSERT_EQ(std::memcmp(row.value.bytes, zero, ValueBytes), 0);
  }
}

// Only the cells of the four signal tables carry reserved bits, and every
// such word still reads as a plain cell.
TEST(DialogTableTest, ReservedBitsSitOnlyOnSignalTableCellsAndMaskToCells) {
  const std::vector<SettingsDialog> table = BuildDialogTable();
  for (int d = 0; d < SettingsDialogCount; ++d) {
    const bool signalTable = d >= 2 && d <= 5;
    for (size_t r = 0; r < RowCount(table[d]); ++r) {
      const SettingsRow& row = table[d].rows[r];
      SCOPED_TRACE(testing::Message() << "dialog " << d << " row " << r);
      const uint32_t reserved = row.kind & ~KindMask;
      if (signalTable && RowKind(row) == DLG_CELL) {
        EXPECT_EQ(reserved, row.label == L"Enabled" ? ReservedEnabledCell : ReservedCell);
      } else {
        EXPECT_EQ(reserved, 0u);
      }
      EXPECT_TRUE(RowKind(row) >= 1 && RowKind(row) <= 18 && RowKind(row) != 15);
      EXPECT_TRUE(RowKind(row) != DLG_TEXT || row.key.empty());  // text rows never have a key
    }
  }
}

// ---------------------------------------------------------------- Values

std::wstring Latin1(std::string_view bytes) {
  std::wstring text;
  for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return text;
}

struct FormatDecimalCase {
  const wchar_t* stored;
  const wchar_t* shown;
};

TEST(FormatDecimalTest, ResolvesLowercaseExponentsOnly) {
  const FormatDecimalCase cases[] = {
      {L"1.5e-005", L"0.0000"},  {L"2.5e+002", L"250.0000"}, {L"0.25", L"0.25"},
      {L"1E5", L"1E5"},          {L"1.25e+000", L"1.2500"},  {L"-3e+001", L"-30.0000"},
      {L"7.5e-001", L"0.7500"},  {L"4e5", L"4"},             {L"12e", L"12"},
      {L"2e+", L"2.0000"},       {L"", L""},                 {L"1e-999999999999", L"0.0000"},
      {L"0e+999", L"0.0000"},    {L"0.0e+039", L"0.0000"},
  };
  for (const FormatDecimalCase& c : cases) EXPECT_EQ(FormatDecimal(c.stored), c.shown) << c.stored;
  // A mantissa beyond the double range over a power beyond the float range
  // stays infinite; it used to become "not a number".
  EXPECT_EQ(FormatDecimal(L"1E400e-050"), FormatText(L"%.4f", std::numeric_limits<double>::infinity()));
}

TEST(NumberTest, LeadingIntegerAndNumberOfTexts) {
  EXPECT_EQ(IntegerOf(L"  -7xyz"), -7);
  EXPECT_EQ(IntegerOf(L"abc"), 0);
  EXPECT_EQ(IntegerOf(L"1.9"), 1);
  EXPECT_EQ(IntegerOf(L"99999999999"), INT32_MAX);
  EXPECT_EQ(IntegerOf(L"-99999999999"), INT32_MIN);
  EXPECT_DOUBLE_EQ(NumberOf(L"-.5mm"), -0.5);
  EXPECT_DOUBLE_EQ(NumberOf(L"1E2"), 100.0);
  EXPECT_DOUBLE_EQ(NumberOf(L"3e"), 3.0);
  EXPECT_DOUBLE_EQ(NumberOf(L"0x10"), 0.0);
}

// Fills the process table from a map standing in for the profile.
class FillTest : public testing::Test {
 protected:
  void SetUp() override {
    DialogTable = BuildDialogTable();
    IgnoreToolChange = AutoToolChanger = KernelSpeedIndex = PulleyIndex = 0;
  }
  void Fill() {
    problems.clear();
    FillDialogValues(
        DialogTable,
        [this](const std::wstring& key, std::wstring& value) {
          auto found = profile.find(key);
          if (found == profile.end()) return false;
          value = found->second;
          return true;
        },
        [this](const std::wstring& message) { problems.push_back(message); });
  }
  const SettingsRow& Row(int dialog, size_t row) { return DialogTable[dialog].rows[row]; }
  std::wstring Text(int dialog, size_t row) { return ValueText(Row(dialog, row)); }
  int32_t Number(int dialog, size_t row) { return Row(dialog, row).value.number; }

  std::map<std::wstring, std::wstring> profile;
  std::vector<std::wstring> problems;
};

TEST_F(FillTest, ConvertsEachKindAndFormat) {
  profile = {{L"Units", L"1"},        {L"Port1Add", L"888"},     {L"PathMode", L"1"},     {L"SlowMode", L"1"},
             {L"Sounds", L"1"},       {L"Vel0", L"2.5"},         {L"M1RefHome", L"4000"}, {L"SpinCW", L"10"},
             {L"JogInc1", L"2.5e+002"}, {L"Motor0Active", L"1"}, {L"Motor1Active", L"yes"}, {L"Motor0StepPin", L"2"},
             {L"Editor", std::wstring(400, L'x')}, {L"Steps0", L"2000"}};
  DialogTable[3].height = 7;
  Fill();
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(Number(0, 0), 1);                 // radio: second button
  EXPECT_EQ(Text(1, 1), L"0x0378");           // hex port address
  EXPECT_EQ(Number(9, 33), 1);                // PathMode 1: the second radio
  EXPECT_EQ(Number(9, 90), 0);                // inverted check
  EXPECT_EQ(Number(9, 91), 1);                // plain check
  EXPECT_EQ(Text(8, 7), L"150.00");           // per minute
  EXPECT_EQ(Text(11, 24), L"2.0000");         // home offset of axis 1
  EXPECT_EQ(Number(6, 2), 4);                 // relay output, offset -6
  EXPECT_EQ(Text(9, 47), L"250.0000");        // decimal
  EXPECT_EQ(Number(2, 9), 1);                 // flag "1"
  EXPECT_EQ(Number(2, 17), 0);                // flag other than "1"
  EXPECT_EQ(Text(2, 10), L"2");
  EXPECT_EQ(Text(9, 28), std::wstring(259, L'x'));  // cut at the value area
  EXPECT_EQ(Text(8, 6), L"2000");
  EXPECT_EQ(Number(9, 42), 0);                // key not in the profile
  EXPECT_EQ(DialogTable[3].height, 1700);     // heights return to their defaults
}

// Only exact texts count: "1 " is not 1, and the swapped radio's 2 is its first button.
TEST_F(FillTest, ToolChangeFlagsAndSwappedRadioFollowExactValues) {
  profile = {{L"IGNORETOOL", L"1"}, {L"AutoTool", L"0"}, {L"PathMode", L"2"}};
  Fill();
  EXPECT_EQ(IgnoreToolChange, 1);
  EXPECT_EQ(AutoToolChanger, 0);
  EXPECT_EQ(Number(9, 33), 0);
  profile = {{L"IGNORETOOL", L"1 "}, {L"AutoTool", L"1"}};
  Fill();
  EXPECT_EQ(IgnoreToolChange, 0);
  EXPECT_EQ(AutoToolChanger, 1);
}

struct KernelCase {
  const wchar_t* pulseSpeed;
  const wchar_t* pwmBase;
  int32_t shown;
};

TEST_F(FillTest, PwmBaseDividesTheKernelFrequencyOfDialogOne) {
  const KernelCase cases[] = {
      {L"0", L"5", 5000}, {L"0", L"0", 0}, {L"7", L"5", 0}, {L"-1", L"5", 0}, {L"6", L"-3", -33333},
  };
  for (const KernelCase& c : cases) {
    profile = {{L"PulseSpeed", c.pulseSpeed}, {L"PWMBase", c.pwmBase}};
    Fill();
    EXPECT_EQ(Number(6, 18), c.shown) << c.pulseSpeed << " " << c.pwmBase;
  }
}

TEST_F(FillTest, PulleyNumberSelectsThePulleyKeys) {
  profile = {{L"PULLEY", L"0"}, {L"LSPEED1", L"100"}, {L"SPEED1", L"2000"}, {L"SPINRATIO1", L"2.5e+000"},
             {L"SPINREV1", L"1"}, {L"LSPEED3", L"wrong"}};
  Fill();
  EXPECT_EQ((std::vector<std::wstring>{Text(18, 0), Text(18, 1), Text(18, 2), Text(18, 3)}),
            (std::vector<std::wstring>{L"1", L"100", L"2000", L"2.5000"}));
  EXPECT_EQ(Number(18, 4), 1);
  profile[L"PULLEY"] = L"2";
  Fill();
  EXPECT_EQ(Text(18, 0), L"3");
  EXPECT_EQ(Text(18, 1), L"wrong");
}

TEST(ConvertTest, UndefinedKindsAndFormatsAreReportedAndSkipped) {
  SettingsDialog dialog;
  dialog.title = L"Test dialog";
  std::vector<std::wstring> problems;
  auto report = [&](const std::wstring& message) { problems.push_back(message); };
  SettingsRow row;
  row.kind = DLG_EDIT_LABEL_LEFT;
  row.format = FORMAT_NONE;
  ConvertFoundValue(dialog, row, L"5", report);
  row.format = 11;
  ConvertFoundValue(dialog, row, L"5", report);
  row.kind = 19;
  ConvertFoundValue(dialog, row, L"5", report);
  row.kind = 0x80000000;  // reserved bits over kind 0
  ConvertFoundValue(dialog, row, L"5", report);
  EXPECT_EQ(problems, (std::vector<std::wstring>{
                          L"List:Test dialog 5 undefined FORMAT_TYPE", L"List:Test dialog 11 undefined FORMAT_TYPE",
                          L"List:Test dialog  19 undefined DLG_TYPE", L"List:Test dialog  0 undefined DLG_TYPE"}));
  EXPECT_EQ(row.value.number, 0);
  // A cell with reserved bits converts like a plain cell.
  row.kind = DLG_CELL | ReservedEnabledCell;
  row.format = FORMAT_FLAG;
  ConvertFoundValue(dialog, row, L"1", report);
  EXPECT_EQ(row.value.number, 1);
  EXPECT_EQ(problems.size(), 4u);
  // Key names are cut to their buffer.
  row.kind = DLG_CELL;
  row.key = std::wstring(150, L'k');
  EXPECT_EQ(LookupName(row, 0).size(), 99u);
}

// fixtures.dat bytes: 253 (or Mach3's real 254) records of six doubles, then
// one name per line.
std::vector<unsigned char> FixtureFile(const std::map<int, std::vector<double>>& coords,
                                       const std::vector<std::string>& names, int records = 253) {
  std::vector<unsigned char> bytes(static_cast<size_t>(records) * 48, 0);
  for (const auto& [index, values] : coords) {
    for (size_t axis = 0; axis < values.size(); ++axis) {
      std::memcpy(bytes.data() + index * 48 + axis * 8, &values[axis], 8);
    }
  }
  for (const std::string& name : names) {
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back('\n');
  }
  return bytes;
}

void ReadFixtures(const std::vector<unsigned char>& bytes) {
  MarkFixturesEmpty();
  ReadFixtureBytes(bytes.data(), bytes.size(), Latin1);
}

// Mach3 itself writes 254 records; the 254th is zero, so the first name
// line starts with its 48 NUL bytes, which are no characters.
TEST(FixtureBytesTest, CoordinatesAndNamesFillTheirRecords) {
  for (const int records : {253, 254}) {
    std::vector<std::string> names(records);
    names[1] = "Vise";
    names[252] = "Last \xE9tau";
    ReadFixtures(FixtureFile({{0, {1.5}}, {3, {-2670.7, 0, 0, 0, 0, 12.34567}}}, names, records));
    EXPECT_EQ(FixtureTable[0].empty, 0);
    EXPECT_EQ(FixtureTable[0].coords[0], L"1.5000");
    EXPECT_EQ(FixtureTable[0].coords[1], L"0.0000");
    EXPECT_EQ(FixtureTable[0].name, L"");
    EXPECT_EQ(FixtureTable[1].empty, 0);  // a name alone makes it used
    EXPECT_EQ(FixtureTable[1].name, L"Vise");
    EXPECT_EQ(FixtureTable[2].empty, 1);
    EXPECT_EQ(FixtureTable[3].coords[0], L"-2670.7000");  // kept whole
    EXPECT_EQ(FixtureTable[3].coords[5], L"12.3457");
    EXPECT_EQ(FixtureTable[252].name, L"Last \u00e9tau");
  }
}

TEST(FixtureBytesTest, TruncatedFilesReadAsFarAsTheyGo) {
  std::vector<std::string> names(253);
  names[0] = "First";
  const std::vector<unsigned char> whole = FixtureFile({{0, {1.0, 2.0}}, {200, {3.0}}}, names);
  // Cut inside the coordinates: the first record's X, nothing more.
  FixtureTable[200].name = L"old";
  std::vector<unsigned char> cut(whole.begin(), whole.begin() + 12);
  ReadFixtures(cut);
  EXPECT_EQ(FixtureTable[0].coords[0], L"1.0000");
  EXPECT_EQ(FixtureTable[0].coords[1], L"0.0000");
  EXPECT_EQ(FixtureTable[200].empty, 1);
  EXPECT_EQ(FixtureTable[200].name, L"");
  // Cut inside the first name: the name ends at the file's end.
  cut.assign(whole.begin(), whole.begin() + 253 * 48 + 3);
  ReadFixtures(cut);
  EXPECT_EQ(FixtureTable[0].name, L"Fir");
  EXPECT_EQ(FixtureTable[200].coords[0], L"3.0000");
  // Empty file: everything empty.
  ReadFixtures({});
  for (const FixtureRecord& record : FixtureTable) EXPECT_EQ(record.empty, 1);
}

struct ToolRecord {
  std::string description;
  double diameter, diameterWear, height, heightWear;
};

std::vector<unsigned char> ToolFile(const std::vector<ToolRecord>& records) {
  std::vector<unsigned char> bytes;
  auto put = [&](double value) {
    unsigned char raw[8];
    std::memcpy(raw, &value, 8);
    bytes.insert(bytes.end(), raw, raw + 8);
  };
  for (const ToolRecord& record : records) {
    bytes.push_back(static_cast<unsigned char>(record.description.size()));
    bytes.insert(bytes.end(), record.description.begin(), record.description.end());
    bytes.insert(bytes.end(), 8, 0xAA);  // not read
    put(record.diameter);
    bytes.insert(bytes.end(), 26, 0xBB);  // not read
    put(record.diameterWear);
    put(record.height);
    put(record.heightWear);
  }
  return bytes;
}

void ReadTools(const std::vector<unsigned char>& bytes) {
  MarkToolsInvalid();
  ReadToolBytes(bytes.data(), bytes.size(), Latin1);
}

TEST(ToolBytesTest, RecordsFillTheirSlotsAndEmptyInAnyCaseIsUnused) {
  std::vector<ToolRecord> records(255, ToolRecord{"Empty", 0, 0, 0, 0});
  records[1] = {"6mm endmill", 6.0, 0.02, 35.2, 0.015};
  records[2] = {"EMPTY", 3, 0, 0, 0};
  records[3] = {"empty", 0, 0, 0, 0};
  records[4] = {"", 1, 0, 0, 0};
  records[5] = {std::string(70, 'd'), 1, 0, 0, 0};
  records[253] = {"Probe", 2.0, 0, 80.125, 0};
  std::vector<unsigned char> bytes = ToolFile(records);
  bytes.insert(bytes.end(), 255, 0x01);
  ReadTools(bytes);
  const ToolSlot& mill = ToolTable[1];
  EXPECT_EQ((std::vector<std::wstring>{mill.number, mill.description, mill.diameter, mill.diameterWear, mill.height,
                                       mill.heightWear}),
            (std::vector<std::wstring>{L"1", L"6mm endmill", L"6.000000", L"0.020000", L"35.200000", L"0.015000"}));
  // Slot 0 and "empty" in any case are unused; no description is not "empty".
  EXPECT_EQ((std::vector<int>{ToolTable[0].valid, mill.valid, ToolTable[2].valid, ToolTable[3].valid,
                              ToolTable[4].valid, ToolTable[253].valid}),
            (std::vector<int>{0, 1, 0, 0, 1, 1}));
  EXPECT_EQ(std::wstring(ToolTable[5].description), std::wstring(63, L'd'));
  EXPECT_EQ(std::wstring(ToolTable[253].number), L"253");
  EXPECT_EQ(std::wstring(ToolTable[253].height), L"80.125000");
}

TEST(ToolBytesTest, TruncatedFilesStopAtTheLastWholeRecord) {
  std::vector<ToolRecord> records(3, ToolRecord{"Drill", 5, 0, 10, 0});
  const std::vector<unsigned char> whole = ToolFile(records);
  // A description length running past the end stops the reading.
  std::vector<unsigned char> bytes = whole;
  bytes.push_back(200);
  bytes.insert(bytes.end(), 20, 'x');
  ReadTools(bytes);
  EXPECT_EQ(ToolTable[2].valid, 1);
  EXPECT_EQ(ToolTable[3].valid, 0);
  EXPECT_EQ(std::wstring(ToolTable[3].description), L"");
  // Cut inside the second record's doubles.
  bytes.assign(whole.begin(), whole.begin() + (67 + 5) + 40);
  ReadTools(bytes);
  EXPECT_EQ(ToolTable[0].valid, 1);
  EXPECT_EQ(ToolTable[1].valid, 0);
  ReadTools({});
  for (const ToolSlot& slot : ToolTable) EXPECT_EQ(slot.valid, 0);
}

TEST(PluginTest, OnlyPluginsOfTheProfileCountAndSystemTestIsLeftOut) {
  ClearPlugins();
  AddPlugin(L"profile / PlugIns / ", L"Flash", L"1");
  AddPlugin(L"profile / plugins / ", L"SystemTest", L"1");
  AddPlugin(L"Profile / Plugins / ", L"Joystick", L"0");
  AddPlugin(L"profile / Preferences / ", L"Other", L"1");
  AddPlugin(L"profile / PlugIns / ", std::wstring(200, L'n'), L"yes");
  ASSERT_EQ(PluginList.size(), 3u);
  EXPECT_EQ(std::wstring(PluginList[0].name), L"Flash");
  EXPECT_EQ(PluginList[0].enabled, 1);
  EXPECT_EQ(PluginList[1].enabled, 0);
  EXPECT_EQ(std::wstring(PluginList[2].name), std::wstring(127, L'n'));
  EXPECT_EQ(PluginList[2].enabled, 0);
}

// ---------------------------------------------------------------- Print files

const PrintFileTime Written = {2026, 12, 0, 6, 21, 45, 30, 500};

void PutI32(std::vector<unsigned char>& bytes, size_t at, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i));
}

int32_t GetI32(const std::vector<unsigned char>& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return static_cast<int32_t>(value);
}

class PrintFileTest : public FillTest {
 protected:
  void SetUp() override {
    FillTest::SetUp();
    MachDir = L"C:\\Mach3";
    ProfileName = L"Mill";
    profile = {{L"Units", L"1"},  {L"Port1Add", L"888"}, {L"Input3Active", L"1"}, {L"Input3Pin", L"12"},
               {L"SpinCW", L"10"}, {L"Vel0", L"2.5"},    {L"PathMode", L"1"},
               {L"Editor", std::wstring(200, L'e')}};
    Fill();
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

TEST_F(PrintFileTest, HostileCountsLengthsAndKindsAreRefused) {
  const std::vector<unsigned char> bytes = EncodePrintFile(Written, 0xFFFFFFFF);
  const struct {
    const char* what;
    int dialog;     // block to corrupt
    size_t offset;  // from the block's start
    int32_t value;
  } corruptions[] = {
      {"fixture name length beyond the file", DialogFixtures, 4, 0x7FFFFFFF},
      {"negative fixture name length", DialogFixtures, 4, -1},
      {"plug-in count beyond the file", DialogPlugins, 0, 1000000},
      {"plug-in count one too many", DialogPlugins, 0, 3},
      {"row kind outside the kinds", 0, 20, 99},
      {"row kind 15", 0, 20, 15},
      {"dialog height beyond any page", 9, 0, 0x7FFFFFF0},
      {"edit row with an undefined format", 14, 20 + PrintFileRowBytes + 289, FORMAT_NONE},
  };
  for (const auto& c : corruptions) {
    std::vector<unsigned char> bad = bytes;
    PutI32(bad, BlockOffset(c.dialog) + c.offset, c.value);
    PrintFileContents contents;
    EXPECT_EQ(DecodePrintFile(bad.data(), bad.size(), contents), PrintFileCheck::Damaged) << c.what;
  }
}

}  // namespace
