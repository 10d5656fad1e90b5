// The Show params sheet on profiles written by the tests, driven as a user
// would: motor page, lists, sorting, missing keys and browsing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "pins/pin_print.h"
#include "pins/show_params_sheet.h"
#include "resources/resource.h"
#include "tests/pins/pin_test_helpers.h"
#include "tests/pins/portable/profile_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

ProfileKeys MillKeys() {
  ProfileKeys keys = {{"Profile", "Mill"}, {"DirPulse", "2"}, {"PulseWidth", "5"}, {"Port2Input", "1"}};
  AddProfileMotor(keys, 0, "1", 1, 3, 1, 2);
  AddProfileMotor(keys, 1, "1", 2, 3, 2, 2);
  AddProfileMotor(keys, 2, "01", 1, 5, 1, 4);  // only the exact text 1 is active
  AddProfileMotor(keys, 6, "1", 1, 12, 1, 14);
  keys.insert(keys.end(), {{"Input0Active", "1"}, {"Input0Port", "1"}, {"Input0Pin", "10"}, {"Input0Neg", "1"},
                           {"Input0Emulated", "0"}, {"Input0EmuKey", "0"}, {"Output1Active", "1"},
                           {"Output1Port", "1"}, {"Output1Pin", "17"}, {"Output1Neg", "0"},
                           {"Encoder4Active", "1"}, {"Encoder4APort", "1"}, {"Encoder4APin", "11"},
                           {"Encoder4BPort", "1"}, {"Encoder4BPin", "13"}, {"Encoder4Cal", "100"}});
  return keys;
}

class ShowParamsSheetTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    folder_.Write(L"Mill.xml", ProfileXml(MillKeys()));
    StoreSettingText(L"Filename check ports and pins2", folder_.Path(L"Mill.xml"));
  }
  void TearDown() override { DeleteSettingsKey(); }
  void Open(std::vector<DialogStep> steps) {
    DriveModal(
        [] {
          ShowParamsSheet(nullptr);
          return INT_PTR{0};
        },
        std::move(steps));
  }
  TempFolder folder_;
  MessageRecorder messages;
};

bool Visible(HWND page, int id) { return IsWindowVisible(GetDlgItem(page, id)) != FALSE; }

// Checks run inside the steps: the driver fails the test when a step does not run.
TEST_F(ShowParamsSheetTest, MotorPageListsAndSorting) {
  using Lines = std::vector<std::wstring>;
  const Lines usedNames = {L"Axis X Dir",   L"Axis X Step", L"Axis Y Dir", L"Axis Y Step", L"Spindle Dir",
                           L"Spindle Step", L"X++",         L"Enable#1",   L"MPG 1"};
  Open({[&](HWND sheet) {
          EXPECT_EQ(SheetTabTitles(sheet).size(), 5u);
          HWND page = CurrentSheetPage(sheet);
          EXPECT_EQ(ItemText(page, IDC_PARAMS_PATH), folder_.Path(L"Mill.xml"));
          EXPECT_TRUE(Visible(page, IDC_MOTOR_DIR_PORT));
          EXPECT_FALSE(Visible(page, IDC_MOTOR_DIR_PORT + 2));  // "01" is not active
          EXPECT_TRUE(Visible(page, IDC_MOTOR_STEP_PIN + 6));
          EXPECT_EQ(ItemText(page, IDC_MOTOR_VELOCITY), L"150");
          EXPECT_EQ(ItemText(page, IDC_MOTOR_HOME_NEG + 6), L"--");
          EXPECT_EQ(ItemText(page, IDC_MOTOR_REVERSED + 6), L"0");
          EXPECT_EQ(ItemText(page, IDC_PULSE_DIR), L"2");
          EXPECT_EQ(IsDlgButtonChecked(page, IDC_PORT2_INPUT), static_cast<UINT>(BST_CHECKED));
          SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        },
        [&](HWND sheet) {
          HWND page = CurrentSheetPage(sheet);
          HWND list = GetDlgItem(page, IDC_PARAMS_USED_LIST);
          EXPECT_EQ(ListViewColumn(list, 0), usedNames);
          ClickColumn(page, IDC_PARAMS_USED_LIST, 2);
          // Port 1 pin 12 comes before port 2 pin 3.
          EXPECT_EQ(ListViewColumn(list, 0), (Lines{L"Axis X Step", L"Axis X Dir", L"X++", L"MPG 1", L"Spindle Dir",
                                            L"Spindle Step", L"Enable#1", L"Axis Y Step", L"Axis Y Dir"}));
          RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // a repaint ends the sort
          EXPECT_EQ(ListViewColumn(list, 0), usedNames);
          SendMessageW(sheet, PSM_SETCURSEL, 2, 0);
        },
        [&](HWND sheet) {
          HWND list = GetDlgItem(CurrentSheetPage(sheet), IDC_PARAMS_INPUT_LIST);
          EXPECT_EQ(ListViewRow(list, 0, 6), (Lines{L"X++", L"1", L"10", L"1", L"0", L"0"}));
          SendMessageW(sheet, PSM_SETCURSEL, 4, 0);
        },
        [&](HWND sheet) {
          EXPECT_EQ(ListViewRow(GetDlgItem(CurrentSheetPage(sheet), IDC_PARAMS_ENCODER_LIST), 0, 6),
                    (Lines{L"MPG 1", L"1", L"11", L"1", L"13", L"100"}));
          CloseSheet(sheet);
        }});
  EXPECT_TRUE(messages.Messages().empty());
}

