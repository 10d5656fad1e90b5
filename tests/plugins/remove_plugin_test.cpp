// The plug-in removal: the profile rewrite without chosen plug-ins and the
// exchange of the old profile file for the new one, on real files read back
// with the reader, and the dialog driven as a user would on profile files in
// a temporary Mach3 folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "plugins/profile_rewrite.h"
#include "plugins/remove_plugin_dialog.h"
#include "profile/portable/profile_list.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "tests/profile/profile_entries.h"
#include "tests/support/disk_full.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

std::vector<Entry> Without(std::vector<Entry> entries, std::vector<std::wstring> plugins) {
  std::erase_if(entries, [&](const Entry& e) {
    return e.path == L"profile / PlugIns / " &&
           std::find(plugins.begin(), plugins.end(), e.name) != plugins.end();
  });
  return entries;
}

// A window with the two controls the rewrite keeps in step.
class RewriteWindow {
 public:
  explicit RewriteWindow(const std::vector<std::wstring>& rows) {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 300, 200, window_,
                            reinterpret_cast<HMENU>(IDC_PLUGIN_LIST), nullptr, nullptr);
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 210, 300, 20, window_,
                                reinterpret_cast<HMENU>(IDC_PLUGIN_PROGRESS), nullptr, nullptr);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(list_, 0, &column);
    for (size_t i = 0; i < rows.size(); ++i) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<wchar_t*>(rows[i].c_str());
      ListView_InsertItem(list_, &item);
    }
  }
  ~RewriteWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  std::vector<std::wstring> Rows() const { return ListViewColumn(list_, 0); }
  int Progress() const { return static_cast<int>(SendMessageW(progress_, PBM_GETPOS, 0, 0)); }

 private:
  HWND window_, list_, progress_;
};

const char PreferencesAndPlugins[] =
    "<profile><Preferences><X>1</X><Y/></Preferences>"
    "<PlugIns><A>1</A><B>0</B><SystemTest>1</SystemTest></PlugIns></profile>";

class ProfileRewriteTest : public testing::Test {
 protected:
  void SetUp() override { LanguageIndex = English; }
  void TearDown() override { ReleaseAllProfiles(); }
  void Load(const std::string& text) {
    folder.Write(L"P.xml", text);
    ASSERT_EQ(ReadProfile(FirstProfileSlot, profile.c_str()), 1);
    before = EntriesOf(FirstProfileSlot);
  }
  std::vector<Entry> ReadBack(const std::wstring& path) {
    EXPECT_EQ(ReadProfile(SecondProfileSlot, path.c_str()), 1);
    return EntriesOf(SecondProfileSlot);
  }
  TempFolder folder;
  MessageRecorder messages;
  std::wstring profile = folder.Path(L"P.xml");
  std::wstring target = folder.Path(L"P.xmlppp");
  std::vector<Entry> before;
};

// Plug-ins first, empty texts and sections and escapes: every other entry
// comes back as it was. A second removal without a reload leaves out the
// first plug-in too; with every plug-in gone an empty section is left, which
// reads back as an entry of its own and survives the next rewrite. A
// carriage return is written as a reference: the reader would turn one that
// stands as itself into a line feed.
TEST_F(ProfileRewriteTest, EachRemovalKeepsEveryOtherEntryAndTheRows) {
  Load("<profile><PlugIns><A>1</A><B>0</B><SystemTest>1</SystemTest></PlugIns>"
       "<Preferences><E/><F></F><T>a&lt;b&amp;c</T></Preferences><Empty></Empty></profile>");
  RewriteWindow window({L"A", L"B", L"SystemTest"});
  PluginSelection = {{L"B", 1}};
  EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  EXPECT_EQ(ReadBack(target), Without(before, {L"B"}));
  EXPECT_EQ(window.Rows(), (std::vector<std::wstring>{L"A", L"SystemTest"}));
  EXPECT_EQ(window.Progress(), static_cast<int>(before.size()) - 1);  // the last entry's index
  std::string written = ReadBytes(target);
  for (const char* part : {"<E></E>", "<F></F>", "<Empty></Empty>", "<T>a&lt;b&amp;c</T>"}) {
    EXPECT_NE(written.find(part), std::string::npos) << written;  // empty ones with an explicit end tag
  }
  PluginSelection = {{L"A", 0}, {L"SystemTest", 1}};
  ASSERT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  written = ReadBytes(target);
  EXPECT_NE(written.find("<PlugIns></PlugIns>"), std::string::npos) << written;
  EXPECT_TRUE(window.Rows().empty());
  std::vector<Entry> expected = Without(before, {L"A", L"B", L"SystemTest"});
  expected.insert(expected.begin(), {L"profile / ", L"PlugIns", L""});
  EXPECT_EQ(ReadBack(target), expected);
  Load(written);
  ProfileSlots[FirstProfileSlot].records[3].value = ProfileSlots[FirstProfileSlot].texts.Keep(L"a\rb\r");  // T
  PluginSelection.clear();
  ASSERT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  written = ReadBytes(target);
  EXPECT_NE(written.find("<PlugIns></PlugIns>"), std::string::npos) << written;
  EXPECT_TRUE(written.find(">a&#xd;b&#xd;</") != std::string::npos ||
              written.find(">a&#xD;b&#xD;</") != std::string::npos)
      << written;
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(ProfileRewriteTest, ADeeperStructureIsRefusedAndNothingWritten) {
  Load("<profile><Preferences><Deep><X>1</X></Deep></Preferences><PlugIns><A>1</A></PlugIns></profile>");
  RewriteWindow window({L"A"});
  PluginSelection = {{L"A", 0}};
  LanguageIndex = German;
  EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 0);
  EXPECT_FALSE(FileExists(target));
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"Das Profil hat eine Struktur, die nicht neu geschrieben "
                                                        L"werden kann. Es wurde nichts geändert."});
  EXPECT_EQ(window.Rows(), std::vector<std::wstring>{L"A"});
}

