// The Check ports and pins dialog, driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "pins/check_ports_dialog.h"
#include "resources/resource.h"
#include "tests/pins/lpt_test_devices.h"
#include "tests/pins/pin_test_helpers.h"
#include "tests/pins/portable/profile_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

using namespace lpt_test;

class CheckPortsDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    RemoveTestDevices();
  }
  void TearDown() override {
    DeleteSettingsKey();
    RemoveTestDevices();
  }
  INT_PTR Run(std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(nullptr, IDD_CHECK_PORTS, CheckPortsDialogProc); },
                      std::move(steps));
  }
  MessageRecorder messages;
};

// Without ports the red line shows; texts follow the stored language.
// Browse shows and stores the chosen file (cancelled: nothing changes).
// Check with an empty field asks for a file; an unticked box is kept.
TEST_F(CheckPortsDialogTest, OpensWithoutPortsBrowsesAsksForAFileAndKeepsTheBox) {
  StoreSettingNumber(L"Language", 0);
  StoreSettingText(L"Filename check ports and pins2", L"C:\\Mach3\\Mill.xml");
  ScriptedDialogs dialogs;
  HWND seen = nullptr;
  Run({[&](HWND dialog) {  // checks inside the step: the driver fails the test when it does not run
    seen = dialog;
    EXPECT_EQ(WindowText(dialog), L"KestrelwoodV3.02 Ports und Pins prüfen");
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_PATH), L"C:\\Mach3\\Mill.xml");
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_NO_PORT), L"Keine LPT Schnittstelle gefunden");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHECK_PORTS_SHOW_ALL), static_cast<UINT>(BST_CHECKED));  // the default
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_CHECK_PORTS_LIST, LB_GETCOUNT, 0, 0), 0);
    ClickButton(dialog, IDC_CHECK_PORTS_BROWSE);
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_PATH), L"C:\\Mach3\\Mill.xml");
    dialogs.OpenFileAnswer(L"Z:\\profiles\\Router.xml");
    ClickButton(dialog, IDC_CHECK_PORTS_BROWSE);
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_PATH), L"Z:\\profiles\\Router.xml");
    SetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, L"");
    ClickButton(dialog, IDC_CHECK_PORTS_CHECK);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK)));
    CheckDlgButton(dialog, IDC_CHECK_PORTS_SHOW_ALL, BST_UNCHECKED);
    ClickButton(dialog, IDC_CHECK_PORTS_SHOW_ALL);
    ClickButton(dialog, IDCANCEL);
  }});
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"Bitte Datei  angeben");
  EXPECT_EQ(messages.Messages()[0].owner, seen);
  EXPECT_EQ(StoredSettingText(L"Filename check ports and pins2"), L"Z:\\profiles\\Router.xml");
  EXPECT_EQ(dialogs.openFileCalls, 2);
  Run({[&](HWND dialog) {
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHECK_PORTS_SHOW_ALL), static_cast<UINT>(BST_UNCHECKED));
    ClickButton(dialog, IDCANCEL);
  }});
}

TEST_F(CheckPortsDialogTest, ListsTheKnownPortsAndHidesTheRedLine) {
  CreateDevice({L"ACPI\\PNP0400\\0", L"Parport", L"Ports", L"ECP Printer Port (LPT1)",
                PrinterPortConfig(0x378), L"LPT1"});
  CreateDevice({L"ACPI\\PNP0401\\0", L"Parport", L"Ports", L"Printer Port (LPT2)", PrinterPortConfig(0x278),
                L"LPT2"});
  Run({[&](HWND dialog) {
    EXPECT_EQ(ListBoxLines(GetDlgItem(dialog, IDC_CHECK_PORTS_LIST)),
              (std::vector<std::wstring>{L"ECP Printer Port (LPT1)   LPT1    0x378",
                                         L"Printer Port (LPT2)   LPT2    0x278"}));
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_NO_PORT), L"");
    EXPECT_GT(SendDlgItemMessageW(dialog, IDC_CHECK_PORTS_LIST, LB_GETHORIZONTALEXTENT, 0, 0), 0);
    ClickButton(dialog, IDCANCEL);
  }});
}

// A typed path is checked (and named in the sheet's caption) without being
// stored; the button is disabled while the sheet is open.
TEST_F(CheckPortsDialogTest, CheckReadsTheProfileAndShowsTheSheet) {
  TempFolder folder;
  ProfileKeys keys = {{"Profile", "Mill"}, {"Port1On", "1"}, {"Port1Add", "888"}, {"Port2On", "0"},
                      {"Input0Active", "1"}, {"Input0Port", "1"}, {"Input0Pin", "10"},
                      {"Input1Active", "1"}, {"Input1Port", "1"}, {"Input1Pin", "10"},
                      {"Input2Active", "1"}, {"Input2Port", "2"}, {"Input2Pin", "11"}};
  folder.Write(L"Mill.xml", ProfileXml(keys));
  CreateDevice({L"ACPI\\PNP0400\\0", L"Parport", L"Ports", L"ECP Printer Port (LPT1)",
                PrinterPortConfig(0x378), L"LPT1"});
  StoreSettingText(L"Filename check ports and pins2", L"C:\\stored.xml");
  const std::wstring path = folder.Path(L"Mill.xml");
  HWND checkDialog = nullptr;
  Run({[&](HWND dialog) {
         checkDialog = dialog;
         SetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, path.c_str());
         ClickButton(dialog, IDC_CHECK_PORTS_CHECK);  // returns when the sheet is closed
         EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK)));
         ClickButton(dialog, IDCANCEL);
       },
       [&](HWND sheet) {
         EXPECT_FALSE(IsWindowEnabled(GetDlgItem(checkDialog, IDC_CHECK_PORTS_CHECK)));
         EXPECT_EQ(WindowText(sheet), path + L" Mill");
         EXPECT_EQ(SheetTabTitles(sheet), (std::vector<std::wstring>{L"Pin assignments LPT1", L"Pin assignments LPT2"}));
         HWND list = GetDlgItem(CurrentSheetPage(sheet), IDC_PIN_TABLE);
         EXPECT_EQ(ListViewText(list, 9, 8), L"Multiple used pin nmb: (2)   ");
         CloseSheet(sheet);
       }});
  EXPECT_EQ(StoredSettingText(L"Filename check ports and pins2"), L"C:\\stored.xml");
  EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
