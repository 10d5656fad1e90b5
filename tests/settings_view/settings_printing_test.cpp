// Printing the dialog pictures for real on the spooler's default printer
// (the CUPS PDF printer on a test machine). Skipped when there is none.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings_view/dialog_table.h"
#include "settings_view/output_window.h"
#include "settings_view/renderer.h"
#include "settings_view/settings_printing.h"
#include "settings_view/settings_values.h"
#include "tests/support/test_support.h"

namespace {

// cups-pdf writes into ~/PDF of the Linux user unless KW_PDF_DIR (a Windows
// path) names another folder. Wine hides HOME, so the home is derived.
std::wstring PdfFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KW_PDF_DIR", folder, MAX_PATH)) return folder;
  wchar_t user[MAX_PATH] = {};
  GetEnvironmentVariableW(L"USERNAME", user, MAX_PATH);
  if (std::wstring(user) == L"root") return L"Z:\\root\\PDF";
  return std::wstring(L"Z:\\home\\") + user + L"\\PDF";
}

int CountPdfs(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*.pdf").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do ++count;
  while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

TEST(SettingsPrintingTest, AllTwentyDialogsPrintOnThePdfPrinter) {
  const std::wstring printer = DefaultPrinterName();
  if (printer.empty()) GTEST_SKIP() << "no default printer (tools/setup-printer.sh sets up the CUPS PDF printer)";
  MessageRecorder messages;
  DialogTable = BuildDialogTable();
  CreateRenderObjects();
  MachDir = L"C:\\Mach3";
  ProfileName = L"Printed";
  DialogTable[0].rows[0].value.number = 1;
  SetValueText(DialogTable[14].rows[1], L"0.0125");
  for (int i = 0; i < FixtureCount; ++i) {
    FixtureTable[i].empty = 0;
    FixtureTable[i].coords[0] = std::to_wstring(i) + L".5000";
    FixtureTable[i].name = L"Fixture " + std::to_wstring(i);
  }
  MarkToolsInvalid();
  ClearPlugins();
  ASSERT_TRUE(CreateSettingsOutputWindow());
  Render = RenderState{};
  GetLocalTime(&Render.headerTime);
  Render.mask = (1u << SettingsDialogCount) - 1;
  Render.printing = 1;
  Render.validOnly = 1;
  PrepareLayout(true);
  const std::wstring folder = PdfFolder();
  const int before = CountPdfs(folder);
  ASSERT_TRUE(PrintSelectedDialogs(printer));
  DestroySettingsOutputWindow();
  EXPECT_TRUE(messages.Messages().empty()) << (messages.Messages().empty() ? L"" : messages.Messages()[0].text);
  // The fixture table alone needs several pages.
  EXPECT_GE(LastPrintedPageCount(), 6);
  // cups-pdf writes the file a few seconds after the job ends.
  bool written = false;
  for (int waited = 0; waited < 60 && !written; ++waited) {
    written = CountPdfs(folder) > before;
    if (!written) Sleep(1000);
  }
  EXPECT_TRUE(written) << "no new PDF in " << testing::PrintToString(folder);
}

}  // namespace