// The disk fills while the new file is written, or it cannot be created:
// each is reported with its code, the profile stays as it was and no new
// file is left.
TEST_F(ProfileRewriteTest, AWriteFailureIsReportedWithItsCodeAndLeavesNoFile) {
  const struct {
    bool blocked;  // a folder in the new file's way
    const wchar_t* text;
    size_t size;
  } cases[] = {
      {false, L"Error, Method: Flush, error is 80070070", 39},
      {true, L"Error creating file writer, error is ", 45},  // eight hexadecimal digits
  };
  for (const auto& c : cases) {
    Load(PreferencesAndPlugins);
    if (c.blocked) folder.MakeFolder(L"P.xmlppp");
    RewriteWindow window({L"A"});
    PluginSelection = {{L"A", 0}};
    messages.Clear();
    {
      DiskFull disk(c.blocked ? static_cast<size_t>(-1) : 40);
      EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 0) << c.blocked;
    }
    ASSERT_EQ(messages.Messages().size(), 1u) << c.blocked;
    EXPECT_EQ(messages.Messages()[0].text.rfind(c.text, 0), 0u) << c.blocked;
    EXPECT_EQ(messages.Messages()[0].text.size(), c.size) << c.blocked;
    EXPECT_EQ(ProfileSlots[FirstProfileSlot].Count(), 0u) << c.blocked;
    EXPECT_FALSE(FileExists(target)) << c.blocked;
    EXPECT_EQ(ReadBytes(profile), PreferencesAndPlugins) << c.blocked;
  }
}

TEST_F(ProfileRewriteTest, AProfileKeepsTheEncodingItWasReadIn) {
  // A typed umlaut as one ANSI byte, and in UTF-8.
  for (const std::string name : {"Fr\xE4se", "Fr\xC3\xA4se"}) {
    Load("<profile><Preferences><Name>" + name + "</Name></Preferences><PlugIns><A>1</A><B>0</B></PlugIns></profile>");
    RewriteWindow window({L"A"});
    PluginSelection = {{L"A", 0}};
    ASSERT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1)
        << (messages.Messages().empty() ? std::wstring() : messages.Messages()[0].text);
    const std::string written = ReadBytes(target);
    EXPECT_NE(written.find(name), std::string::npos) << written;
    EXPECT_NE(written.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark was read, none is written";
    EXPECT_EQ(ReadBack(target), Without(before, {L"A"}));
    EXPECT_TRUE(messages.Messages().empty());
  }
}

// The exchange works on the rewrite's files.
class ReplaceProfileTest : public ProfileRewriteTest {};

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().wstring());
  }
  return names;
}

