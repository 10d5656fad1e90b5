// The plug-in removal dialog driven as a user would, on profile files in a
// temporary Mach3 folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "plugins/remove_plugin_dialog.h"
#include "profile/portable/profile_list.h"
#include "resources/resource.h"
#include "tests/pins/pin_test_helpers.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

using Row = std::vector<std::wstring>;  // name, enabled, referenced

std::vector<Row> Rows(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
  std::vector<Row> rows;
  for (int i = 0; i < ListViewCount(list); ++i) rows.push_back(ListViewRow(list, i, 3));
  return rows;
}

void LoadProfile(HWND dialog, const std::wstring& path) {
  SetDlgItemTextW(dialog, IDC_PLUGIN_PROFILE, path.c_str());
  ClickButton(dialog, IDC_PLUGIN_LOAD);
}

void SelectRow(HWND dialog, int row) {
  ListView_SetItemState(GetDlgItem(dialog, IDC_PLUGIN_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
}

class RemovePluginTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    StoreSettingNumber(L"Show Warning Remove Plugin from Profile", 0);
    const std::wstring mach = folder.Path();
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKeyPath, L"Remove plugin Mach install path", REG_SZ, mach.c_str(),
                    static_cast<DWORD>((mach.size() + 1) * sizeof(wchar_t)));
    folder.Write(L"P.xml",
                 "<profile><Preferences><X>1</X></Preferences>"
                 "<PlugIns><A>1</A><B>0</B><SystemTest>1</SystemTest><C>10</C></PlugIns></profile>");
    folder.Write(L"Q.xml", "<profile><PlugIns><A>1</A></PlugIns></profile>");
    folder.Write(L"R.xml", "<profile><PlugIns><C>0</C></PlugIns></profile>");
  }
  void TearDown() override { DeleteSettingsKey(); }
  INT_PTR Run(std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(nullptr, IDD_REMOVE_PLUGIN, RemovePluginDialogProc); },
                      std::move(steps));
  }
  TempFolder folder;
  MessageRecorder messages;
};

TEST_F(RemovePluginTest, DoubleClickListsTheProfilesThatHoldThePlugin) {
  std::vector<std::wstring> files;
  std::wstring title;
  Run({[&](HWND dialog) { LoadProfile(dialog, folder.Path(L"P.xml")); },
       [&](HWND dialog) {
         NMITEMACTIVATE activate = {};
         activate.hdr.hwndFrom = GetDlgItem(dialog, IDC_PLUGIN_LIST);
         activate.hdr.idFrom = IDC_PLUGIN_LIST;
         activate.hdr.code = NM_DBLCLK;
         activate.iItem = 0;
         SendMessageW(dialog, WM_NOTIFY, IDC_PLUGIN_LIST, reinterpret_cast<LPARAM>(&activate));
       },
       [&](HWND) {
         HWND referencing = LiveDialogWith(IDC_REFERENCING_LIST);
         ASSERT_NE(referencing, nullptr);
         title = WindowText(referencing);
         files = ListBoxLines(GetDlgItem(referencing, IDC_REFERENCING_LIST));
         ClickButton(referencing, IDOK);
       },
       [](HWND) { ClickButton(LiveDialogWith(IDC_PLUGIN_LIST), IDC_PLUGIN_CLOSE); }});
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::wstring>{L"P.xml", L"Q.xml"}));
  EXPECT_EQ(title, L"KestrelwoodV3.02 Referencing profiles");
}

// A profile typed without a folder is the Mach3 folder's, for the load and
// for the removal alike.
TEST_F(RemovePluginTest, RemovingAWritesTheProfileAnewAndRecyclesTheOldOne) {
  std::vector<Row> rows;
  std::vector<int> referenced;  // what a double click on each row lists
  Run({[&](HWND dialog) { LoadProfile(dialog, L"P.xml"); },
       [&](HWND dialog) {
         SelectRow(dialog, 0);
         ClickButton(dialog, IDC_PLUGIN_REMOVE);
         rows = Rows(dialog);
         for (const PluginReference& reference : PluginReferenceTable) referenced.push_back(reference.count);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);
       }});
  EXPECT_EQ(rows, (std::vector<Row>{{L"B", L"Disabled", L"1"}, {L"C", L"Disabled", L"2"}}));
  EXPECT_EQ(referenced, (std::vector<int>{1, 2}));
  const std::string written = ReadBytes(folder.Path(L"P.xml"));
  EXPECT_EQ(written.find("<A>"), std::string::npos) << written;
  EXPECT_NE(written.find("<B>0</B>"), std::string::npos) << written;
  EXPECT_FALSE(FileExists(folder.Path(L"P.xmlppp")));
  EXPECT_TRUE(messages.Messages().empty());
}

