// The plug-in removal dialog driven by messages: the warning page, the
// rows under each filter, the reference counts, and the removal with its
// failures, on profiles written by the tests.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/text_triple.h"
#include "plugins/plugin_dialogs.h"
#include "plugins/plugin_references.h"
#include "plugins/profile_replace.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

void Command(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

DWORD StoredNumber(const wchar_t* name) {
  DWORD value = 0xFFFF, size = sizeof(value);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

void StoreNumber(const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, REG_DWORD, &value, sizeof(value));
}

const char* const PluginProfile =
    "<profile><Preferences><X>1</X></Preferences><PlugIns><A>1</A><B>0</B><SystemTest>1</SystemTest>"
    "<T>10</T></PlugIns></profile>";

class RemovePluginTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    StoreNumber(L"Language", English);
    profile_ = folder_.Path(L"P.xml");
    folder_.Write(L"P.xml", PluginProfile);
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    SetCurrentDirectoryW(L"C:\\");  // a load made the Mach3 folder current; it is removed now
    ReleaseAllProfiles();
    DeleteSettingsKey();
  }
  void Open() {
    dialog_ = CreateTestDialog(IDD_REMOVE_PLUGIN, RemovePluginDialogProc);
    ASSERT_NE(dialog_, nullptr);
  }
  HWND List() const { return GetDlgItem(dialog_, IDC_PLUGIN_LIST); }
  Rows ListRows() const {
    Rows rows;
    for (int i = 0; i < ListView_GetItemCount(List()); ++i) {
      rows.push_back({ListCellText(List(), i, 0), ListCellText(List(), i, 1), ListCellText(List(), i, 2)});
    }
    return rows;
  }
  // The test dialog itself is never shown: ask the control alone.
  bool Visible(int id) const { return (GetWindowLongW(GetDlgItem(dialog_, id), GWL_STYLE) & WS_VISIBLE) != 0; }
  // Loads through the dialog, with the temporary folder as the Mach3 folder.
  void Load(const std::wstring& path) {
    SetDlgItemTextW(dialog_, IDC_PLUGIN_MACH_PATH, folder_.Path().c_str());
    SetDlgItemTextW(dialog_, IDC_PLUGIN_PROFILE_PATH, path.c_str());
    Command(dialog_, IDC_PLUGIN_LOAD);
  }
  void SelectRows(const std::vector<int>& rows) {
    for (int row : rows) ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
  }
  std::wstring Message(size_t index = 0) const {
    return index < messages_.Messages().size() ? messages_.Messages()[index].text : L"<none>";
  }

  TempFolder folder_;
  std::wstring profile_;
  HWND dialog_ = nullptr;
  MessageRecorder messages_;
};

TEST_F(RemovePluginTest, WarningPageComesFirstUntilTheUserTurnsItOff) {
  Open();
  EXPECT_EQ(WindowText(dialog_), L"KestrelwoodV3.02 Remove Plugins from a Profile");
  EXPECT_TRUE(Visible(IDC_PLUGIN_WARNING));
  EXPECT_TRUE(Visible(IDC_PLUGIN_NO_WARNING));
  EXPECT_TRUE(ItemText(dialog_, IDC_PLUGIN_WARNING).starts_with(L"Attention ! The plugin entries"));
  for (int id : {IDC_PLUGIN_LIST, IDC_PLUGIN_LOAD, IDC_PLUGIN_REMOVE, IDC_PLUGIN_MODE_ENABLED}) EXPECT_FALSE(Visible(id));

  CheckDlgButton(dialog_, IDC_PLUGIN_NO_WARNING, BST_CHECKED);
  Command(dialog_, IDC_PLUGIN_NO_WARNING);
  EXPECT_EQ(StoredNumber(L"Show Warning Remove Plugin from Profile"), 0u);
  Command(dialog_, IDC_PLUGIN_CLOSE);  // leaves the warning page, not the dialog
  ASSERT_TRUE(IsWindow(dialog_));
  EXPECT_FALSE(Visible(IDC_PLUGIN_WARNING));
  for (int id : {IDC_PLUGIN_LIST, IDC_PLUGIN_LOAD, IDC_PLUGIN_REMOVE, IDC_PLUGIN_MODE_ENABLED}) EXPECT_TRUE(Visible(id));

  DestroyWindow(dialog_);
  Open();
  EXPECT_FALSE(Visible(IDC_PLUGIN_WARNING));
  EXPECT_TRUE(Visible(IDC_PLUGIN_LIST));
}

// The red warning text on white.
TEST_F(RemovePluginTest, WarningIsRedOnWhite) {
  Open();
  HDC context = GetDC(dialog_);
  SendMessageW(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDC_PLUGIN_WARNING)));
  EXPECT_EQ(GetTextColor(context), RGB(240, 0, 0));
  EXPECT_EQ(GetBkColor(context), RGB(255, 255, 255));
  ReleaseDC(dialog_, context);
}

