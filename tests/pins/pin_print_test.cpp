// Printing the motor table and the used-pins list on the real PDF printer,
// read back with pdftotext.
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
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_support.h"

namespace {

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

TEST(PrintLayoutTest, RowsHeadersAndFooterFitThePage) {
  for (int lineHeight : {8, 10, 12, 20}) {
    for (int pageHeight : {500, 848, 1200}) {
      const PrintLayout layout = PrintLayoutFor(pageHeight, lineHeight);
      const int L = layout.lineHeight;
      const int footer = (layout.pageLines + 3) * L + 5;
      const int lastRowBottom = 7 * L + 20 + layout.rowsPerPage * L;
      EXPECT_LE(footer + L, pageHeight) << lineHeight << "/" << pageHeight;
      EXPECT_LE(lastRowBottom, footer) << lineHeight << "/" << pageHeight;
      EXPECT_LE(layout.pageLines * L + 5, footer);  // the motor pulse block ends above the footer
    }
  }
}

}  // namespace
