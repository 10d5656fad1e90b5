// The Show params sheet on profiles written by the tests, driven as a user
// would: motor page, lists, sorting, missing keys and browsing; and its
// motor table and used-pins list printed on the real PDF printer, read back
// with pdftotext.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <regex>
#include <string>
#include <vector>

#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "pins/pin_print.h"
#include "pins/show_params_sheet.h"
#include "resources/resource.h"
#include "settings_view/settings_printing.h"
#include "tests/pins/pdf_printer.h"
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
// empty, the port-2 box unticked). Where Cancel stops the page is the page
// reader's test.
TEST_F(ShowParamsSheetTest, MissingKeysAreNamedInOneBox) {
  ProfileKeys keys = MillKeys();
  std::erase_if(keys, [](const auto& key) {
    return key.first == "Motor0DirNeg" || key.first == "Vel1" || key.first == "M1Rev" || key.first == "Port2Input";
  });
  folder_.Write(L"Mill.xml", ProfileXml(keys));
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
  EXPECT_EQ(yPort, L"2");
  EXPECT_EQ(yReversed, L"");
  EXPECT_EQ(port2, static_cast<UINT>(BST_UNCHECKED));
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
  EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{
                                  {L"No assigned pins for motors found", L"Kestrelwood Error", MB_ICONERROR}}));
  EXPECT_FALSE(xShown);
  EXPECT_EQ(path, folder_.Path(L"Empty.xml"));
  EXPECT_EQ(usedRows, 0);
  EXPECT_EQ(StoredSettingText(L"Filename check ports and pins2"), folder_.Path(L"Empty.xml"));
}

// After any browse every page and both printouts show the new profile; a
// profile that cannot be read leaves every page empty and nothing to print.
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

  dialogs.OpenFileAnswer(folder_.Path(L"Missing.xml"));
  bool xShown = true, printMotors = true, printList = true;
  int usedRows = -1;
  Open({[&](HWND sheet) { SendMessageW(sheet, PSM_SETCURSEL, 4, 0); },
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
}

// ---------------------------------------------------------------- Printing

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

// A used-pins page as the sheet makes it, with rows of our own, in a
// window standing in for the sheet.
HWND MakeUsedPinsPage(HWND sheet, const std::vector<std::vector<std::wstring>>& rows) {
  PROPSHEETPAGEW sheetPage = {};
  sheetPage.lParam = 1;  // the used-pins page
  HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PARAMS_USED), sheet,
                                 ShowParamsPageProc, reinterpret_cast<LPARAM>(&sheetPage));
  if (!page) return nullptr;
  HWND list = GetDlgItem(page, IDC_PARAMS_USED_LIST);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(r);
    item.pszText = const_cast<wchar_t*>(rows[r][0].c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int column = 1; column < 3; ++column) {
      item.iSubItem = column;
      item.pszText = const_cast<wchar_t*>(rows[r][column].c_str());
      SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  return page;
}

class PinPrintTest : public testing::Test {
 protected:
  void SetUp() override {
    printer_ = SpoolerDefaultPrinter();
    folder_ = PdfFolder();
    if (printer_.empty() || folder_.empty()) GTEST_SKIP() << "no printer: run tools/setup-printer.sh";
    LanguageIndex = English;
    CopyText(Settings.filenameCheckPorts, PathCapacity, L"C:\\Mach3\\PrintTest.xml");
  }
  // Prints with the page and button, returns the text of each printed page.
  std::vector<std::string> PrintAndRead(HWND page, int button, bool landscape = false) {
    ScriptedDialogs dialogs;
    dialogs.PrintAnswer(printer_, landscape);
    const std::set<std::wstring> before = PdfFiles(folder_);
    EXPECT_EQ(PrintPinTables(page, button), 1);
    EXPECT_EQ(dialogs.printFlags, static_cast<DWORD>(PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION |
                                                 PD_USEDEVMODECOPIESANDCOLLATE));
    EXPECT_EQ(dialogs.printCopies, 1);
    EXPECT_EQ(dialogs.presetOrientation, DMORIENT_PORTRAIT);
    const std::wstring pdf = WaitForNewPdf(folder_, before);
    if (pdf.empty()) {
      ADD_FAILURE() << "no PDF appeared in " << Narrow(folder_);
      return {};
    }
    std::vector<std::string> pages = PdfPageTexts(pdf);
    DeleteFileW(pdf.c_str());
    if (pages.empty()) ADD_FAILURE() << "pdftotext gave nothing";
    return pages;
  }
  std::wstring printer_, folder_;
  MessageRecorder messages;
};

const std::regex Footer(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d)");

void ExpectFrame(const std::string& page, int number) {
  EXPECT_NE(page.find("C:\\Mach3\\PrintTest.xml"), std::string::npos) << "header on page " << number;
  EXPECT_TRUE(std::regex_search(page, Footer)) << "footer on page " << number;
}

// Whether a line of the page (layout blanks around it aside) matches.
bool HasLine(const std::string& page, const std::string& line) {
  return std::regex_search(page, std::regex("(^|\n) *" + line + " *(\r?\n|$)"));
}