TEST_F(RemovePluginTest, ModesListTheirPluginsButNeverSystemTest) {
  struct Case {
    DWORD mode;
    int checked;
    std::vector<std::wstring> names;
  } cases[] = {
      {0, IDC_PLUGIN_MODE_ALL, {L"A", L"B", L"T"}},
      {1, IDC_PLUGIN_MODE_ENABLED, {L"A", L"T"}},
      {2, IDC_PLUGIN_MODE_DISABLED, {L"B"}},
      {7, IDC_PLUGIN_MODE_ALL, {L"A", L"B", L"T"}},  // a hand-edited value
  };
  for (const Case& c : cases) {
    StoreNumber(L"Remove Plugin Mode", c.mode);
    Open();
    EXPECT_EQ(IsDlgButtonChecked(dialog_, c.checked), static_cast<UINT>(BST_CHECKED)) << c.mode;
    Load(profile_);
    std::vector<std::wstring> names;
    for (const auto& row : ListRows()) names.push_back(row[0]);
    EXPECT_EQ(names, c.names) << c.mode;
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
  EXPECT_TRUE(messages_.Messages().empty());
}

TEST_F(RemovePluginTest, OnlyTheTextOneIsEnabled) {
  Open();
  Load(profile_);
  EXPECT_EQ(ListRows(), (Rows{{L"A", L"Enabled", L"1"}, {L"B", L"Disabled", L"1"}, {L"T", L"Disabled", L"1"}}));
}

TEST_F(RemovePluginTest, FilterButtonStoresTheModeForTheNextOpening) {
  Open();
  CheckDlgButton(dialog_, IDC_PLUGIN_MODE_ENABLED, BST_CHECKED);
  Command(dialog_, IDC_PLUGIN_MODE_ENABLED);
  EXPECT_EQ(StoredNumber(L"Remove Plugin Mode"), 1u);
  DestroyWindow(dialog_);
  Open();
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_PLUGIN_MODE_ENABLED), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_PLUGIN_MODE_ALL), static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(RemovePluginTest, ReferencesAreCountedOverTheMachFolderAndListed) {
  folder_.Write(L"Q.xml", "<profile><PlugIns><A>0</A></PlugIns></profile>");
  folder_.Write(L"R.xml", "<profile><Preferences><A>1</A><B>1</B></Preferences></profile>");
  StoreNumber(L"Remove Plugin Mode", 0);
  Open();
  Load(profile_);
  EXPECT_EQ(ListRows(), (Rows{{L"A", L"Enabled", L"2"}, {L"B", L"Disabled", L"1"}, {L"T", L"Disabled", L"1"}}));

  std::vector<std::wstring> listed;
  std::wstring title;
  DriveModal(
      [&] {
        NMITEMACTIVATE activate = {};
        activate.hdr.hwndFrom = List();
        activate.hdr.idFrom = IDC_PLUGIN_LIST;
        activate.hdr.code = NM_DBLCLK;
        activate.iItem = 0;
        return SendMessageW(dialog_, WM_NOTIFY, IDC_PLUGIN_LIST, reinterpret_cast<LPARAM>(&activate));
      },
      {[&](HWND referencing) {
        title = WindowText(referencing);
        HWND box = GetDlgItem(referencing, IDC_REFERENCING_LIST);
        for (int i = 0; i < SendMessageW(box, LB_GETCOUNT, 0, 0); ++i) {
          wchar_t text[MAX_PATH] = {};
          SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
          listed.push_back(text);
        }
        ClickButton(referencing, IDOK);
      }});
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::wstring>{L"P.xml", L"Q.xml"}));
  EXPECT_EQ(title, L"KestrelwoodV3.02 Referencing profiles");
  EXPECT_TRUE(messages_.Messages().empty());
}

TEST_F(RemovePluginTest, ActivatedRowIndexIsShown) {
  Open();
  Load(profile_);
  NMITEMACTIVATE activate = {};
  activate.hdr.hwndFrom = List();
  activate.hdr.idFrom = IDC_PLUGIN_LIST;
  activate.hdr.code = LVN_ITEMACTIVATE;
  activate.iItem = 2;
  SendMessageW(dialog_, WM_NOTIFY, IDC_PLUGIN_LIST, reinterpret_cast<LPARAM>(&activate));
  EXPECT_EQ(ItemText(dialog_, IDC_PLUGIN_ROW), L"2");
}

