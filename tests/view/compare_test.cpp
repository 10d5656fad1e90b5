// Compare profiles: the dialog driven by messages on small profiles.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"
#include "tests/view/view_test_helpers.h"
#include "view/portable/profile_export.h"
#include "view/portable/profile_search.h"
#include "view/view_dialogs.h"

namespace {

// ---------------------------------------------------------------- the dialog

// A listed row: segment, name, the value of file 1, the value of file 2.
using Row = std::vector<std::wstring>;

const COLORREF EqualText = RGB(1, 2, 3), EqualBack = RGB(4, 5, 6), UnequalText = RGB(7, 8, 9),
               UnequalBack = RGB(10, 11, 12), HitText = RGB(13, 14, 15), HitBack = RGB(16, 17, 18);

class CompareDialogTest : public ViewDialogTest {
 protected:
  void Open() {
    dialog_ = CreateTestDialog(IDD_COMPARE_PROFILES, CompareDialogProc);
    Settings.compareTextColorEqual = EqualText;
    Settings.compareBackColorEqual = EqualBack;
    Settings.compareTextColorUnequal = UnequalText;
    Settings.compareBackColorUnequal = UnequalBack;
    Settings.textColorSelected = HitText;
    Settings.selectColor = HitBack;
  }
  void Load(const std::wstring& path1, const std::wstring& path2) {
    SetDlgItemTextW(dialog_, IDC_COMPARE_PATH1, path1.c_str());
    SetDlgItemTextW(dialog_, IDC_COMPARE_PATH2, path2.c_str());
    Command(dialog_, IDC_LOAD_PROFILE);
  }
  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    for (int row = 0; row < ListViewCount(List()); ++row) rows.push_back(ListViewRow(List(), row, 4));
    return rows;
  }
};

const char* const File1 =
    "<profile><A><k1>1</k1><k2>2</k2><dup>a</dup><dup>b</dup><only1>x</only1><case>abc</case></A></profile>";
const char* const File2 =
    "<profile><A><k2>2</k2><k1>1</k1><dup>c</dup><dup>a</dup><case>ABC</case><only2>y</only2><none/></A>"
    "</profile>";

