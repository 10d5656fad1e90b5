// The Show Settings dialog from end to end on a Mach3 folder the test
// writes: showing, refusals, print files written, read back and refused.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "metafile_recording.h"
#include "profile/portable/profile_list.h"
#include "resources/resource.h"
#include "settings_view/output_window.h"
#include "settings_view/portable/settings_values.h"
#include "settings_view/print_file_io.h"
#include "settings_view/renderer.h"
#include "settings_view/settings_load.h"
#include "settings_view/settings_printing.h"
#include "settings_view/show_settings_dialog.h"
#include "tests/pins/pdf_printer.h"
#include "tests/support/disk_full.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

// The profiles here are plain ASCII.
std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class ShowSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    root = folder.Path();
    profilePath = folder.Path(L"Mill.xml");
    printFile = folder.Path(L"settings.kws");
    WriteBytes(profilePath, Utf8(L"<profile><Preferences><DefDir>" + root +
                                 L"</DefDir><Profile>Mill</Profile><Units>1</Units><Port1Add>888</Port1Add>"
                                 L"<PathMode>1</PathMode><IGNORETOOL>1</IGNORETOOL><AutoTool>0</AutoTool>"
                                 L"<Input0Active>1</Input0Active><Input0Pin>10</Input0Pin><BackX>0.0125</BackX>"
                                 L"<PULLEY>0</PULLEY><LSPEED1>100</LSPEED1><SPINRATIO1>2.5e+000</SPINRATIO1>"
                                 L"</Preferences><PlugIns><SystemTest>1</SystemTest><Flash>1</Flash>"
                                 L"<Joystick>0</Joystick></PlugIns></profile>"));
    std::string fixtures(253 * 48, '\0');
    const double x = 1.5;
    std::memcpy(&fixtures[48], &x, 8);
    folder.Write(L"macros\\Mill\\fixtures.dat", fixtures + "\nVise\n");
    std::string tools;
    for (int i = 0; i < 254; ++i) {
      const std::string description = i == 2 ? "Spot drill" : "Empty";
      tools += static_cast<char>(description.size()) + description + std::string(66, '\0');
    }
    folder.Write(L"macros\\Mill\\tools3.dat", tools);
    DialogTable = BuildDialogTable();
    // The stored profile path, as after choosing it with "....".
    CopyText(Settings.filenameProfile1, PathCapacity, profilePath.c_str());
    StoreSettings({Settings.filenameProfile1});
    dialog = CreateTestDialog(IDD_SHOW_SETTINGS, ShowSettingsDialogProc);
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, profilePath.c_str());
    SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, printFile.c_str());
  }
  void TearDown() override {
    DestroySettingsOutputWindow();
    DestroyWindow(dialog);
    ReleaseAllProfiles();
    DeleteSettingsKey();
  }
  void Tick(std::initializer_list<int> dialogs) {
    ClickButton(dialog, IDC_SETTINGS_CLEAR_ALL);
    for (int i : dialogs) CheckDlgButton(dialog, IDC_SETTINGS_FIRST_DIALOG + i, BST_CHECKED);
  }
  std::wstring LastMessage() { return messages.Messages().empty() ? L"" : messages.Messages().back().text; }
  std::vector<std::vector<BYTE>> DrawNow(const SYSTEMTIME& time) {
    Render.headerTime = time;
    PrepareLayout(Render.validOnly);
    return RecordRaw([](HDC dc) { DrawSelectedDialogs(DrawingTarget{dc, nullptr}); });
  }

  TempFolder folder;
  std::wstring root, profilePath, printFile;
  HWND dialog = nullptr;
  MessageRecorder messages;
  ScriptedDialogs fileDialogs;
};

TEST_F(ShowSettingsTest, OpensWithValidOnlyTickedAndSetAllClearAllTickEveryDialog) {
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SETTINGS_VALID_ONLY), BST_CHECKED);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_SETTINGS_NEW_PAGE)));
  ClickButton(dialog, IDC_SETTINGS_SET_ALL);
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SETTINGS_FIRST_DIALOG + 19), BST_CHECKED);
  EXPECT_EQ(Render.mask, 0xFFFFFu);
  ClickButton(dialog, IDC_SETTINGS_CLEAR_ALL);
  EXPECT_EQ(Render.mask, 0u);
}