TEST_F(RemovePluginTest, RemovalWithoutChoiceOrProfileSaysSo) {
  Open();
  Load(profile_);
  Command(dialog_, IDC_PLUGIN_REMOVE);
  ASSERT_EQ(messages_.Messages().size(), 1u);
  SetDlgItemTextW(dialog_, IDC_PLUGIN_PROFILE_PATH, L"");
  Command(dialog_, IDC_PLUGIN_LOAD);
  ASSERT_EQ(messages_.Messages().size(), 2u);
  EXPECT_EQ(Message(0), L"No Plugin selected");
  EXPECT_EQ(Message(1), L"Please specify file");
  for (const RecordedMessage& message : messages_.Messages()) {
    EXPECT_EQ(message.caption, L"Kestrelwood Error");
    EXPECT_EQ(message.style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  }
  EXPECT_EQ(ReadBytes(profile_), PluginProfile);
}

// The recycle bin of the Wine prefix's user: the files of the trash.
std::vector<std::string> RecycledCopiesOf(const std::string& bytes) {
  std::vector<std::string> found;
  wchar_t home[MAX_PATH] = {};  // "\\??\\Z:\\root"
  if (!GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH) || std::wcslen(home) < 4) return found;
  const std::wstring trash = std::wstring(home + 4) + L"\\.local\\share\\Trash\\files\\";
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((trash + L"*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && ReadBytes(trash + data.cFileName) == bytes) {
      found.push_back(bytes);
    }
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return found;
}

TEST_F(RemovePluginTest, RemovalRewritesTheProfileAndRecyclesTheOldOne) {
  // A profile of its own, so its old bytes are known in the recycle bin.
  const std::string old = std::string(PluginProfile) + "<!-- " + std::to_string(GetTickCount64()) + " -->";
  WriteBytes(profile_, old);
  Open();
  Load(profile_);
  SelectRows({0});
  Command(dialog_, IDC_PLUGIN_REMOVE);
  EXPECT_TRUE(messages_.Messages().empty()) << Message();
  EXPECT_EQ(ReadProfile(SecondProfileSlot, profile_.c_str()), 1);
  std::vector<std::wstring> plugins;
  for (uint32_t i = 0; i < ProfileSlots[1].Count(); ++i) {
    if (ProfileSlots[1].records[i].path == L"profile / PlugIns / ") plugins.emplace_back(ProfileSlots[1].records[i].name);
  }
  EXPECT_EQ(plugins, (std::vector<std::wstring>{L"B", L"SystemTest", L"T"}));
  EXPECT_FALSE(FileExists(profile_ + L"ppp"));
  EXPECT_EQ(RecycledCopiesOf(old).size(), 1u);
  // The rows left keep their counts; a second removal needs no new load.
  EXPECT_EQ(ListRows(), (Rows{{L"B", L"Disabled", L"1"}, {L"T", L"Disabled", L"1"}}));
  SelectRows({1});
  Command(dialog_, IDC_PLUGIN_REMOVE);
  EXPECT_EQ(ListRows(), (Rows{{L"B", L"Disabled", L"1"}}));
  EXPECT_EQ(ReadBytes(profile_).find("<A>"), std::string::npos);
  EXPECT_EQ(ReadBytes(profile_).find("<T>"), std::string::npos);
}

// Another program (a virus scanner, say) holds the new file while it is renamed.
BOOL RenameWhileLocked(const wchar_t* from, const wchar_t* to) {
  HANDLE lock = CreateFileW(from, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const BOOL renamed = MoveFileExW(from, to, 0);
  const DWORD error = GetLastError();
  CloseHandle(lock);
  SetLastError(renamed ? 0 : error);
  return renamed;
}

// Each failure ends with the old profile in place, unchanged, the reason
// shown, and no new file left.
TEST_F(RemovePluginTest, FailuresLeaveTheOldProfileAsItWas) {
  enum Injection { ReadOnly, NoNewFile, LockedProfile, RenameFails };
  struct Case {
    Injection injection;
    const wchar_t* expectedStart;
  } cases[] = {
      {ReadOnly, L"The profile cannot be replaced:\r\n"},
      {NoNewFile, L"Error creating file writer, error is "},
      {LockedProfile, L"The profile cannot be replaced:\r\n"},
      {RenameFails, L"The new profile could not be renamed to\r\n"},
  };
  for (const Case& c : cases) {
    WriteBytes(profile_, PluginProfile);
    const FILETIME written = TimeBefore(WriteTime(profile_), 3600);
    SetWriteTime(profile_, written);
    Open();
    Load(profile_);
    messages_.Clear();
    if (c.injection == ReadOnly) SetFileAttributesW(profile_.c_str(), FILE_ATTRIBUTE_READONLY);
    if (c.injection == NoNewFile) CreateDirectoryW((profile_ + L"ppp").c_str(), nullptr);
    HANDLE lock = c.injection == LockedProfile
                      ? CreateFileW(profile_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                      : INVALID_HANDLE_VALUE;
    const FileRenameFunction before = c.injection == RenameFails ? SetFileRenameFunction(RenameWhileLocked) : nullptr;
    SelectRows({0});
    Command(dialog_, IDC_PLUGIN_REMOVE);
    if (c.injection == RenameFails) SetFileRenameFunction(before);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    SetFileAttributesW(profile_.c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_EQ(messages_.Messages().size(), 1u) << c.injection;
    EXPECT_TRUE(Message().starts_with(c.expectedStart)) << Message();
    if (c.injection != NoNewFile) {
      EXPECT_NE(Message().find(profile_), std::wstring::npos) << Message();
    }
    EXPECT_EQ(ReadBytes(profile_), PluginProfile) << c.injection;
    const FILETIME now = WriteTime(profile_);
    EXPECT_EQ(CompareFileTime(&written, &now), 0) << c.injection;
    if (c.injection == NoNewFile) {
      RemoveDirectoryW((profile_ + L"ppp").c_str());
    } else {
      EXPECT_FALSE(FileExists(profile_ + L"ppp")) << c.injection;
    }
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
}

}  // namespace
