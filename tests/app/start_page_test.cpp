// The start page of the main window: its rows, counts and backup dates from
// a Mach3 folder and a save log, the missing folder, the running Mach3, its
// buttons and the language switch.
#include "app/start_page.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "backup/portable/backup_log.h"
#include "resources/resource.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

LogTime LocalLogTime(const FILETIME& time) {
  SYSTEMTIME utc, local;
  FileTimeToSystemTime(&time, &utc);
  SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

class StartPageTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    LanguageIndex = English;
    Is64BitWindows = false;
    mach.Write(L"Mach3.exe", "");
    mach.Write(L"Mill.xml", "<profile><Preferences><A>1</A><B/><C>3</C></Preferences></profile>");
    mach.Write(L"Router.xml", "<profile><Preferences><A>1</A></Preferences></profile>");
    StoreSettingText(L"Save Mach install path", mach.Path());
  }
  void TearDown() override {
    CloseMainWindow();
    DeleteSettingsKey();
  }
  HWND Start() {
    EXPECT_EQ(CreateMainWindow(Instance, SW_HIDE), 1);
    Settle();
    return MainWindow;
  }
  static void Settle() {
    while (StartPageIdleStep()) {
    }
  }
  static HWND List() { return GetDlgItem(MainWindow, IDC_START_PROFILES); }
  static std::vector<std::wstring> Column(int column) { return ListViewColumn(List(), column); }
  static std::wstring Text(int id) { return ItemText(MainWindow, id); }
  // A key pressed in `window`, as the message loop hands it to the page.
  static INT_PTR Press(HWND window, WPARAM key) {
    MSG down = {};
    down.hwnd = window;
    down.message = WM_KEYDOWN;
    down.wParam = key;
    return StartPageKey(&down);
  }
  // The window is hidden in tests: the button's own style says whether it shows.
  static bool ChooseShown() {
    return GetWindowLongW(GetDlgItem(MainWindow, IDC_START_CHOOSE_FOLDER), GWL_STYLE) & WS_VISIBLE;
  }
  // The texts of `ids` in the dialog `open` shows, which is then cancelled.
  static std::vector<std::wstring> Opened(const std::function<INT_PTR()>& open, std::vector<int> ids = {0}) {
    std::vector<std::wstring> texts;
    DriveModal(open, {[&](HWND dialog) {
                 for (int id : ids) texts.push_back(id ? ItemText(dialog, id) : WindowText(dialog));
                 ClickButton(dialog, IDCANCEL);
               }});
    return texts;
  }

  TempFolder mach, backup;
  MessageRecorder messages;
};

// Mill changed after the newest save of profiles, Router before it; Broken
// is held only by an older log and cannot be counted. The newest log of all
// holds no profile (a refused run) and is passed over.
TEST_F(StartPageTest, ListsProfilesWithCountsAndTheNewestBackup) {
  mach.Write(L"Broken.xml", "<profile><A>");
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  SetWriteTime(mach.Path(L"Mill.xml"), now);
  SetWriteTime(mach.Path(L"Router.xml"), TimeBefore(now, 2 * 86400));
  const LogTime saved = LocalLogTime(TimeBefore(now, 86400));
  const LogTime older = LocalLogTime(TimeBefore(now, 3 * 86400));
  const LogTime refused = LocalLogTime(TimeBefore(now, 3600));
  const struct {
    LogTime time;
    int language;  // logs are read in any language
    std::vector<const wchar_t*> files;
  } logs[] = {{saved, German, {L"Mill.xml", L"Router.xml"}}, {older, French, {L"Broken.xml"}}, {refused, English, {}}};
  for (const auto& written : logs) {
    LanguageIndex = written.language;
    BackupLog log(false, mach.Path(), backup.Path(), written.time);
    log.StartSet(0x100);
    for (const wchar_t* file : written.files) {
      log.StartFile();
      log.EndFile(FileOutcome::Copied, mach.Path(file), backup.Path(file));
    }
    backup.Write(log.FileName(), Utf8WithBom(log.Text()));
  }
  LanguageIndex = English;
  StoreSettingText(L"Save Parameter store path", backup.Path());
  const FILETIME millTime = WriteTime(mach.Path(L"Mill.xml"));

  Start();
  EXPECT_EQ(Text(IDC_START_FOLDER), L"Mach3 folder: " + mach.Path());
  EXPECT_EQ(Text(IDC_START_RUNNING), L"Mach3 is not running.");
  EXPECT_FALSE(ChooseShown());
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"Broken.xml", L"Mill.xml", L"Router.xml"}));
  EXPECT_EQ(Column(2), (std::vector<std::wstring>{L"?", L"3", L"1"}));  // the counts the compare view shows too
  const std::wstring date = FormatText(L"%04d-%02d-%02d %02d:%02d:%02d", saved.year, saved.month, saved.day,
                                       saved.hour, saved.minute, saved.second);
  EXPECT_EQ(Column(3), (std::vector<std::wstring>{L"never", date + L", changed since", date}));
  EXPECT_EQ(WriteTime(mach.Path(L"Mill.xml")).dwLowDateTime, millTime.dwLowDateTime);  // only read
}