TEST_F(ShowSettingsTest, ShowLoadsTheProfileAndASecondShowIsRefusedWhileTheWindowIsOpen) {
  Tick({0, 9, 15, 16, 17, 18});
  ClickButton(dialog, IDC_SETTINGS_SHOW);
  ASSERT_NE(SettingsOutputWindow, nullptr);
  EXPECT_TRUE(messages.Messages().empty()) << LastMessage();
  // The window paints the pictures: the top edge of the first frame, 610 to 890.
  RedrawWindow(SettingsOutputWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(SettingsOutputWindow);
  int black = 0;
  for (int x = 600; x < 900; ++x) black += GetPixel(dc, x, 10) == RGB(0, 0, 0) ? 1 : 0;
  ReleaseDC(SettingsOutputWindow, dc);
  EXPECT_GT(black, 250);
  EXPECT_EQ(MachDir, root);
  EXPECT_EQ(ProfileName, L"Mill");
  EXPECT_EQ(std::wstring(DialogTable[1].rows[1].value.text), L"0x0378");
  EXPECT_EQ(FixtureTable[1].name, L"Vise");
  EXPECT_EQ(ToolTable[2].valid, 1);
  ASSERT_EQ(PluginList.size(), 2u);

  ClickButton(dialog, IDC_SETTINGS_SHOW);
  ASSERT_FALSE(messages.Messages().empty());
  EXPECT_EQ(LastMessage(), L"Please close output window first");
  EXPECT_EQ(messages.Messages().back().owner, dialog);
  EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));

  // The keyboard scrolls the pictures; Esc closes the window, as the menu's Close does.
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(ScrollPosition, GetScrollPos(SettingsOutputWindow, SB_VERT));
  EXPECT_GT(ScrollPosition, 0);
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_PRIOR, 0);
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(ScrollPosition, 0);
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(SettingsOutputWindow, nullptr);
  ASSERT_TRUE(CreateSettingsOutputWindow());
  SendMessageW(SettingsOutputWindow, WM_COMMAND, IDM_OUTPUT_CLOSE, 0);
  EXPECT_EQ(SettingsOutputWindow, nullptr);
}

TEST_F(ShowSettingsTest, ShowAsksFirstWhileMach3RunsAndNoStopsIt) {
  RunningProcess mach3(root, L"mach3.exe");
  ASSERT_TRUE(mach3.Started());
  Tick({0});
  messages.Answer(IDNO);
  ClickButton(dialog, IDC_SETTINGS_SHOW);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text.rfind(L"Mach3 seems to be running.", 0), 0u);
  EXPECT_EQ(SettingsOutputWindow, nullptr);
  EXPECT_EQ(DialogTable[0].rows[0].value.number, 0);  // nothing loaded
  messages.Answer(IDYES);
  ClickButton(dialog, IDC_SETTINGS_SHOW);
  EXPECT_NE(SettingsOutputWindow, nullptr);
  EXPECT_EQ(DialogTable[0].rows[0].value.number, 1);
}

TEST_F(ShowSettingsTest, PrintFileDrawsLikeTheProfile) {
  ClickButton(dialog, IDC_SETTINGS_SET_ALL);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_EQ(LastMessage(), L"Printdata successfully written into file");
  EXPECT_EQ(messages.Messages().back().caption, L"Kestrelwood Info");
  EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_TOPMOST | MB_ICONINFORMATION));
  // The same pictures from the profile and from the file.
  const SYSTEMTIME time = {2026, 12, 0, 6, 21, 45, 0, 0};
  Render.mask = 0xFFFFF;
  Render.validOnly = 1;
  Render.printing = 0;
  const auto fromProfile = DrawNow(time);
  DialogTable = BuildDialogTable();
  HANDLE file = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(OpenFileHandle(printFile.c_str(), GENERIC_READ, OPEN_EXISTING, &file));
  ASSERT_TRUE(ReadPrintFile(file));
  EXPECT_EQ(PrintFileMask, 0xFFFFFFFFu);
  const auto fromFile = DrawNow(time);
  ASSERT_EQ(fromFile.size(), fromProfile.size());
  for (size_t i = 0; i < fromFile.size(); ++i) {
    // Font records carry unused name bytes that differ between two fonts.
    const DWORD type = reinterpret_cast<const EMR*>(fromFile[i].data())->iType;
    if (type == EMR_EXTCREATEFONTINDIRECTW) continue;
    ASSERT_EQ(fromFile[i], fromProfile[i]) << "record " << i << " of type " << type;
  }
}

