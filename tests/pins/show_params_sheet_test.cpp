// The Show params sheet on profiles written by the tests, driven as a user
// would: motor page, lists, sorting, missing keys and browsing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "app/text_triple.h"
#include "pins/show_params_sheet.h"
#include "resources/resource.h"
#include "tests/pins/fake_dialogs.h"
#include "tests/pins/pin_test_helpers.h"
#include "tests/pins/profile_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

void StoreSettingText(const wchar_t* name, const std::wstring& text) {
  HKEY key = OpenSettingsKey();
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void StoreLanguage(DWORD language) {
  HKEY key = OpenSettingsKey();
  RegSetValueExW(key, L"Language", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&language), sizeof(language));
  RegCloseKey(key);
}

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

void ClickColumn(HWND page, int listId, int column) {
  NMLISTVIEW click = {};
  click.hdr.hwndFrom = GetDlgItem(page, listId);
  click.hdr.idFrom = listId;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = column;
  SendMessageW(page, WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&click));
}

std::vector<std::wstring> Column(HWND list, int column) {
  std::vector<std::wstring> cells;
  for (int i = 0; i < ListViewCount(list); ++i) cells.push_back(ListViewText(list, i, column));
  return cells;
}

void CloseSheet(HWND sheet) { SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

TEST_F(ShowParamsSheetTest, MotorPageListsAndSorting) {
  std::wstring caption, label, path, print, velocity, spindleHomeNeg, spindleReversed, dirPulse, group;
  std::vector<std::wstring> titles, usedNames, sortedByPin, afterRepaint, inputRow, encoderRow, inputHeadings;
  bool xShown = false, zShown = true, spindleShown = false, headingShown = false;
  UINT port2 = 0;
  std::wstring usedLabel, usedPrint;
  Open({[&](HWND sheet) {
          caption = WindowText(sheet);
          titles = SheetTabTitles(sheet);
          HWND page = CurrentSheetPage(sheet);
          label = ItemText(page, IDC_PARAMS_PATH_LABEL);
          path = ItemText(page, IDC_PARAMS_PATH);
          print = ItemText(page, IDC_PARAMS_PRINT_MOTORS);
          xShown = Visible(page, IDC_MOTOR_DIR_PORT);
          zShown = Visible(page, IDC_MOTOR_DIR_PORT + 2);
          spindleShown = Visible(page, IDC_MOTOR_STEP_PIN + 6);
          headingShown = Visible(page, IDC_HEAD_VELOCITY);
          velocity = ItemText(page, IDC_MOTOR_VELOCITY);
          group = ItemText(page, IDC_MOTOR_GROUP);
          spindleHomeNeg = ItemText(page, IDC_MOTOR_HOME_NEG + 6);
          spindleReversed = ItemText(page, IDC_MOTOR_REVERSED + 6);
          dirPulse = ItemText(page, IDC_PULSE_DIR);
          port2 = IsDlgButtonChecked(page, IDC_PORT2_INPUT);
          PauseForLooking(sheet);
          SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        },
        [&](HWND sheet) {
          HWND page = CurrentSheetPage(sheet);
          usedLabel = ItemText(page, IDC_PARAMS_PATH_LABEL);
          usedPrint = ItemText(page, IDC_PARAMS_PRINT_LIST);
          HWND list = GetDlgItem(page, IDC_PARAMS_USED_LIST);
          usedNames = Column(list, 0);
          ClickColumn(page, IDC_PARAMS_USED_LIST, 2);
          sortedByPin = Column(list, 0);
          PauseForLooking(sheet);
          RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);  // a repaint ends the sort
          afterRepaint = Column(list, 0);
          SendMessageW(sheet, PSM_SETCURSEL, 2, 0);
        },
        [&](HWND sheet) {
          HWND list = GetDlgItem(CurrentSheetPage(sheet), IDC_PARAMS_INPUT_LIST);
          inputRow = ListViewRow(list, 0, 6);
          for (int i = 0; i < 6; ++i) inputHeadings.push_back(ListViewHeading(list, i));
          SendMessageW(sheet, PSM_SETCURSEL, 4, 0);
        },
        [&](HWND sheet) {
          encoderRow = ListViewRow(GetDlgItem(CurrentSheetPage(sheet), IDC_PARAMS_ENCODER_LIST), 0, 6);
          CloseSheet(sheet);
        }});
  EXPECT_EQ(caption, L"Kestrelwood V3.02  Show parameters");
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"Motors / axis", L"Used pins", L"Input pins", L"Output pins",
                                               L"Encoder / MPG pins"}));
  EXPECT_EQ(label, L"Profile path filename");
  EXPECT_EQ(path, folder_.Path(L"Mill.xml"));
  EXPECT_EQ(print, L"Print");
  EXPECT_TRUE(xShown);
  EXPECT_FALSE(zShown);
  EXPECT_TRUE(spindleShown);
  EXPECT_TRUE(headingShown);
  EXPECT_EQ(group, L"Axis X");
  EXPECT_EQ(velocity, L"150");
  EXPECT_EQ(spindleHomeNeg, L"--");
  EXPECT_EQ(spindleReversed, L"0");
  EXPECT_EQ(dirPulse, L"2");
  EXPECT_EQ(port2, static_cast<UINT>(BST_CHECKED));

  EXPECT_EQ(usedLabel, L"Profile path-filename");
  EXPECT_EQ(usedPrint, L"Print");
  EXPECT_EQ(usedNames, (std::vector<std::wstring>{L"Axis X Dir", L"Axis X Step", L"Axis Y Dir", L"Axis Y Step",
                                                  L"Spindle Dir", L"Spindle Step", L"X++", L"Enable#1", L"MPG 1"}));
  // Port 1 pin 12 comes before port 2 pin 3.
  EXPECT_EQ(sortedByPin, (std::vector<std::wstring>{L"Axis X Step", L"Axis X Dir", L"X++", L"MPG 1", L"Spindle Dir",
                                                    L"Spindle Step", L"Enable#1", L"Axis Y Step", L"Axis Y Dir"}));
  EXPECT_EQ(afterRepaint, usedNames);
  EXPECT_EQ(inputRow, (std::vector<std::wstring>{L"X++", L"1", L"10", L"1", L"0", L"0"}));
  EXPECT_EQ(inputHeadings, (std::vector<std::wstring>{L"Pin name", L"Port number", L"Pin number", L"Low activ",
                                                      L"Emulated", L"Emul. key"}));
  EXPECT_EQ(encoderRow, (std::vector<std::wstring>{L"MPG 1", L"1", L"11", L"1", L"13", L"100"}));
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(ShowParamsSheetTest, TitlesInEveryLanguage) {
  struct Case {
    DWORD language;
    std::wstring caption, firstTitle, lastTitle, group, print;
  } cases[] = {
      {0, L"Kestrelwood V3.02  Parameter anzeigen", L"Motore / Achsen", L"Enkoder / Handrad Pins", L"Achse X",
       L"Drucken"},
      {1, L"Kestrelwood V3.02  Show parameters", L"Motors / axis", L"Encoder / MPG pins", L"Axis X", L"Print"},
      {2, L"Kestrelwood V3.02  Show parameters", L"Motors / axis", L"Encoder / MPG pins", L"Axis X", L"Print"},
  };
  for (const Case& c : cases) {
    StoreLanguage(c.language);
    std::wstring caption, group, print;
    std::vector<std::wstring> titles;
    Open({[&](HWND sheet) {
            caption = WindowText(sheet);
            titles = SheetTabTitles(sheet);
            HWND page = CurrentSheetPage(sheet);
            group = ItemText(page, IDC_MOTOR_GROUP);
            print = ItemText(page, IDC_PARAMS_PRINT_MOTORS);
            PauseForLooking(sheet);
            SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
          },
          [&](HWND sheet) {
            PauseForLooking(sheet);
            CloseSheet(sheet);
          }});
    EXPECT_EQ(caption, c.caption);
    ASSERT_EQ(titles.size(), 5u);
    EXPECT_EQ(titles[0], c.firstTitle);
    EXPECT_EQ(titles[4], c.lastTitle);
    EXPECT_EQ(group, c.group);
    EXPECT_EQ(print, c.print);
  }
}