// A virus scanner, say, holds the new file just when it is to be renamed;
// the old profile has already gone to the recycle bin by then.
BOOL RenameWhileHeld(const wchar_t* from, const wchar_t* to) {
  HANDLE held = CreateFileW(from, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const BOOL renamed = MoveFileExW(from, to, 0);
  const DWORD error = GetLastError();
  CloseHandle(held);
  SetLastError(error);
  return renamed;
}

TEST_F(ReplaceProfileTest, AnyFailureLeavesTheOldProfileAndNoTemporaryFile) {
  const struct {
    const char* what;
    bool locked;
    bool diskFull;  // while the old profile is copied aside
    DWORD error;
  } cases[] = {
      {"profile held by another process", true, false, ERROR_SHARING_VIOLATION},
      {"disk full", false, true, ERROR_DISK_FULL},
      {"new file held by another process while it is renamed", false, false, ERROR_SHARING_VIOLATION},
  };
  for (const auto& c : cases) {
    folder.Write(L"P.xml", "old profile");
    folder.Write(L"P.xmlppp", "new profile");
    messages.Clear();
    HANDLE lock = c.locked ? CreateFileW(profile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
    const bool renameFails = !c.locked && !c.diskFull;
    const FileRenameFunction before = renameFails ? SetFileRenameFunction(RenameWhileHeld) : nullptr;
    {
      DiskFull disk(c.diskFull ? 4 : static_cast<size_t>(-1));
      EXPECT_FALSE(ReplaceProfileFile(profile, target)) << c.what;
    }
    if (renameFails) SetFileRenameFunction(before);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    EXPECT_EQ(ReadBytes(profile), "old profile") << c.what;
    EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::wstring>{L"P.xml"}) << c.what;
    ASSERT_EQ(messages.Messages().size(), 1u) << c.what;
    EXPECT_EQ(messages.Messages()[0].text, SystemErrorText(c.error)) << c.what;
    EXPECT_EQ(messages.Messages()[0].caption, profile);
  }
}

// ---------------------------------------------------------------- The dialog

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
         files = ListBoxItems(referencing, IDC_REFERENCING_LIST);
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

// Without a selection, from a partly read profile (the scan and the load
// report it, its list stays empty), from one holding what the rewrite would
// lose (it writes only the listed entries: a comment would go) and while
// Mach3 runs nothing is removed.
TEST_F(RemovePluginTest, NothingIsRemovedWithoutSelectionFromAProfileItWouldSpoilOrWhileMach3Runs) {
  folder.Write(L"Broken.xml", "<profile><PlugIns><A>1</A><B>0</B></PlugIns><Open>");
  folder.Write(L"Tuned.xml", "<profile><!-- tuned --><PlugIns><A>1</A><B>0</B></PlugIns></profile>");
  const std::string broken = ReadBytes(folder.Path(L"Broken.xml")), before = ReadBytes(folder.Path(L"P.xml"));
  const std::string tuned = ReadBytes(folder.Path(L"Tuned.xml"));
  std::unique_ptr<RunningProcess> mach3;
  Run({[&](HWND dialog) { LoadProfile(dialog, folder.Path(L"P.xml")); },
       [&](HWND dialog) {
         ClickButton(dialog, IDC_PLUGIN_REMOVE);  // nothing selected
         LoadProfile(dialog, folder.Path(L"Broken.xml"));
         SelectRow(dialog, 0);
         ClickButton(dialog, IDC_PLUGIN_REMOVE);
         LoadProfile(dialog, folder.Path(L"Tuned.xml"));
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
  int asked = 0, spoiled = 0;
  for (const RecordedMessage& message : messages.Messages()) {
    asked += message.text == L"No Plugin selected";
    spoiled += message.text.rfind(L"The profile holds content that rewriting would lose", 0) == 0;
  }
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(spoiled, 1);
  EXPECT_EQ(messages.Messages().back().text, L"Mach3 is currently running, please terminate Mach3");
  EXPECT_EQ(ReadBytes(folder.Path(L"Broken.xml")), broken);
  EXPECT_EQ(ReadBytes(folder.Path(L"Tuned.xml")), tuned);
  EXPECT_EQ(ReadBytes(folder.Path(L"P.xml")), before);
  for (const wchar_t* name : {L"Broken.xmlppp", L"Tuned.xmlppp", L"P.xmlppp"}) {
    EXPECT_FALSE(FileExists(folder.Path(name)));
  }
}

// The warning page comes first; the ticked box and the chosen mode are
// stored. The mode reaches the list, "10" is listed as enabled but shown as
// disabled, and every row counts the profiles that hold its plug-in.
TEST_F(RemovePluginTest, TheChosenModeIsStoredAndTheWarningPageComesFirst) {
  StoreSettingNumber(L"Show Warning Remove Plugin from Profile", 1);
  bool listHiddenFirst = false;
  std::vector<Row> rows;
  Run({[&](HWND dialog) {
         listHiddenFirst = !IsWindowVisible(GetDlgItem(dialog, IDC_PLUGIN_LIST));
         CheckDlgButton(dialog, IDC_PLUGIN_NO_WARNING, BST_CHECKED);
         ClickButton(dialog, IDC_PLUGIN_NO_WARNING);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);  // leaves the warning page
         ClickButton(dialog, IDC_PLUGIN_MODE_ENABLED);
         LoadProfile(dialog, folder.Path(L"P.xml"));
       },
       [&](HWND dialog) {
         rows = Rows(dialog);
         ClickButton(dialog, IDC_PLUGIN_CLOSE);
       }});
  EXPECT_TRUE(listHiddenFirst);
  EXPECT_EQ(StoredSettingNumber(L"Show Warning Remove Plugin from Profile"), 0u);
  EXPECT_EQ(StoredSettingNumber(L"Remove Plugin Mode"), 1u);
  EXPECT_EQ(rows, (std::vector<Row>{{L"A", L"Enabled", L"2"}, {L"C", L"Disabled", L"2"}}));
}

}  // namespace