TEST_F(CompareDialogTest, PairsListsColoursAndFindsEveryRow) {
  Open();
  EXPECT_FALSE(Enabled(IDC_SET_FILTER));
  EXPECT_FALSE(Enabled(IDC_SEARCH_START));
  Load(Write(L"1.xml", File1), Write(L"2.xml", File2));
  const std::wstring A = L"profile / A";
  const std::vector<Row> expected = {
      {A, L"k1", L"1", L"1"},    {A, L"k2", L"2", L"2"},      {A, L"dup", L"a", L"c"}, {A, L"dup", L"b", L"a"},
      {A, L"only1", L"x", L""},  {A, L"case", L"abc", L"ABC"}, {A, L"only2", L"", L"y"}, {A, L"none", L"", L""},
  };
  EXPECT_EQ(Rows(), expected);
  EXPECT_EQ(ItemText(dialog_, IDC_COMPARE_COUNT1), L"6");
  EXPECT_EQ(ItemText(dialog_, IDC_COMPARE_COUNT2), L"7");
  EXPECT_TRUE(Enabled(IDC_SET_FILTER));
  EXPECT_TRUE(Enabled(IDC_SEARCH_START));
  EXPECT_EQ(ListViewColumnTitle(List(), 2), L"Value of file: " + folder_.Path(L"1.xml"));
  const bool equal[] = {true, true, false, false, false, false, false, true};
  for (int row = 0; row < 8; ++row) {
    for (int column = 0; column < 3; ++column) {
      const Drawn drawn = DrawCell(dialog_, row, column);
      EXPECT_EQ(drawn.answer, CDRF_NEWFONT);
      EXPECT_EQ(drawn.text, equal[row] ? EqualText : UnequalText) << row;
      EXPECT_EQ(drawn.back, equal[row] ? EqualBack : UnequalBack) << row;
    }
    EXPECT_EQ(DrawCell(dialog_, row, 3).answer, CDRF_DODEFAULT);
  }

  SetDlgItemTextW(dialog_, IDC_SEARCH_TEXT, L"DUP");
  Command(dialog_, IDC_SEARCH_START);
  EXPECT_EQ(Search.hits, (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(DrawCell(dialog_, 2, 1).back, HitBack);
  EXPECT_EQ(DrawCell(dialog_, 2, 1).text, HitText);
  EXPECT_EQ(DrawCell(dialog_, 4, 1).back, UnequalBack);
  SetDlgItemTextW(dialog_, IDC_SEARCH_TEXT, L"y");  // a value of file 2 only
  PressEnter(dialog_, IDC_SEARCH_TEXT);
  EXPECT_EQ(Search.hits, (std::vector<int32_t>{6}));

  // Enter in a path field loads once both paths are there; a Load clears the hits.
  const std::wstring path2 = ItemText(dialog_, IDC_COMPARE_PATH2);
  SetDlgItemTextW(dialog_, IDC_COMPARE_PATH2, L"");
  PressEnter(dialog_, IDC_COMPARE_PATH1);
  EXPECT_EQ(Search.hits, (std::vector<int32_t>{6}));
  SetDlgItemTextW(dialog_, IDC_COMPARE_PATH2, path2.c_str());
  PressEnter(dialog_, IDC_COMPARE_PATH2);
  EXPECT_TRUE(Search.hits.empty());
  EXPECT_EQ(ItemText(dialog_, IDC_SEARCH_COUNT), L"0");
  EXPECT_EQ(Rows(), expected);

  // The list keeps no texts of its own: it finds typed rows through the
  // dialog, and a failed Load empties it, so nothing reads released entries.
  LVFINDINFOW typed = {};
  typed.flags = LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP;
  const std::wstring path1 = ItemText(dialog_, IDC_COMPARE_PATH1);
  Load(path1, Write(L"3.xml", "<profile><B><k>1</k></B></profile>"));
  ASSERT_EQ(Rows().size(), 7u);
  typed.psz = L"PROFILE / b";
  EXPECT_EQ(ListView_FindItem(List(), 0, &typed), 6);
  typed.psz = L"x";
  EXPECT_EQ(ListView_FindItem(List(), -1, &typed), -1);
  Load(path1, L"");
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"Please specify file 2"});
  EXPECT_EQ(ListView_GetItemCount(List()), 0);
  SetDlgItemTextW(dialog_, IDC_SEARCH_TEXT, L"k*");
  Command(dialog_, IDC_SEARCH_START);
  EXPECT_TRUE(Search.hits.empty());
  EXPECT_FALSE(Enabled(IDC_COMPARE_NEXT_DIFFERENCE));
  Command(dialog_, IDC_COMPARE_NEXT_DIFFERENCE);
}

// "Different only" waits for the next Load; browsing stores the path, and
// editing a path disables the filter. Mode and path are remembered.
TEST_F(CompareDialogTest, TheModeAndBrowsedPathsAreRemembered) {
  Open();
  const std::wstring path1 = Write(L"1.xml", File1), path2 = Write(L"2.xml", File2);
  Load(path1, path2);
  ASSERT_EQ(Rows().size(), 8u);
  CheckDlgButton(dialog_, IDC_COMPARE_ALL, BST_UNCHECKED);
  CheckDlgButton(dialog_, IDC_COMPARE_DIFFERENT, BST_CHECKED);
  Command(dialog_, IDC_COMPARE_DIFFERENT);
  EXPECT_EQ(Settings.showDifferentOnly, 1u);
  EXPECT_EQ(Settings.showAll, 0u);
  EXPECT_EQ(Rows().size(), 8u);  // nothing changes until Load
  Command(dialog_, IDC_LOAD_PROFILE);
  // A side without a value is a difference, even where both texts are empty.
  EXPECT_EQ(ListViewColumn(List(), 1),
            (std::vector<std::wstring>{L"dup", L"dup", L"only1", L"case", L"only2", L"none"}));
  ASSERT_TRUE(Enabled(IDC_SET_FILTER));
  ScriptedDialogs dialogs;
  dialogs.OpenFileAnswer(path2);
  Command(dialog_, IDC_COMPARE_BROWSE1);
  EXPECT_EQ(std::wstring(dialogs.lastOpenFileRequest.lpstrTitle), L"File 1 to open");
  EXPECT_EQ(ItemText(dialog_, IDC_COMPARE_PATH1), path2);
  EXPECT_EQ(ListViewColumnTitle(List(), 2), L"");
  EXPECT_FALSE(Enabled(IDC_SET_FILTER));
  DestroyWindow(dialog_);

  Open();
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_COMPARE_DIFFERENT), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_COMPARE_ALL), BST_UNCHECKED);
  EXPECT_EQ(ItemText(dialog_, IDC_COMPARE_PATH1), path2);
}

