// Printing the dialog pictures for real on the spooler's default printer
// (the CUPS PDF printer of tools/setup-printer.sh), read back with
// pdftotext. Skipped when there is no printer.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <regex>
#include <string>

#include "settings_view/output_window.h"
#include "settings_view/portable/dialog_table.h"
#include "settings_view/portable/settings_values.h"
#include "settings_view/renderer.h"
#include "settings_view/settings_printing.h"
#include "tests/pins/pdf_printer.h"
#include "tests/support/test_support.h"

namespace {

const wchar_t* const SettingsPdfPrefix = L"Kestrelwood_Settings_Brannoc";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The first line of a page with text on it.
std::string FirstLine(const std::string& page) {
  const size_t start = page.find_first_not_of(" \r\n");
  if (start == std::string::npos) return std::string();
  return page.substr(start, page.find('\n', start) - start);
}

TEST(SettingsPrintingTest, AllTwentyDialogsPrintWithHeadersAndPagedTables) {
  const std::wstring printer = SpoolerDefaultPrinter();
  if (printer.empty()) GTEST_SKIP() << "no default printer (tools/setup-printer.sh sets up the CUPS PDF printer)";
  const std::wstring folder = PdfFolder();
  ASSERT_FALSE(folder.empty());
  MessageRecorder messages;
  DialogTable = BuildDialogTable();
  CreateRenderObjects();
  MachDir = L"C:\\Mach3";
  ProfileName = L"Printed";
  SetValueText(DialogTable[1].rows[1], L"0x0378");
  for (int i = 0; i < FixtureCount; ++i) {
    FixtureTable[i].empty = 0;
    for (std::wstring& coord : FixtureTable[i].coords) coord = L"0.0000";
    FixtureTable[i].coords[0] = std::to_wstring(i) + L".5000";
    FixtureTable[i].name = L"Fixture" + std::to_wstring(i);
  }
  for (int i = 0; i < ToolCount; ++i) {
    ToolTable[i].valid = 1;
    SetFieldText(ToolTable[i].description, ToolDescriptionCapacity, (L"Drill" + std::to_wstring(i)).c_str());
  }
  ClearPlugins();
  ASSERT_TRUE(CreateSettingsOutputWindow());
  Render = RenderState{};
  GetLocalTime(&Render.headerTime);
  Render.mask = (1u << SettingsDialogCount) - 1;
  Render.printing = 1;
  Render.validOnly = 1;
  PrepareLayout(true);
  const auto before = PdfFiles(folder, SettingsPdfPrefix);
  ASSERT_TRUE(PrintSelectedDialogs(printer));
  DestroySettingsOutputWindow();
  EXPECT_TRUE(messages.Messages().empty());
  const std::wstring pdf = WaitForNewPdf(folder, before, 60000, SettingsPdfPrefix);
  ASSERT_FALSE(pdf.empty()) << "no new PDF in the cups-pdf folder";
  const std::vector<std::string> pages = PdfPageTexts(pdf);
  ASSERT_EQ(static_cast<int>(pages.size()), LastPrintedPageCount());
  ASSERT_GE(pages.size(), 5u);

  // Every page starts with the header of the dialog drawn at its top.
  for (size_t p = 0; p < pages.size(); ++p) {
    EXPECT_TRUE(Contains(FirstLine(pages[p]), "C:\\Mach3\\Printed")) << "page " << p + 1 << ": " << FirstLine(pages[p]);
  }
  EXPECT_TRUE(Contains(FirstLine(pages[0]), "Set native units"));
  EXPECT_TRUE(Contains(pages[0], "0x0378"));
  // All twenty titles appear, each once in a header of its own.
  for (int d = 0; d < SettingsDialogCount; ++d) {
    std::string title;
    for (wchar_t c : DialogTable[d].title) title += static_cast<char>(c);
    bool found = false;
    for (const std::string& page : pages) found = found || Contains(page, title + " ");
    EXPECT_TRUE(found) << title;
  }
  // No fixture or tool is lost at a page break or printed twice.
  std::map<std::string, int> lines;
  const std::regex line(R"(\b(Fixture|Drill)\d+\b)");
  for (const std::string& page : pages) {
    for (std::sregex_iterator it(page.begin(), page.end(), line), end; it != end; ++it) ++lines[it->str()];
  }
  EXPECT_EQ(lines.size(), static_cast<size_t>(FixtureCount + ToolCount));
  for (const auto& [text, count] : lines) EXPECT_EQ(count, 1) << text;
}

}  // namespace