TEST_F(ShowSettingsTest, ShowFromFileDrawsOnlyDialogsInBothTheFileAndTheSelection) {
  ASSERT_TRUE(LoadSettingsValues());
  PrintFileWriteMask = (1u << 0) | (1u << 1);
  ASSERT_TRUE(WritePrintFile(printFile));
  PrintFileWriteMask = 0xFFFFFFFF;
  Tick({1, 2});
  ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
  EXPECT_TRUE(messages.Messages().empty()) << LastMessage();
  EXPECT_NE(SettingsOutputWindow, nullptr);
  EXPECT_EQ(Render.mask, 1u << 1);
}

struct Refusal {
  const char* what;
  size_t cutTo;        // 0: keep the size
  size_t patchAt;      // with patch
  unsigned char patch;
  const wchar_t* message;
};

TEST_F(ShowSettingsTest, RefusedPrintFilesChangeNothingOnScreen) {
  ClickButton(dialog, IDC_SETTINGS_SET_ALL);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  const std::string good = ReadBytes(printFile);
  const Refusal refusals[] = {
      {"version 2", 0, 202, 2, L"Print profile versions different !"},
      {"foreign mark", 0, 0, 'X', L"This is no Kestrelwood generated printfile"},
      {"cut in the header", 500, 0, 'K', L"Print file is damaged or incomplete"},
  };
  Tick({0});
  for (const Refusal& r : refusals) {
    std::string bad = good;
    if (r.cutTo) bad.resize(r.cutTo);
    bad[r.patchAt] = r.patch;
    WriteBytes(printFile, bad);
    DialogTable[0].rows[0].value.number = 55;
    messages.Clear();
    ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
    EXPECT_EQ(LastMessage(), r.message) << r.what;
    EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_TOPMOST | MB_ICONERROR)) << r.what;
    EXPECT_EQ(DialogTable[0].rows[0].value.number, 55) << r.what;
    EXPECT_EQ(SettingsOutputWindow, nullptr) << r.what;
  }
}

// Printed for real on the CUPS PDF printer (tools/setup-printer.sh) and read
// back: every page starts with the header of the dialog at its top.
TEST_F(ShowSettingsTest, PrintFromFilePrintsEveryDialogAndClosesTheOutputWindow) {
  const std::wstring pdfs = PdfFolder();
  if (SpoolerDefaultPrinter().empty() || pdfs.empty()) GTEST_SKIP() << "no default printer";
  const wchar_t* const prefix = L"Kestrelwood_Settings_Brannoc";
  ClickButton(dialog, IDC_SETTINGS_SET_ALL);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  messages.Clear();
  const auto before = PdfFiles(pdfs, prefix);
  ClickButton(dialog, IDC_SETTINGS_PRINT_FROM_FILE);
  EXPECT_TRUE(messages.Messages().empty()) << LastMessage();
  EXPECT_EQ(SettingsOutputWindow, nullptr);
  EXPECT_EQ(Render.mask, 0xFFFFFu);
  const std::vector<std::string> pages = PdfPageTexts(WaitForNewPdf(pdfs, before, 60000, prefix));
  ASSERT_EQ(static_cast<int>(pages.size()), LastPrintedPageCount());
  ASSERT_GE(pages.size(), 3u);
  std::string all;
  for (const std::string& page : pages) {
    const size_t start = page.find_first_not_of(" \r\n");
    ASSERT_NE(start, std::string::npos);
    EXPECT_NE(page.substr(start, page.find('\n', start) - start).find("\\Mill "), std::string::npos) << page;
    all += page;
  }
  for (const char* title : {"Set native units ", "Motor Tuning ", "Tool Table ", "Save Z Setup ", "Vise", "Spot drill"}) {
    EXPECT_NE(all.find(title), std::string::npos) << title;
  }
}