// In the language in force when it opens: caption, columns and messages.
TEST_F(CompareDialogTest, TheSameFileTwiceAsksFirst) {
  StoreOnlyLanguage(German);
  Open();
  EXPECT_EQ(WindowText(dialog_), L"KestrelwoodV3.02 Vergleichen von Profil Dateien");
  EXPECT_EQ(ListViewColumnTitle(List(), 1), L"Bezeichnung");
  const std::wstring path = Write(L"1.xml", File1);
  messages.Answer(IDNO);
  Load(path, path);
  EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{{L"Gleich Dateinamen für Profile 1 und Profile 2. Fortfahren?",
                                                          L"Kestrelwood Warnung", MB_ICONWARNING | MB_YESNO}}));
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(ItemText(dialog_, IDC_COMPARE_COUNT1), L"0");

  messages.Answer(IDYES);
  Command(dialog_, IDC_LOAD_PROFILE);
  EXPECT_EQ(Rows().size(), 6u);
}

TEST_F(CompareDialogTest, TheFilterHidesSegmentsOnTopOfTheMode) {
  Open();
  Load(Write(L"1.xml", "<profile><A><k>1</k></A><B><k>1</k><m>2</m></B></profile>"),
       Write(L"2.xml", "<profile><A><k>2</k></A><B><k>1</k><m>3</m></B></profile>"));
  ASSERT_EQ(Rows().size(), 3u);
  Filter([](HWND filter) {
    ClickSegment(filter, 0, false);
    ClickButton(filter, IDOK);
  });
  EXPECT_EQ(Rows(), (std::vector<Row>{{L"profile / B", L"k", L"1", L"1"}, {L"profile / B", L"m", L"2", L"3"}}));
  EXPECT_TRUE(Enabled(IDC_COMPARE_NEXT_DIFFERENCE));
  Filter([](HWND filter) {
    ClickButton(filter, IDC_FILTER_DESELECT_ALL);
    ClickButton(filter, IDOK);
  });
  EXPECT_TRUE(Rows().empty());  // nothing to step through
  EXPECT_FALSE(Enabled(IDC_COMPARE_PREVIOUS_DIFFERENCE));
  EXPECT_FALSE(Enabled(IDC_COMPARE_NEXT_DIFFERENCE));
}

// "Colors" opens the colour dialog over the comparison.
TEST_F(CompareDialogTest, TheColoursItemOpensTheColourDialogAndExitAndCloseReleaseTheProfiles) {
  Open();
  std::wstring sample;
  DriveModal([&] { return SendMessageW(dialog_, WM_COMMAND, IDM_COMPARE_COLOURS, 0); },
             {[&](HWND colours) {
               sample = ItemText(colours, IDC_SAMPLE_EQUAL);
               ClickButton(colours, IDCANCEL);
             }});
  EXPECT_EQ(sample, L"sample text");
  EXPECT_EQ(DialogsSeen().size(), 1u);
  DestroyWindow(dialog_);
  for (int command : {IDM_COMPARE_EXIT, IDC_CLOSE_VIEW}) {
    Open();
    Load(Write(L"1.xml", File1), Write(L"2.xml", File2));
    ASSERT_GT(ProfileSlots[CompareResultSlot].Capacity(), 0u);
    Command(dialog_, command);
    for (const ProfileList& list : ProfileSlots) EXPECT_EQ(list.Capacity(), 0u);
    EXPECT_EQ(GetMenu(dialog_), nullptr);
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
}

// ------------------------------------------------ differences and export

const int Previous = IDC_COMPARE_PREVIOUS_DIFFERENCE, Next = IDC_COMPARE_NEXT_DIFFERENCE, Pick = 0;

TEST_F(CompareDialogTest, DifferenceButtonsStepFromTheSelectedRow) {
  const std::string file1 = "<profile><A><a>1</a><b>2</b><c>3</c><d>4</d><e>5</e></A></profile>";
  const struct {
    std::string file2;
    std::vector<std::pair<int, int>> steps;  // button (or Pick a row), row selected after
  } cases[] = {
      // differences at the start, in the middle and at the end
      {"<profile><A><a>x</a><b>2</b><c>x</c><d>4</d><e>x</e></A></profile>",
       {{Next, 0}, {Next, 2}, {Next, 4}, {Next, 4}, {Previous, 2}, {Previous, 0}, {Previous, 0}, {Pick, 3},
        {Previous, 2}, {Pick, 1}, {Next, 2}}},
      {file1, {{Next, -1}, {Previous, -1}, {Pick, 2}, {Next, 2}, {Previous, 2}}},
  };
  Open();
  EXPECT_FALSE(Enabled(Previous));
  EXPECT_FALSE(Enabled(Next));
  for (const auto& c : cases) {
    Load(Write(L"1.xml", file1), Write(L"2.xml", c.file2));
    ASSERT_EQ(Rows().size(), 5u);
    EXPECT_TRUE(Enabled(Previous));
    EXPECT_TRUE(Enabled(Next));
    int step = 0;
    for (const auto& [button, row] : c.steps) {
      if (button == Pick) {
        ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
        ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
      } else {
        Command(dialog_, button);
      }
      EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_SELECTED), row) << c.file2 << " step " << step++;
    }
  }
}