// The rewrite writes only the listed entries: a comment would be lost.
TEST_F(RemovePluginTest, AProfileHoldingWhatTheRewriteWouldLoseIsLeftAlone) {
  const std::string before = "<profile><!-- tuned --><PlugIns><A>1</A><B>0</B></PlugIns></profile>";
  folder.Write(L"P.xml", before);
  Run({[&](HWND dialog) { LoadProfile(dialog, folder.Path(L"P.xml")); },
       [&](HWND dialog) {
         SelectRow(dialog, 0);
         ClickButton(dialog, IDC_PLUGIN_REMOVE);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);
       }});
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text.rfind(L"The profile holds content that rewriting would lose", 0), 0u);
  EXPECT_EQ(ReadBytes(folder.Path(L"P.xml")), before);
}

// Without a selection, from a partly read profile (the scan and the load
// report it, its list stays empty) and while Mach3 runs nothing is removed.
TEST_F(RemovePluginTest, NothingIsRemovedWithoutSelectionFromAPartlyReadProfileOrWhileMach3Runs) {
  folder.Write(L"Broken.xml", "<profile><PlugIns><A>1</A><B>0</B></PlugIns><Open>");
  const std::string broken = ReadBytes(folder.Path(L"Broken.xml")), before = ReadBytes(folder.Path(L"P.xml"));
  std::unique_ptr<RunningProcess> mach3;
  Run({[&](HWND dialog) { LoadProfile(dialog, folder.Path(L"P.xml")); },
       [&](HWND dialog) {
         ClickButton(dialog, IDC_PLUGIN_REMOVE);  // nothing selected
         LoadProfile(dialog, folder.Path(L"Broken.xml"));
         SelectRow(dialog, 0);
         ClickButton(dialog, IDC_PLUGIN_REMOVE);
         LoadProfile(dialog, folder.Path(L"P.xml"));
       },
       [&](HWND dialog) {
         mach3 = std::make_unique<RunningProcess>(folder.Path(), L"Mach3.exe");  // started after the Load
         SelectRow(dialog, 0);
         ClickButton(dialog, IDC_PLUGIN_REMOVE);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);
       }});
  ASSERT_TRUE(mach3->Started());
  int asked = 0;
  for (const RecordedMessage& message : messages.Messages()) asked += message.text == L"No Plugin selected";
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(messages.Messages().back().text, L"Mach3 is currently running, please terminate Mach3");
  EXPECT_EQ(ReadBytes(folder.Path(L"Broken.xml")), broken);
  EXPECT_EQ(ReadBytes(folder.Path(L"P.xml")), before);
  EXPECT_FALSE(FileExists(folder.Path(L"Broken.xmlppp")));
  EXPECT_FALSE(FileExists(folder.Path(L"P.xmlppp")));
}

TEST_F(RemovePluginTest, TheChosenModeIsStoredAndTheWarningPageComesFirst) {
  StoreSettingNumber(L"Show Warning Remove Plugin from Profile", 1);
  bool listHiddenFirst = false, listShownAfter = false;
  std::wstring warning;
  Run({[&](HWND dialog) {
         listHiddenFirst = !IsWindowVisible(GetDlgItem(dialog, IDC_PLUGIN_LIST));
         warning = ItemText(dialog, IDC_PLUGIN_WARNING);
         CheckDlgButton(dialog, IDC_PLUGIN_NO_WARNING, BST_CHECKED);
         ClickButton(dialog, IDC_PLUGIN_NO_WARNING);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);  // leaves the warning page
         listShownAfter = IsWindowVisible(GetDlgItem(dialog, IDC_PLUGIN_LIST));
         ClickButton(dialog, IDC_PLUGIN_MODE_ENABLED);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);
       }});
  EXPECT_TRUE(listHiddenFirst);
  EXPECT_TRUE(listShownAfter);
  EXPECT_EQ(warning.rfind(L"Attention ! The plugin entries", 0), 0u);
  EXPECT_EQ(StoredSettingNumber(L"Show Warning Remove Plugin from Profile"), 0u);
  EXPECT_EQ(StoredSettingNumber(L"Remove Plugin Mode"), 1u);

  // Which values each mode lists is the listing rule's test; here the stored
  // mode reaches the list, "10" is listed as enabled but shown as disabled, and
  // every row counts the profiles that hold its plug-in.
  bool enabledChecked = false;
  std::vector<Row> rows;
  Run({[&](HWND dialog) {
         enabledChecked = IsDlgButtonChecked(dialog, IDC_PLUGIN_MODE_ENABLED) == BST_CHECKED;
         LoadProfile(dialog, folder.Path(L"P.xml"));
       },
       [&](HWND dialog) {
         rows = Rows(dialog);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);
       }});
  EXPECT_TRUE(enabledChecked);
  EXPECT_EQ(rows, (std::vector<Row>{{L"A", L"Enabled", L"2"}, {L"C", L"Disabled", L"2"}}));
}

}  // namespace