// One box names every missing key; OK shows what was found (missing values
// empty, the port-2 box unticked), Cancel stops the page at the first one.
TEST_F(ShowParamsSheetTest, MissingKeysAskOnceAndCancelStopsThePage) {
  ProfileKeys keys = MillKeys();
  std::erase_if(keys, [](const auto& key) {
    return key.first == "Motor0DirNeg" || key.first == "Vel1" || key.first == "M1Rev" || key.first == "Port2Input";
  });
  folder_.Write(L"Mill.xml", ProfileXml(keys));
  for (const int answer : {IDCANCEL, IDOK}) {
    messages.Clear();
    messages.Answer(answer);
    std::wstring yPort, yReversed;
    UINT port2 = 0;
    Open({[&](HWND sheet) {
      HWND page = CurrentSheetPage(sheet);
      yPort = ItemText(page, IDC_MOTOR_DIR_PORT + 1);
      yReversed = ItemText(page, IDC_MOTOR_REVERSED + 1);
      port2 = IsDlgButtonChecked(page, IDC_PORT2_INPUT);
      CloseSheet(sheet);
    }});
    ASSERT_EQ(messages.Messages().size(), 1u);
    const RecordedMessage& message = messages.Messages()[0];
    EXPECT_EQ(message.text, L"Motor0DirNeg, M1Rev, Port2Input missing in profile  " + folder_.Path(L"Mill.xml"));
    EXPECT_EQ(message.style, static_cast<UINT>(MB_ICONERROR | MB_OKCANCEL));
    EXPECT_EQ(yPort, answer == IDOK ? L"2" : L"");  // Cancel stopped the page before motor Y
    EXPECT_EQ(yReversed, L"");
    EXPECT_EQ(port2, static_cast<UINT>(BST_UNCHECKED));
  }
}

// Without a stored profile the sheet asks for one first (cancelled: nothing
// opens); browsing to a profile without motors stores it and says so.
TEST_F(ShowParamsSheetTest, NoStoredProfileAsksForOneAndBrowsingToOneWithoutMotorsSaysSo) {
  StoreSettingText(L"Filename check ports and pins2", L"");
  folder_.Write(L"Empty.xml", ProfileXml({{"Profile", "Empty"}, {"Motor0Active", "0"}}));
  ScriptedDialogs dialogs;
  ShowParamsSheet(nullptr);
  EXPECT_EQ(dialogs.openFileCalls, 1);
  EXPECT_EQ(dialogs.lastOpenFileTitle, L"Profile file to open");

  dialogs.OpenFileAnswer(folder_.Path(L"Mill.xml"));
  dialogs.OpenFileAnswer(folder_.Path(L"Empty.xml"));
  bool xShown = true;
  std::wstring opened, path;
  int usedRows = -1;
  Open({[&](HWND sheet) {
          HWND page = CurrentSheetPage(sheet);
          opened = ItemText(page, IDC_PARAMS_PATH);
          EXPECT_TRUE(messages.Messages().empty());
          ClickButton(page, IDC_PARAMS_BROWSE);
          xShown = Visible(page, IDC_MOTOR_DIR_PORT);
          path = ItemText(page, IDC_PARAMS_PATH);
          SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        },
        [&](HWND sheet) {
          usedRows = ListViewCount(GetDlgItem(CurrentSheetPage(sheet), IDC_PARAMS_USED_LIST));
          CloseSheet(sheet);
        }});
  EXPECT_EQ(opened, folder_.Path(L"Mill.xml"));
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"No assigned pins for motors found");
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_ICONERROR));
  EXPECT_FALSE(xShown);
  EXPECT_EQ(path, folder_.Path(L"Empty.xml"));
  EXPECT_EQ(usedRows, 0);
  EXPECT_EQ(StoredSettingText(L"Filename check ports and pins2"), folder_.Path(L"Empty.xml"));
}