// Escaping is the formatters' business and the CSV form Show profile's test;
// here the listed rows go out as the page the file name chooses.
TEST_F(CompareDialogTest, ExportsTheListedRowsAsHtml) {
  Settings.showDifferentOnly = 1;
  StoreSettings({&Settings.showDifferentOnly});
  Open();
  ScriptedDialogs dialogs;
  EXPECT_TRUE(GetMenuState(GetMenu(dialog_), IDM_COMPARE_EXPORT, MF_BYCOMMAND) & MF_GRAYED);
  Command(dialog_, IDM_COMPARE_EXPORT);
  EXPECT_EQ(dialogs.saveFileCalls, 0);
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"Please load profile-file first"});
  messages.Clear();
  const std::wstring path1 = Write(L"1.xml", File1);
  Load(path1, Write(L"2.xml", File2));
  const std::vector<Row> listed = Rows();
  ASSERT_EQ(listed.size(), 6u);
  EXPECT_FALSE(GetMenuState(GetMenu(dialog_), IDM_COMPARE_EXPORT, MF_BYCOMMAND) & MF_GRAYED);

  dialogs.SaveFileAnswer(folder_.Path(L"e.html"), 1);
  Command(dialog_, IDM_COMPARE_EXPORT);
  EXPECT_EQ(std::wstring(dialogs.lastSaveFileRequest.lpstrTitle), SelectText(TextExportTitle));
  EXPECT_EQ(dialogs.offeredName, L"1 - 2");
  EXPECT_EQ(dialogs.offeredFolder, folder_.Path());
  const std::string html = ReadBytes(folder_.Path(L"e.html"));
  size_t at = html.find("<tbody>");  // the listed rows in their order, nothing needs escaping
  for (const Row& row : listed) {
    const std::wstring cells = L"<td>" + row[0] + L"</td><td>" + row[1] + L"</td><td>" + row[2] + L"</td><td>" + row[3];
    at = html.find(ToUtf8(cells + L"</td></tr>\n"), at);
    EXPECT_NE(at, std::string::npos) << ToUtf8(cells);
  }
  EXPECT_NE(html.find("Rows listed: 6 &middot; Differences: 5"), std::string::npos);
  EXPECT_NE(html.find(ToUtf8(path1)), std::string::npos);
  // "none" is listed (one side has no value) but its texts are equal: 5 differences.
  EXPECT_TRUE(messages.Messages().empty());

  // A file that cannot be replaced: said in the user's language with the
  // system's text, and the old file kept.
  SetFileAttributesW(folder_.Path(L"e.html").c_str(), FILE_ATTRIBUTE_READONLY);
  LanguageIndex = German;
  dialogs.SaveFileAnswer(folder_.Path(L"e.html"), 1);
  Command(dialog_, IDM_COMPARE_EXPORT);
  LanguageIndex = English;
  SetFileAttributesW(folder_.Path(L"e.html").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(folder_.Path(L"e.html")), html);
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{folder_.Path(L"e.html") +
                                                        L" konnte nicht geschrieben werden; eine vorhandene Datei "
                                                        L"dieses Namens ist unverändert.\r\n" +
                                                        SystemErrorText(ERROR_ACCESS_DENIED)});
}