TEST_F(PinPrintTest, MotorTableHasHeadingsActiveAxesPulseBlockAndFooter) {
  PrintedMotorValues = {};
  PrintedMotorValues.rows[0] = {1, 1, 3, 0, 1, 2, 1, 0, 1, 2000.5, 150, 15};
  PrintedMotorValues.rows[3] = {1, 2, 9, 1, 2, 8, 0, 1, 0, 400, 1200, 2.25};
  PrintedMotorValues.dirPulse = 2;
  PrintedMotorValues.stepPulse = 5;
  PrintedMotorValues.port2Input = 1;
  const std::vector<std::string> pages = PrintAndRead(nullptr, IDC_PARAMS_PRINT_MOTORS);
  ASSERT_EQ(pages.size(), 1u);
  const std::string& page = pages[0];
  ExpectFrame(page, 1);
  EXPECT_TRUE(HasLine(page, R"(Name\s+Port\s+Pin\s+Low\s+Rev\.\s+Home Neg\s+Steps\s+Veloc\.\s+Accel\.)")) << page;
  EXPECT_TRUE(HasLine(page, "Axis X")) << page;
  EXPECT_TRUE(HasLine(page, R"(Dir\s+1\s+3\s+No\s+No\s+Yes\s+2000\.5000\s+150\s+15\.0000)")) << page;
  EXPECT_TRUE(HasLine(page, R"(Step\s+1\s+2\s+Yes)")) << page;
  EXPECT_TRUE(HasLine(page, "Axis A")) << page;
  EXPECT_TRUE(HasLine(page, R"(Dir\s+2\s+9\s+Yes\s+Yes\s+No\s+400\.0000\s+1200\s+2\.2500)")) << page;
  EXPECT_EQ(page.find("Axis Y"), std::string::npos) << page;
  EXPECT_TRUE(HasLine(page, R"(Pulse width\s+Use port2 pins 2-9 as input pins\s+Yes)")) << page;
  EXPECT_TRUE(HasLine(page, R"(Dir\s+2)")) << page;
  EXPECT_TRUE(HasLine(page, R"(Step\s+5)")) << page;
}

// At 96 and 192 DPI (list columns twice as wide) and in landscape every
// column lands on the paper, in its sorted order, over as many pages as needed.
TEST_F(PinPrintTest, LongSortedUsedPinsListGoesOnOverPagesInItsOrder) {
  std::vector<std::vector<std::wstring>> rows;
  for (int i = 0; i < 120; ++i) {
    rows.push_back({FormatText(L"Signal%03d", 119 - i), std::to_wstring(1 + i % 3), std::to_wstring(1 + i % 25)});
  }
  HWND sheet = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
  HWND page = MakeUsedPinsPage(sheet, rows);
  ASSERT_TRUE(page);
  // Sorted by name, as a click on the heading does: printed in that order.
  ClickColumn(page, IDC_PARAMS_USED_LIST, 0);
  size_t portraitPages = 0;
  for (const int dpi : {96, 192, 0 /* 96, landscape */}) {
    const int scale = dpi == 192 ? 2 : 1;
    for (int column = 0; column < 3; ++column) {
      SendDlgItemMessageW(page, IDC_PARAMS_USED_LIST, LVM_SETCOLUMNWIDTH, column, (column == 0 ? 150 : 100) * scale);
    }
    const std::vector<std::string> pages = PrintAndRead(page, IDC_PARAMS_PRINT_LIST, dpi == 0);
    ASSERT_GE(pages.size(), 2u);
    if (dpi == 96) portraitPages = pages.size();
    std::vector<std::string> printed;
    for (size_t p = 0; p < pages.size(); ++p) {
      ExpectFrame(pages[p], static_cast<int>(p + 1));
      EXPECT_TRUE(std::regex_search(pages[p], std::regex(R"(Pin name\s+Port number\s+Pin number)"))) << "page " << p + 1;
      const std::regex row(R"((Signal\d{3}) +(\d) +(\d+))");
      for (std::sregex_iterator it(pages[p].begin(), pages[p].end(), row), end; it != end; ++it) {
        printed.push_back((*it)[1]);
      }
    }
    ASSERT_EQ(printed.size(), rows.size()) << dpi;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(printed[i], Narrow(FormatText(L"Signal%03d", static_cast<int>(i)))) << i;
    }
    if (dpi == 0) {
      EXPECT_GT(pages.size(), portraitPages);  // landscape pages hold fewer rows
    }
  }
  DestroyWindow(sheet);
  EXPECT_EQ(PrintColumnPositions({300, 200, 200}, 100, 600), (std::vector<int>{100, 314, 457}));
}

TEST_F(PinPrintTest, CancelledPrintDialogPrintsNothing) {
  ScriptedDialogs dialogs;
  EXPECT_EQ(PrintPinTables(nullptr, IDC_PARAMS_PRINT_MOTORS), 0);
}

}  // namespace
