// The dialog table: complete from the start, its frames, Mach3's own
// spellings where they look like typos, and the reserved bits of its cells.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings_view/portable/dialog_table.h"

namespace {

const size_t RowCounts[SettingsDialogCount] = {2,  21, 64, 378, 155, 64, 38, 20, 47, 111,
                                               41, 71, 40, 18,  9,   9,  6,  2,  5,  8};

TEST(DialogTableTest, WalkingTheTableYieldsTwentyDialogsWithTheirFramesAndRowCounts) {
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
  for (int i = 0; i < SettingsDialogCount; ++i) EXPECT_EQ(InitialRowCounts[i], RowCounts[i]) << i;
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

}  // namespace