void PressCtrlA(HWND dialog) {
  BYTE keys[256];
  GetKeyboardState(keys);
  const BYTE before = keys[VK_CONTROL];
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  NMLVKEYDOWN key = {};
  key.hdr.hwndFrom = GetDlgItem(dialog, IDC_PROFILE_LIST);
  key.hdr.idFrom = IDC_PROFILE_LIST;
  key.hdr.code = LVN_KEYDOWN;
  key.wVKey = 'A';
  SendMessageW(dialog, WM_NOTIFY, IDC_PROFILE_LIST, reinterpret_cast<LPARAM>(&key));
  keys[VK_CONTROL] = before;
  SetKeyboardState(keys);
}

// The old file as the status line names it; removed with its folder.
std::string TakeKeptCopy(HWND dialog) {
  wchar_t status[600] = {};
  GetDlgItemTextW(dialog, IDC_COMPARE_STATUS, status, 600);
  const std::wstring text = status;
  const std::wstring prefix = L"The old profile is kept as ";
  if (text.rfind(prefix, 0) != 0) return "no status: " + std::string(text.begin(), text.end());
  const std::wstring kept = text.substr(prefix.size());
  const std::string bytes = ReadBytes(kept);
  DeleteFileW(kept.c_str());
  RemoveDirectoryW(kept.substr(0, kept.rfind(L'\\')).c_str());
  return bytes;
}

// "Show only differences" and Ctrl+A choose every difference. A running
// Mach3, Cancel and a failed write leave the target as it was; copying
// changes only the chosen values, keeps the old file aside and leaves the
// two profiles equal.
TEST_F(CompareDialogTest, CopiesTheSelectedValuesIntoEitherProfile) {
  const std::string file1 =  // ANSI: a typed umlaut as one byte
      "<profile><A><k>1</k><u>Fr\xE4se</u><same>s</same><only1>x</only1></A><B><n>5</n></B></profile>";
  const std::string file2 = "<profile>\r\n<A><k>2</k><u>x</u><same>s</same><only2>y</only2></A>\r\n</profile>";
  Open();
  Command(dialog_, IDC_COMPARE_DIFFERENT);
  const std::wstring path1 = Write(L"1.xml", file1), path2 = Write(L"2.xml", file2);
  Load(path1, path2);
  ASSERT_EQ(Rows().size(), 5u);
  PressCtrlA(dialog_);
  {
    RunningProcess mach3(folder_.Path(), L"Mach3.exe");
    ASSERT_TRUE(mach3.Started());
    Command(dialog_, IDC_COMPARE_COPY_TO2);
  }
  messages.Answer(IDCANCEL);
  Command(dialog_, IDC_COMPARE_COPY_TO2);
  folder_.MakeFolder(L"2.xmlppp");  // the new file cannot be written
  Command(dialog_, IDC_COMPARE_COPY_TO2);
  ASSERT_EQ(messages.Messages().size(), 4u);
  EXPECT_EQ(messages.Messages()[0].text, L"Mach3 is currently running, please terminate Mach3");
  EXPECT_EQ(messages.Messages()[1].text, L"Copy the selected values into\r\n" + path2 +
                                             L"?\r\n\r\nValues changed: 2\r\nEntries added: 2\r\n\r\n"
                                             L"Nothing is removed.");
  EXPECT_EQ(messages.Messages()[3].caption, folder_.Path(L"2.xmlppp"));
  EXPECT_EQ(ReadBytes(path2), file2);
  EXPECT_EQ(TakeKeptCopy(dialog_).substr(0, 9), "no status");
  RemoveDirectoryW(folder_.Path(L"2.xmlppp").c_str());

  Command(dialog_, IDC_COMPARE_COPY_TO2);
  EXPECT_EQ(ReadBytes(path2),
            "<profile>\r\n<A><k>1</k><u>Fr\xC3\xA4se</u><same>s</same><only2>y</only2><only1>x</only1></A>\r\n"
            "<B><n>5</n></B></profile>");
  EXPECT_EQ(TakeKeptCopy(dialog_), file2);
  EXPECT_EQ(Rows(), (std::vector<Row>{{L"profile / A", L"only2", L"", L"y"}}));
  PressCtrlA(dialog_);
  Command(dialog_, IDC_COMPARE_COPY_TO1);
  EXPECT_EQ(ReadBytes(path1), "<profile><A><k>1</k><u>Fr\xE4se</u><same>s</same><only1>x</only1><only2>y</only2></A>"
                              "<B><n>5</n></B></profile>");
  EXPECT_EQ(TakeKeptCopy(dialog_), file1);
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(messages.Messages().size(), 6u);
}

}  // namespace