TEST_F(ShowParamsSheetTest, MissingKeyAsksAndCancelStopsThePage) {
  ProfileKeys keys = MillKeys();
  std::erase_if(keys, [](const auto& key) { return key.first == "Motor0DirNeg" || key.first == "Vel1"; });
  folder_.Write(L"Mill.xml", ProfileXml(keys));
  messages.Answer(IDCANCEL);
  std::wstring yShown;
  Open({[&](HWND sheet) {
    yShown = ItemText(CurrentSheetPage(sheet), IDC_MOTOR_DIR_PORT + 1);
    CloseSheet(sheet);
  }});
  ASSERT_EQ(messages.Messages().size(), 1u);
  const RecordedMessage& message = messages.Messages()[0];
  EXPECT_EQ(message.text, L"Motor0DirNeg missing in profile  " + folder_.Path(L"Mill.xml"));
  EXPECT_EQ(message.caption, L"Kestrelwood Error");
  EXPECT_EQ(message.style, static_cast<UINT>(MB_ICONERROR | MB_OKCANCEL));
  EXPECT_EQ(yShown, L"");  // the page stopped before motor Y
}

TEST_F(ShowParamsSheetTest, NoStoredProfileAsksForOneAndCancelOpensNothing) {
  StoreSettingText(L"Filename check ports and pins2", L"");
  FakeDialogs dialogs;
  ShowParamsSheet(nullptr);
  EXPECT_EQ(dialogs.openCount, 1);
  EXPECT_EQ(dialogs.lastTitle, L"Profile file to open");

  dialogs.chosenPath = folder_.Path(L"Mill.xml");
  std::wstring path;
  Open({[&](HWND sheet) {
    path = ItemText(CurrentSheetPage(sheet), IDC_PARAMS_PATH);
    CloseSheet(sheet);
  }});
  EXPECT_EQ(path, folder_.Path(L"Mill.xml"));
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(ShowParamsSheetTest, BrowsingToAProfileWithoutMotorsSaysSo) {
  folder_.Write(L"Empty.xml", ProfileXml({{"Profile", "Empty"}, {"Motor0Active", "0"}}));
  FakeDialogs dialogs;
  dialogs.chosenPath = folder_.Path(L"Empty.xml");
  bool xShown = true;
  std::wstring path;
  int usedRows = -1;
  Open({[&](HWND sheet) {
          HWND page = CurrentSheetPage(sheet);
          ClickButton(page, IDC_PARAMS_BROWSE);
          xShown = Visible(page, IDC_MOTOR_DIR_PORT);
          path = ItemText(page, IDC_PARAMS_PATH);
          SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        },
        [&](HWND sheet) {
          usedRows = ListViewCount(GetDlgItem(CurrentSheetPage(sheet), IDC_PARAMS_USED_LIST));
          CloseSheet(sheet);
        }});
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"No assigned pins for motors found");
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_ICONERROR));
  EXPECT_FALSE(xShown);
  EXPECT_EQ(path, folder_.Path(L"Empty.xml"));
  EXPECT_EQ(usedRows, 0);
  wchar_t stored[300] = {};
  DWORD bytes = sizeof(stored);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, L"Filename check ports and pins2", RRF_RT_REG_SZ, nullptr, stored,
               &bytes);
  EXPECT_EQ(std::wstring(stored), folder_.Path(L"Empty.xml"));
}

}  // namespace
