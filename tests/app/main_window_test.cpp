// The main window: start-up title, the language dialog, command dispatch,
// accelerators and the About box, and the 64-bit check.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "resources/resource.h"
#include "tests/support/test_support.h"

namespace {

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    LanguageIndex = German;
  }
  void TearDown() override {
    CloseMainWindow();
    DeleteSettingsKey();
  }
  HWND Start() {
    EXPECT_EQ(CreateMainWindow(Instance, SW_HIDE), 1);
    return MainWindow;
  }
  MessageRecorder messages;
};

// The first start shows the title with two blanks. The Language dialog
// opens with the stored language selected; Cancel keeps it, OK without a
// selection complains and stays open, OK stores the choice and relabels the
// menu at once, its states untouched.
TEST_F(MainWindowTest, TheLanguageDialogStoresTheChoiceAndRelabelsTheMenu) {
  EXPECT_EQ(WindowText(Start()), L"Kestrelwood  V3.02");
  const auto runLanguageDialog = [](std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(MainWindow, IDD_LANGUAGE, LanguageDialogProc); }, std::move(steps));
  };
  const auto select = [](HWND dialog, int language) {
    SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_SETCURSEL, language, 0);
  };
  EXPECT_EQ(runLanguageDialog({[&](HWND dialog) {
              EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_GETCURSEL, 0, 0), English);
              select(dialog, German);
              ClickButton(dialog, IDCANCEL);
            }}),
            2);
  EXPECT_EQ(LanguageIndex, English);
  EXPECT_EQ(StoredSettingNumber(L"Language"), 1u);
  EXPECT_EQ(MenuItemText(GetMenu(MainWindow), 3, true), L"Help");

  EXPECT_EQ(runLanguageDialog({[&](HWND dialog) {
                                 select(dialog, -1);
                                 ClickButton(dialog, IDOK);
                               },
                               [&](HWND dialog) {
                                 EXPECT_TRUE(IsWindowVisible(dialog));
                                 select(dialog, French);
                                 ClickButton(dialog, IDOK);
                               }}),
            1);
  EXPECT_EQ(messages.Shown(),
            (std::vector<ShownMessage>{{L"No language selected", L"Kestrelwood Error", MB_ICONERROR}}));
  EXPECT_EQ(LanguageIndex, French);
  EXPECT_EQ(StoredSettingNumber(L"Language"), 2u);
  EXPECT_EQ(MenuItemText(GetMenu(MainWindow), 3, true), L"Aide");
  EXPECT_EQ(MenuItemText(GetMenu(MainWindow), IDM_LANGUAGE, false), L"Langue");
  EXPECT_EQ(GetMenuState(GetMenu(MainWindow), IDM_REMOVE_PLUGIN, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED),
            static_cast<UINT>(MF_DISABLED | MF_GRAYED));
}

// Alt+? and Alt+/ open the About box: character keys, not virtual keys,
// which Windows matches on WM_SYSCHAR. The box shows the version, and its
// credit in the current language.
TEST_F(MainWindowTest, BothAcceleratorsOpenTheAboutBox) {
  HWND window = Start();
  LanguageIndex = French;
  HACCEL accelerators = LoadAcceleratorsW(Instance, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
  ACCEL table[4] = {};
  ASSERT_EQ(CopyAcceleratorTableW(accelerators, table, 4), 2);
  for (const ACCEL& entry : {table[0], table[1]}) {
    EXPECT_EQ(entry.cmd, IDM_ABOUT);
    EXPECT_EQ(entry.fVirt & (FVIRTKEY | FALT), FALT);
  }
  EXPECT_EQ(std::wstring({static_cast<wchar_t>(table[0].key), static_cast<wchar_t>(table[1].key)}), L"?/");
  std::wstring version, credit;
  DriveModal([window] { return SendMessageW(window, WM_COMMAND, IDM_ABOUT, 0); }, {[&](HWND about) {
               version = ItemText(about, IDC_ABOUT_VERSION);
               credit = ItemText(about, IDC_ABOUT_CREDIT);
               ClickButton(about, IDOK);
             }});
  EXPECT_EQ(version, L"Kestrelwood V3.02");
  EXPECT_EQ(credit.rfind(L"Traduction", 0), 0u);
}

// The NtVdm64 key decides where it exists (it is only read, never made);
// the warning then comes before the port check each time.
TEST_F(MainWindowTest, SixtyFourBitWarningFollowsTheNtVdm64KeyAndExitEnds) {
  HWND window = Start();
  LanguageIndex = German;
  // The check dialog follows the warning each time (in the stored language,
  // English on a first start); the driver closes it.
  std::vector<std::wstring> titles;
  const auto checkPorts = [window, &titles] {
    DriveModal([window] { return SendMessageW(window, WM_COMMAND, IDM_CHECK_PORTS, 0); },
               {[&titles](HWND dialog) {
                 titles.push_back(WindowText(dialog));
                 ClickButton(dialog, IDCANCEL);
               }});
  };
  const wchar_t* path = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NtVdm64";
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, path);
  Is64BitWindows = Detect64BitWindows();
  EXPECT_TRUE(Is64BitWindows);  // both test builds run on 64-bit Windows (Wine's prefix)
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key), ERROR_SUCCESS);
  checkPorts();
  checkPorts();
  EXPECT_EQ(titles, std::vector<std::wstring>(2, L"KestrelwoodV3.02 Check ports and pins"));
  ASSERT_EQ(messages.Messages().size(), 2u);
  const RecordedMessage& warning = messages.Messages()[0];
  EXPECT_EQ(warning.text.rfind(L"Dies ist ein 64 Bit - Betriebssystem!\r\n", 0), 0u);
  EXPECT_EQ(warning.caption, L"Kestrelwood Warnung");
  EXPECT_EQ(warning.style, static_cast<UINT>(MB_ICONWARNING | MB_OK));
  EXPECT_EQ(warning.owner, window);

  messages.Clear();
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  Is64BitWindows = Detect64BitWindows();  // the key without sub-keys
  checkPorts();
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(titles.size(), 3u);
  HKEY subKey = nullptr;
  RegCreateKeyExW(key, L"0000", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &subKey, nullptr);
  RegCloseKey(subKey);
  EXPECT_TRUE(Detect64BitWindows());
  RegCloseKey(key);
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, path);

  // Exit ends the program.
  SendMessageW(window, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_FALSE(IsWindow(window));
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(message.wParam, 0u);
}

}  // namespace