// After any browse every page and both printouts show the new profile; a
// profile that cannot be read leaves every page empty and nothing to print.
// Texts follow the stored language.
TEST_F(ShowParamsSheetTest, BrowsingFromAnyPageRefillsEveryPage) {
  ProfileKeys lathe = {{"Profile", "Lathe"}, {"DirPulse", "4"}, {"PulseWidth", "3"}, {"Port2Input", "0"}};
  AddProfileMotor(lathe, 0, "1", 1, 8, 1, 9);
  folder_.Write(L"Lathe.xml", ProfileXml(lathe));
  ScriptedDialogs dialogs;
  for (const int from : {1, 2, 3, 4}) {
    StoreSettingText(L"Filename check ports and pins2", folder_.Path(L"Mill.xml"));
    PrintedMotorValues = {};
    dialogs.OpenFileAnswer(folder_.Path(L"Lathe.xml"));
    std::wstring xDirPin;
    bool yShown = true;
    Open({[&](HWND sheet) { SendMessageW(sheet, PSM_SETCURSEL, from, 0); },
          [&](HWND sheet) {
            ClickButton(CurrentSheetPage(sheet), IDC_PARAMS_BROWSE);
            SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
          },
          [&](HWND sheet) {
            HWND page = CurrentSheetPage(sheet);
            xDirPin = ItemText(page, IDC_MOTOR_DIR_PIN);
            yShown = Visible(page, IDC_MOTOR_DIR_PORT + 1);
            CloseSheet(sheet);
          }});
    EXPECT_EQ(xDirPin, L"8") << from;
    EXPECT_FALSE(yShown) << from;
    EXPECT_EQ(PrintedMotorValues.rows[0].dirPin, 8) << from;
    EXPECT_EQ(PrintedMotorValues.rows[1].active, 0) << from;
    EXPECT_EQ(PrintedMotorValues.dirPulse, 4) << from;
  }
  EXPECT_TRUE(messages.Messages().empty());

  // The sheet's caption and titles follow the stored language.
  StoreSettingNumber(L"Language", 0);
  dialogs.OpenFileAnswer(folder_.Path(L"Missing.xml"));
  bool xShown = true, printMotors = true, printList = true;
  int usedRows = -1;
  std::wstring caption, firstTitle;
  Open({[&](HWND sheet) {
          caption = WindowText(sheet);
          firstTitle = SheetTabTitles(sheet).at(0);
          SendMessageW(sheet, PSM_SETCURSEL, 4, 0);
        },
        [&](HWND sheet) {
          ClickButton(CurrentSheetPage(sheet), IDC_PARAMS_BROWSE);
          SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        },
        [&](HWND sheet) {
          HWND page = CurrentSheetPage(sheet);
          usedRows = ListViewCount(GetDlgItem(page, IDC_PARAMS_USED_LIST));
          printList = IsWindowEnabled(GetDlgItem(page, IDC_PARAMS_PRINT_LIST));
          SendMessageW(sheet, PSM_SETCURSEL, 0, 0);
        },
        [&](HWND sheet) {
          HWND page = CurrentSheetPage(sheet);
          xShown = Visible(page, IDC_MOTOR_DIR_PORT);
          printMotors = IsWindowEnabled(GetDlgItem(page, IDC_PARAMS_PRINT_MOTORS));
          CloseSheet(sheet);
        }});
  EXPECT_EQ(messages.Messages().size(), 1u);  // the reader's
  EXPECT_EQ(usedRows, 0);
  EXPECT_FALSE(xShown);
  EXPECT_FALSE(printList);
  EXPECT_FALSE(printMotors);
  EXPECT_EQ(PrintedMotorValues.rows[0].active, 0);
  EXPECT_EQ(caption, L"Kestrelwood V3.02  Parameter anzeigen");
  EXPECT_EQ(firstTitle, L"Motore / Achsen");
}

}  // namespace