TEST_F(StartPageTest, MissingFolderSaysSoAndTheFolderBrowserChoosesAnother) {
  if (GetFileAttributesW(L"C:\\Mach3\\Mach3.exe") != INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "C:\\Mach3 exists";
  const std::wstring missing = mach.Path(L"gone");
  StoreSettingText(L"Save Mach install path", missing);
  Start();
  EXPECT_EQ(Text(IDC_START_FOLDER), L"No Mach3 found in " + missing + L".");
  EXPECT_EQ(ListView_GetItemCount(List()), 0);
  ASSERT_TRUE(ChooseShown());

  ScriptedDialogs dialogs;
  dialogs.BrowseAnswer(mach.Path());
  SendMessageW(MainWindow, WM_COMMAND, IDC_START_CHOOSE_FOLDER, 0);
  Settle();
  EXPECT_EQ(dialogs.lastBrowseTitle, L"Storage path and filename");
  EXPECT_EQ(StoredSettingText(L"Save Mach install path"), mach.Path());
  EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"Mill.xml", L"Router.xml"}));
  EXPECT_EQ(Column(3), (std::vector<std::wstring>{L"never", L"never"}));  // no backup folder stored
  EXPECT_FALSE(ChooseShown());
}

// The running state is looked at again whenever the window is activated. A
// language switch relabels the page.
TEST_F(StartPageTest, RunningMach3IsRecheckedOnActivationAndTheLanguageSwitchRelabels) {
  {
    RunningProcess mach3(mach.Path(), L"mach3.exe");
    ASSERT_TRUE(mach3.Started());
    Start();
    EXPECT_EQ(Text(IDC_START_RUNNING), L"Mach3 is running.");
  }
  SendMessageW(MainWindow, WM_ACTIVATE, WA_ACTIVE, 0);
  Settle();
  EXPECT_EQ(Text(IDC_START_RUNNING), L"Mach3 is not running.");

  DriveModal([] { return SendMessageW(MainWindow, WM_COMMAND, IDM_LANGUAGE, 0); }, {[](HWND dialog) {
               SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_SETCURSEL, French, 0);
               ClickButton(dialog, IDOK);
             }});
  EXPECT_EQ(WindowText(GetDlgItem(MainWindow, IDM_SHOW_PROFILE)), L"Show profils");
  EXPECT_EQ(Text(IDC_START_DESCRIPTION_FIRST), L"Toutes les entrées d'un profil en liste, avec recherche");
  EXPECT_EQ(Text(IDC_START_RUNNING), L"Mach3 n'est pas lancé.");
  EXPECT_EQ(ListViewColumnTitle(List(), 3), L"Dernière sauvegarde");
}

// Each button opens what its menu command opens (Enter on the focused
// button, as the keyboard does); a double-click and two rows open the
// profile views with those files loaded.
TEST_F(StartPageTest, ButtonsAndRowsOpenTheirDialogs) {
  StoreSettingText(L"Filename check ports and pins2", mach.Path(L"Mill.xml"));
  Start();
  HMENU actions = GetSubMenu(GetMenu(MainWindow), 1);
  int buttons = 0;
  for (int i = 0; i < GetMenuItemCount(actions); ++i) {
    const int command = static_cast<int>(GetMenuItemID(actions, i));
    if (command == 0) continue;
    HWND button = GetDlgItem(MainWindow, command);
    ASSERT_TRUE(button) << command;
    ++buttons;
    EXPECT_EQ(WindowText(button), MenuItemText(GetMenu(MainWindow), command, false));
    const bool menuEnabled = !(GetMenuState(actions, command, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED));
    EXPECT_EQ(IsWindowEnabled(button) != FALSE, menuEnabled) << command;
    if (!menuEnabled) continue;
    const std::vector<std::wstring> viaMenu =
        Opened([command] { return SendMessageW(MainWindow, WM_COMMAND, command, 0); });
    EXPECT_FALSE(viaMenu[0].empty()) << command;
    EXPECT_EQ(Opened([button] { return Press(button, VK_RETURN); }), viaMenu) << command;
  }
  EXPECT_EQ(buttons, 8);

  // Tab leaves the rows for the first enabled button (Compare needs two rows).
  ShowWindow(MainWindow, SW_SHOW);
  SetFocus(List());
  EXPECT_TRUE(Press(List(), VK_TAB));
  EXPECT_EQ(GetFocus(), GetDlgItem(MainWindow, IDM_SHOW_PROFILE));

  // A double-click and Enter on a row open that profile.
  NMITEMACTIVATE click = {};
  click.hdr = {List(), IDC_START_PROFILES, static_cast<UINT>(NM_DBLCLK)};
  click.iItem = 1;
  for (const std::function<INT_PTR()>& open : std::vector<std::function<INT_PTR()>>{
           [&click] { return SendMessageW(MainWindow, WM_NOTIFY, IDC_START_PROFILES, reinterpret_cast<LPARAM>(&click)); },
           [] {
             ListView_SetItemState(List(), 1, LVIS_FOCUSED, LVIS_FOCUSED);
             return Press(List(), VK_RETURN);
           }}) {
    EXPECT_EQ(Opened(open, {IDC_SHOW_PATH, IDC_SHOW_ROWS}),
              (std::vector<std::wstring>{mach.Path(L"Router.xml"), L"1"}));
  }

  HWND compare = GetDlgItem(MainWindow, IDC_START_COMPARE);
  ListView_SetItemState(List(), 0, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_FALSE(IsWindowEnabled(compare));
  ListView_SetItemState(List(), 1, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_TRUE(IsWindowEnabled(compare));
  EXPECT_EQ(Opened([] { return SendMessageW(MainWindow, WM_COMMAND, IDC_START_COMPARE, 0); },
                   {IDC_COMPARE_PATH1, IDC_COMPARE_PATH2, IDC_COMPARE_COUNT1, IDC_COMPARE_COUNT2}),
            (std::vector<std::wstring>{mach.Path(L"Mill.xml"), mach.Path(L"Router.xml"), L"3", L"1"}));
}

}  // namespace
