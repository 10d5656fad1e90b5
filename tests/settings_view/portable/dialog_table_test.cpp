// The dialog table against the dialogs as Mach3 lays them out: counts,
// frames, and rows spot-checked in every dialog (Mach3's own spellings kept).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings_view/portable/dialog_table.h"

namespace {

struct ExpectedDialog {
  const wchar_t* title;
  int32_t left;
  int32_t width;
  int32_t defaultHeight;
  size_t rows;
};

const ExpectedDialog Dialogs[SettingsDialogCount] = {
    {L"Set native units", 600, 300, 200, 2},
    {L"Ports & Pins Port Setup and Axis Selection", 200, 700, 380, 21},
    {L"Ports & Pins Motor Outputs", 200, 700, 220, 64},
    {L"Ports & Pins Input Signals", 250, 650, 1700, 378},
    {L"Ports & Pins Output Signals", 350, 550, 1000, 155},
    {L"Ports & Pins Encoder/MPG's", 300, 600, 300, 64},
    {L"Ports & Pins Spindle Setup", 100, 800, 480, 38},
    {L"Ports & Pins Mill Options", 230, 670, 450, 20},
    {L"Motor Tuning", 250, 650, 220, 47},
    {L"General Config", 5, 960, 670, 111},
    {L"System Hotkeys", 350, 550, 350, 41},
    {L"Home/Soft Limits", 350, 550, 350, 71},
    {L"ToolPath", 350, 550, 350, 40},
    {L"Slave Axis", 450, 450, 200, 18},
    {L"Backlash", 600, 300, 300, 9},
    {L"Fixtures", 200, 700, 500, 9},
    {L"Tool Table", 200, 700, 500, 6},
    {L"Config Plugins", 200, 700, 500, 2},
    {L"Spindle Pulleys", 380, 520, 150, 5},
    {L"Save Z Setup", 550, 350, 250, 8},
};

TEST(DialogTableTest, WalkingTheTableYieldsTwentyDialogsWithTheirFramesAndRowCounts) {
  const std::vector<SettingsDialog> table = BuildDialogTable();
  size_t walked = 0;
  while (!table[walked].title.empty()) ++walked;
  ASSERT_EQ(walked, static_cast<size_t>(SettingsDialogCount));
  for (int i = 0; i < SettingsDialogCount; ++i) {
    SCOPED_TRACE(i);
    const SettingsDialog& dialog = table[i];
    EXPECT_EQ(dialog.title, Dialogs[i].title);
    EXPECT_EQ(dialog.left, Dialogs[i].left);
    EXPECT_EQ(dialog.top, 10);
    EXPECT_EQ(dialog.width, Dialogs[i].width);
    EXPECT_EQ(dialog.left + dialog.width, i == 9 ? 965 : 900);
    EXPECT_EQ(dialog.defaultHeight, Dialogs[i].defaultHeight);
    EXPECT_EQ(RowCount(dialog), Dialogs[i].rows);
    // The end row, with its empty label, is the last one.
    EXPECT_EQ(dialog.rows.size(), Dialogs[i].rows + 1);
    EXPECT_TRUE(dialog.rows.back().label.empty());
  }
}

struct ExpectedRow {
  int dialog;
  size_t row;
  const wchar_t* label;
  uint32_t kind;  // the stored word, reserved bits included
  int32_t x, y;
  const wchar_t* key;
  int32_t format;
  int32_t width = 0, height = 0, labelWidth = 0, index = 0, offset = 0;
};

const uint32_t EnabledCell = DLG_CELL | 0x40000000;
const uint32_t OtherCell = DLG_CELL | 0x80000000;

const ExpectedRow Rows[] = {
    {1, 3, L"Port Address", DLG_EDIT_LABEL_ABOVE, 160, 50, L"Port2Add", FORMAT_HEX, 100, 18},
    {1, 9, L"25000Hz", DLG_RADIO_KERNEL, 0, 140, L"PulseSpeed", 0},
    {2, 9, L"Enabled", EnabledCell, 100, 40, L"Motor0Active", FORMAT_FLAG},
    {2, 63, L"Dir Port", OtherCell, 640, 160, L"Motor6DirPort", FORMAT_TEXT},
    {3, 8, L"Enabled", EnabledCell, 100, 40, L"Input0Active", FORMAT_FLAG},
    {3, 7 + 7 * 29, L"OEM Trig#1", DLG_TEXT, 10, 620, L"", 0},
    {3, 377, L"HotKey", OtherCell, 530, 1080, L"Input52EmuKey", FORMAT_TEXT},
    {4, 5 + 5 * 22, L"Output#13", DLG_TEXT, 10, 480, L"", 0},
    {4, 154, L"Active low", OtherCell, 400, 620, L"Output29Neg", FORMAT_FLAG},
    {5, 10, L"A-Port", OtherCell, 180, 40, L"Encoder0APin", FORMAT_TEXT},
    {5, 11, L"A-Pin", OtherCell, 240, 40, L"Encoder0APort", FORMAT_TEXT},
    {5, 63, L"Veocity", OtherCell, 500, 160, L"MPGVel6", FORMAT_DECIMAL},
    {6, 2, L"Clockwise(M3) Output#", DLG_EDIT_LABEL_LEFT, 180, 70, L"SpinCW", FORMAT_INT_OFFSET, 30, 18, 155, 0, -6},
    {7, 19, L"G73 Pullback", DLG_EDIT_LABEL_LEFT, 530, 320, L"G73PullBack", FORMAT_TEXT, 40, 18, 90},
    {9, 3, L"Ignore Tool Change", DLG_TOOLCHANGE_IGNORE, 0, 110, L"IGNORETOOL", 0},
    {9, 5, L"Auto Tool Changer", DLG_TOOLCHANGE_AUTO, 0, 150, L"AutoTool", 0},
    {9, 30, L"Use Init String on ALL \"Resets\"", DLG_CHECK, 280, 130, L"InitAllResets", 0},
    {9, 110, L"Copy G54 from G59.253 on startup", DLG_CHECK, 700, 580, L"G54Back", 0},
    {10, 40, L"15", DLG_EDIT_LABEL_LEFT, 440, 200, L"OEM15", FORMAT_TEXT, 60, 18, 15},
    {11, 0, L"Entriies are in setup units", DLG_TEXT, 100, 20, L"", 0},
    {11, 24, L"Home Off.", DLG_CELL, 290, 80, L"M1RefHome", FORMAT_HOME_OFFSET, 0, 0, 0, 1},
    {12, 8, L"Use Radius of Feedrater", DLG_CHECK, 300, 40, L"Use Diam", 0},
    {13, 14, L"A Axis", DLG_RADIO, 330, 60, L"Slave2", 0},
    {14, 7, L"Backlash Speed % of Max", DLG_EDIT_LABEL_ABOVE, 40, 170, L"BackSpeed", FORMAT_TEXT, 50, 18},
    {15, 0, L"Work Offset", DLG_TEXT, 190, 20, L"", 0},
    {16, 5, L"Height Wear", DLG_TEXT, 410, 10, L"", 0},
    {17, 1, L"PluginName", DLG_TEXT, 70, 20, L"", 0},
    {18, 0, L"Pulley number", DLG_EDIT_PULLEY_NUMBER, 30, 40, L"PULLEY", FORMAT_TEXT, 40, 18},
    {18, 4, L"Reversed", DLG_CHECK_PULLEY, 400, 60, L"SPINREV", 0},
    {19, 5, L"Safe_Z", DLG_EDIT_LABEL_LEFT, 80, 140, L"m_SafeZ", FORMAT_TEXT, 40, 18, 40},
};

TEST(DialogTableTest, RowsReadAsInMach3sDialogs) {
  const std::vector<SettingsDialog> table = BuildDialogTable();
  for (const ExpectedRow& expected : Rows) {
    SCOPED_TRACE(testing::Message() << "dialog " << expected.dialog << " row " << expected.row);
    const SettingsRow& row = table[expected.dialog].rows.at(expected.row);
    EXPECT_EQ(row.label, expected.label);
    EXPECT_EQ(row.kind, expected.kind);
    EXPECT_EQ(row.x, expected.x);
    EXPECT_EQ(row.y, expected.y);
    EXPECT_EQ(row.key, expected.key);
    const uint32_t kind = RowKind(row);
    if (kind >= DLG_EDIT_PULLEY_NUMBER && kind <= DLG_EDIT_PLAIN) {
      EXPECT_EQ(row.format, expected.format);
      if (kind != DLG_CELL) {
        EXPECT_EQ(row.width, expected.width);
        EXPECT_EQ(row.height, expected.height);
      }
      if (kind == DLG_EDIT_LABEL_LEFT) {
        EXPECT_EQ(row.labelWidth, expected.labelWidth);
      }
    }
    EXPECT_EQ(row.index, expected.index);
    EXPECT_EQ(row.offset, expected.offset);
  }
}

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

TEST(DialogTableTest, TheProcessTableStartsComplete) {
  ASSERT_EQ(InitialRowCounts.size(), static_cast<size_t>(SettingsDialogCount + 1));
  for (int i = 0; i < SettingsDialogCount; ++i) EXPECT_EQ(InitialRowCounts[i], Dialogs[i].rows) << i;
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
        EXPECT_EQ(reserved, row.label == L"Enabled" ? 0x40000000u : 0x80000000u);
      } else {
        EXPECT_EQ(reserved, 0u);
      }
      EXPECT_GE(RowKind(row), 1u);
      EXPECT_LE(RowKind(row), 18u);
      EXPECT_NE(RowKind(row), 15u);
      if (RowKind(row) == DLG_TEXT) {
        EXPECT_TRUE(row.key.empty());  // text rows never have a key
      }
    }
  }
}

}  // namespace