bool TemporaryFilesIn(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\~kw*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

// An old file is replaced only when the user agrees. One that cannot be
// replaced and one that fails midway: each ends with its message, the old
// file as it was and no temporary file. (The other faults are those of every
// file written in place, tried once there.)
TEST_F(ShowSettingsTest, PrintToFileFailuresKeepTheOldFile) {
  const struct {
    const char* what;
    bool locked;
    DWORD error;
    std::wstring caption;
  } cases[] = {
      {"file held by another program", true, ERROR_SHARING_VIOLATION, L"CreateFile:   " + printFile},
      {"disk full midway over an old file", false, ERROR_DISK_FULL, L"Kestrelwood Error"},
  };
  // Answered no, the old file is left alone; answered yes, it is replaced.
  WriteBytes(printFile, "\x01\x02\x03");
  messages.Answer(IDNO);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(LastMessage(), L"File exists. Overwrite?");
  EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_YESNO | MB_TOPMOST | MB_ICONERROR));
  EXPECT_EQ(ReadBytes(printFile), "\x01\x02\x03");
  messages.Answer(IDYES);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_GT(ReadBytes(printFile).size(), 750u);
  for (const auto& c : cases) {
    WriteBytes(printFile, "\x01\x02\x03");
    UniqueFile lock(c.locked ? CreateFileW(printFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE);
    messages.Clear();
    messages.Answer(IDYES);
    {
      DiskFull disk(c.locked ? static_cast<size_t>(-1) : 1000);
      ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
    }
    lock.reset();
    ASSERT_EQ(messages.Messages().size(), 2u) << c.what;
    EXPECT_EQ(messages.Messages().back().text, SystemErrorText(c.error)) << c.what;
    EXPECT_EQ(messages.Messages().back().caption, c.caption) << c.what;
    EXPECT_EQ(ReadBytes(printFile), "\x01\x02\x03") << c.what;
    EXPECT_FALSE(TemporaryFilesIn(root)) << c.what;
  }
}

// Print to file takes the profile the field shows and stores it; with an
// empty field and none stored it asks for one.
TEST_F(ShowSettingsTest, PrintToFileTakesTheProfileOfTheField) {
  Settings.filenameProfile1[0] = L'\0';
  StoreSettings({Settings.filenameProfile1});
  SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, L"");
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);  // cancelled
  EXPECT_EQ(fileDialogs.openFileCalls, 1);
  EXPECT_EQ(std::wstring(fileDialogs.lastOpenFileRequest.lpstrTitle), L"Profile file to open");
  EXPECT_EQ(std::wstring(fileDialogs.lastOpenFileRequest.lpstrFilter), L"*.xml");
  EXPECT_EQ(GetFileAttributesW(printFile.c_str()), INVALID_FILE_ATTRIBUTES);

  const std::wstring lathe = folder.Path(L"Lathe.xml");
  WriteBytes(lathe, Utf8(L"<profile><Preferences><DefDir>" + root + L"</DefDir><Profile>Lathe</Profile>"
                         L"</Preferences></profile>"));
  SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, lathe.c_str());
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_EQ(fileDialogs.openFileCalls, 1);
  EXPECT_EQ(LastMessage(), L"Printdata successfully written into file");
  EXPECT_EQ(ProfileName, L"Lathe");
  wchar_t stored[PathCapacity] = {};
  DWORD size = sizeof(stored);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, L"Filename profile 1", RRF_RT_REG_SZ, nullptr, stored, &size);
  EXPECT_EQ(std::wstring(stored), lathe);
}

TEST_F(ShowSettingsTest, ShowWithoutDialogsPathOrFileIsRefused) {
  Tick({});
  ClickButton(dialog, IDC_SETTINGS_SHOW);
  EXPECT_EQ(LastMessage(), L"No data selected");
  EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_TOPMOST | MB_TASKMODAL | MB_ICONERROR));
  EXPECT_EQ(SettingsOutputWindow, nullptr);
  Tick({0});
  SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, L"");
  ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
  EXPECT_EQ(LastMessage(), L"No Print-file path specified");
  SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, (root + L"\\missing.kws").c_str());
  ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
  EXPECT_EQ(LastMessage(), L"Print File not found");
}

// A missing or empty DefDir or Profile keeps the folder and name before.
TEST_F(ShowSettingsTest, AProfileWithoutDefDirKeepsThePreviousFolder) {
  ASSERT_TRUE(LoadSettingsValues());
  for (const std::wstring& preferences :
       {std::wstring(L"<Units>0</Units>"), std::wstring(L"<DefDir></DefDir><Profile>Lathe</Profile>"),
        L"<DefDir>" + root + L"</DefDir><Profile></Profile>"}) {
    WriteBytes(profilePath, Utf8(L"<profile><Preferences>" + preferences + L"</Preferences></profile>"));
    FixtureTable[1].name = L"changed";
    ASSERT_TRUE(LoadSettingsValues());
    EXPECT_EQ(MachDir, root);
    EXPECT_EQ(ProfileName, L"Mill");
    EXPECT_EQ(FixtureTable[1].name, L"Vise");  // read again from the same folder
  }
}

}  // namespace
