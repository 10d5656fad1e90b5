// The Show profile dialog and its filter dialog, driven by messages as a
// user would drive them, on generated profiles.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "profile/portable/profile_list.h"
#include "resources/resource.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"
#include "tests/view/view_test_helpers.h"
#include "view/list_view_search.h"
#include "view/portable/profile_export.h"
#include "view/portable/profile_search.h"
#include "view/view_dialogs.h"

namespace {

class ShowProfileTest : public ViewDialogTest {
 protected:
  HWND Open() {
    dialog_ = CreateTestDialog(IDD_SHOW_PROFILE, ShowProfileDialogProc);
    return dialog_;
  }
  void Load(const std::wstring& path) {
    SetDlgItemTextW(dialog_, IDC_SHOW_PATH, path.c_str());
    Command(dialog_, IDC_LOAD_PROFILE);
  }
  void Find(const wchar_t* text, bool caseSensitive = false) {
    SetDlgItemTextW(dialog_, IDC_SEARCH_TEXT, text);
    CheckDlgButton(dialog_, IDC_SEARCH_CASE, caseSensitive ? BST_CHECKED : BST_UNCHECKED);
    Command(dialog_, IDC_SEARCH_START);
  }
  int Rows() const { return ListView_GetItemCount(List()); }
  int TopRowAfter(int id) {
    Command(dialog_, id);
    return Search.hits.empty() ? -1 : Search.hits[Search.currentHit];
  }
};

const char* const SmallProfile =
    "<profile><Preferences><Port1Add>888</Port1Add><Port2Add>632</Port2Add><Motor1DirPin>3</Motor1DirPin>"
    "<Pin>1</Pin><Empty/></Preferences><Mach3Mill><Port1>x</Port1></Mach3Mill>"
    "<Preferences><Port12>y</Port12></Preferences></profile>";

TEST_F(ShowProfileTest, BrowsingListsEveryEntryAndTheFileIsRemembered) {
  const std::wstring path = Write(L"profile.xml", SmallProfile);
  ScriptedDialogs dialogs;
  dialogs.OpenFileAnswer(path);
  Open();
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_PATH), L"");
  Command(dialog_, IDC_SHOW_BROWSE);
  EXPECT_EQ(std::wstring(dialogs.lastOpenFileRequest.lpstrTitle), L"Profile file to open");
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_PATH), path);
  ASSERT_EQ(Rows(), 7);
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_ROWS), L"7");
  EXPECT_EQ(ListViewRow(List(), 0, 3), (std::vector<std::wstring>{L"profile / Preferences / ", L"Port1Add", L"888"}));
  EXPECT_EQ(ListViewText(List(), 4, 1), L"Empty");
  EXPECT_EQ(ListViewText(List(), 5, 0), L"profile / Mach3Mill / ");
  Command(dialog_, IDC_SHOW_BROWSE);  // cancelled: nothing changes
  EXPECT_EQ(Rows(), 7);
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_ROWS), L"7");
  EXPECT_TRUE(messages.Messages().empty());
  DestroyWindow(dialog_);

  Open();  // the next opening starts from the stored file
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_PATH), path);
  EXPECT_EQ(Rows(), 0);
  Load(Write(L"empty.xml", "<profile><A> </A></profile>"));  // no text: an empty list
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_ROWS), L"0");
}

// Each view refuses what it cannot do with one error box, in the language it
// opened in; the first case also checks the German caption and a column.
TEST_F(ViewDialogTest, BothViewsReportMissingInput) {
  const std::wstring path = Write(L"1.xml", "<profile><A>1</A></profile>"), missing = folder_.Path(L"no.xml");
  const struct {
    int templateId;
    DLGPROC procedure;
    std::wstring path1, path2;  // the second only in Compare
    int command;
    std::wstring message;
    UINT style;
  } cases[] = {
      {IDD_SHOW_PROFILE, ShowProfileDialogProc, L"", L"", IDC_LOAD_PROFILE, L"Bitte Datei  angeben", MB_ICONERROR},
      {IDD_SHOW_PROFILE, ShowProfileDialogProc, missing, L"", IDC_LOAD_PROFILE, missing + L" File not found", MB_ICONERROR},
      {IDD_SHOW_PROFILE, ShowProfileDialogProc, L"", L"", IDC_SET_FILTER, L"Please load profile-file first",
       MB_ICONERROR | MB_TASKMODAL},
      {IDD_SHOW_PROFILE, ShowProfileDialogProc, L"", L"", IDC_SEARCH_START, L"No search value specified",
       MB_ICONERROR | MB_TASKMODAL},
      {IDD_COMPARE_PROFILES, CompareDialogProc, L"", path, IDC_LOAD_PROFILE, L"Please specify file 1", MB_ICONERROR},
      {IDD_COMPARE_PROFILES, CompareDialogProc, path, missing, IDC_LOAD_PROFILE, missing + L" File not found",
       MB_ICONERROR},
      {IDD_COMPARE_PROFILES, CompareDialogProc, path, path, IDC_SET_FILTER, L"Please load profile-file first",
       MB_ICONERROR | MB_TASKMODAL},
  };
  for (const auto& c : cases) {
    StoreOnlyLanguage(&c == cases ? German : English);
    messages.Clear();
    dialog_ = CreateTestDialog(c.templateId, c.procedure);
    const bool compare = c.templateId == IDD_COMPARE_PROFILES;
    SetDlgItemTextW(dialog_, compare ? IDC_COMPARE_PATH1 : IDC_SHOW_PATH, c.path1.c_str());
    if (compare) SetDlgItemTextW(dialog_, IDC_COMPARE_PATH2, c.path2.c_str());
    Command(dialog_, c.command);
    EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{{c.message, SelectText(CaptionError), c.style}}));
    if (&c == cases) {
      EXPECT_EQ(WindowText(dialog_), L"KestrelwoodV3.02 Profile anzeigen");
      EXPECT_EQ(ListViewColumnTitle(List(), 2), L"Wert");
    }
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
}

TEST_F(ShowProfileTest, SearchesNavigatesColoursHitsAndActivatesRows) {
  Open();
  Load(Write(L"profile.xml", SmallProfile));
  struct Case {
    const wchar_t* text;
    bool caseSensitive;
    std::vector<int32_t> hits;
    const wchar_t* shown;
  } cases[] = {
      {L"port1add", false, {0}, L"port1add"},      // folded
      {L"port1add", true, {}, L"port1add"},        // not when case sensitive
      {L"*Pin", false, {2, 3}, L"*Pin"},           // Motor1DirPin and Pin
      {L"*Mach3**", false, {5}, L"*Mach3*"},       // the segment column, shown normalised
  };
  for (const Case& c : cases) {
    Find(c.text, c.caseSensitive);
    EXPECT_EQ(Search.hits, c.hits) << c.text;
    EXPECT_EQ(ItemText(dialog_, IDC_SEARCH_TEXT), c.shown);
    EXPECT_EQ(ItemText(dialog_, IDC_SEARCH_COUNT), std::to_wstring(c.hits.size()));
    const bool navigable = c.hits.size() > 1;
    for (int id : {IDC_SEARCH_FIRST, IDC_SEARCH_NEXT, IDC_SEARCH_LAST}) EXPECT_EQ(Enabled(id), navigable) << c.text;
  }

  Find(L"*Pin");
  EXPECT_EQ(TopRowAfter(IDC_SEARCH_NEXT), 3);
  EXPECT_EQ(TopRowAfter(IDC_SEARCH_NEXT), 3);  // stays at the last hit
  EXPECT_EQ(TopRowAfter(IDC_SEARCH_FIRST), 2);
  EXPECT_EQ(TopRowAfter(IDC_SEARCH_LAST), 3);

  Settings.selectColor = RGB(0, 0, 200);
  Settings.textColorSelected = RGB(255, 255, 0);
  EXPECT_EQ(DrawCell(dialog_, 0, 0, CDDS_PREPAINT).answer, CDRF_NOTIFYITEMDRAW);
  EXPECT_EQ(DrawCell(dialog_, 1, 0, CDDS_ITEMPREPAINT).answer, CDRF_DODEFAULT);  // the list's own colours
  for (int column = -1; column < 3; ++column) {  // -1: the whole row at once
    const Drawn hit = column < 0 ? DrawCell(dialog_, 2, 0, CDDS_ITEMPREPAINT) : DrawCell(dialog_, 2, column);
    EXPECT_EQ(hit.answer, CDRF_NEWFONT);
    EXPECT_EQ(hit.text, RGB(255, 255, 0));
    EXPECT_EQ(hit.back, RGB(0, 0, 200));
    if (column < 0) continue;
    const Drawn plain = DrawCell(dialog_, 1, column);
    EXPECT_EQ(plain.text, CLR_DEFAULT);
    EXPECT_EQ(plain.back, CLR_DEFAULT);
  }

  // Activating a row shows its index; Close releases the profile.
  NMITEMACTIVATE activate = {};
  activate.hdr = {List(), IDC_PROFILE_LIST, static_cast<UINT>(LVN_ITEMACTIVATE)};
  activate.iItem = 2;
  SendMessageW(dialog_, WM_NOTIFY, IDC_PROFILE_LIST, reinterpret_cast<LPARAM>(&activate));
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_ROWS), L"2");
  ASSERT_GT(ProfileSlots[FirstProfileSlot].Capacity(), 0u);
  Command(dialog_, IDC_CLOSE_VIEW);
  EXPECT_EQ(ProfileSlots[FirstProfileSlot].Capacity(), 0u);
}

// Showing a hit takes one scroll, to where scrolling 1000 pixels down and
// then making the row visible would leave the list; shown, the list is
// hidden while it scrolls and must come back.
TEST_F(ShowProfileTest, ShowingAHitLeavesTheListWhereTheTwoScrollsWould) {
  std::string text = "<profile><Preferences>";
  for (int i = 0; i < 300; ++i) text += "<Key" + std::to_string(i) + ">v</Key" + std::to_string(i) + ">";
  ShowWindow(Open(), SW_SHOWNOACTIVATE);
  Load(Write(L"profile.xml", text + "</Preferences></profile>"));
  HWND list = List();
  const auto startAt = [list](int top) {
    ListView_EnsureVisible(list, 0, FALSE);
    RECT item;
    ListView_GetItemRect(list, 0, &item, LVIR_BOUNDS);
    ListView_Scroll(list, 0, top * (item.bottom - item.top));
    return ListView_GetTopIndex(list);
  };
  for (int top : {0, 40, 150, 299}) {
    for (int row : {0, 3, 39, 41, 80, 120, 200, 299}) {
      const int start = startAt(top);
      ListView_Scroll(list, 0, 1000);
      ListView_EnsureVisible(list, row, FALSE);
      const int expected = ListView_GetTopIndex(list);
      ASSERT_EQ(startAt(top), start);
      ShowListRow(list, row);
      EXPECT_EQ(ListView_GetTopIndex(list), expected) << "from " << start << " to row " << row;
      ASSERT_TRUE(IsWindowVisible(list));
    }
  }
}

// The scroll bar is redrawn when, and only when, its thumb moves: a thumb
// left behind would show the wrong place, a needless redraw costs as much
// as the rows.
int FramesPainted = 0;

LRESULT CALLBACK CountFramesPainted(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NCPAINT) ++FramesPainted;
  return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(ShowProfileTest, ShowingAHitRedrawsTheScrollBarWhenItsThumbMoves) {
  struct Case {
    int entries, row;
  };
  ShowWindow(Open(), SW_SHOWNOACTIVATE);
  HWND list = List();
  const auto thumb = [list] {
    SCROLLBARINFO info = {};
    info.cbSize = sizeof(info);
    GetScrollBarInfo(list, OBJID_VSCROLL, &info);
    return std::make_pair(info.xyThumbTop, info.xyThumbBottom);
  };
  int moved = 0, stayed = 0;
  for (const Case& test : {Case{300, 80}, Case{300, 5}, Case{50000, 37}, Case{50000, 20000}}) {
    std::string text = "<profile><Preferences>";
    for (int i = 0; i < test.entries; ++i) text += "<K" + std::to_string(i) + ">v</K" + std::to_string(i) + ">";
    Load(Write(L"profile.xml", text + "</Preferences></profile>"));
    ListView_EnsureVisible(list, 0, FALSE);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const auto before = thumb();
    SetWindowSubclass(list, CountFramesPainted, 1, 0);
    FramesPainted = 0;
    ShowListRow(list, test.row);
    UpdateWindow(list);
    RemoveWindowSubclass(list, CountFramesPainted, 1);
    const bool thumbMoved = thumb() != before;
    (thumbMoved ? moved : stayed)++;
    EXPECT_EQ(FramesPainted > 0, thumbMoved) << test.entries << " rows, row " << test.row;
  }
  EXPECT_GT(moved, 0);
  EXPECT_GT(stayed, 0);
}

TEST_F(ShowProfileTest, TheFilterListsSegmentsAndRestrictsTheRowsAndTheExport) {
  Open();
  Load(Write(L"profile.xml", SmallProfile));
  LanguageIndex = French;
  Filter([&](HWND filter) {  // checked in the step, which the driver makes sure runs
    EXPECT_EQ(WindowText(filter), L"KestrelwoodV3.02 Réglage du filtrage");
    EXPECT_EQ(ListBoxItems(filter, IDC_FILTER_SEGMENTS),
              (std::vector<std::wstring>{L"profile / Preferences / ", L"profile / Mach3Mill / ",
                                         L"profile / Preferences / "}));
    EXPECT_EQ(SendDlgItemMessageW(filter, IDC_FILTER_SEGMENTS, LB_GETSELCOUNT, 0, 0), 3);
    for (int id : {IDC_FILTER_SEGMENT_COLUMN, IDC_FILTER_NAME_COLUMN, IDC_FILTER_VALUE_COLUMN}) {
      EXPECT_EQ(IsDlgButtonChecked(filter, id), static_cast<UINT>(BST_CHECKED)) << id;
    }
    ClickSegment(filter, 0, false);  // undone by Cancel
    ClickButton(filter, IDCANCEL);
  });
  LanguageIndex = English;
  EXPECT_EQ(Rows(), 7);
  EXPECT_TRUE(Segments[0].selected);
  Filter([&](HWND filter) {
    ClickSegment(filter, 0, false);
    ClickButton(filter, IDOK);
  });
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(ListViewText(List(), 0, 1), L"Port1");
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_ROWS), L"2");
  Find(L"Port*");  // only listed rows are searched
  EXPECT_EQ(Search.hits, (std::vector<int32_t>{0, 1}));
  // The export saves the rows as filtered, in the language and with the
  // locale's separator.
  ScriptedDialogs dialogs;
  LocaleListSeparator separator(L";");
  dialogs.SaveFileAnswer(folder_.Path(L"list.csv"));
  LanguageIndex = French;
  Command(dialog_, IDC_SHOW_EXPORT);
  LanguageIndex = English;
  EXPECT_EQ(ReadBytes(folder_.Path(L"list.csv")), "\xEF\xBB\xBF\xC3\x89l\xC3\xA9ment;Nom;Valeur\r\n"
                                                 "profile / Mach3Mill / ;Port1;x\r\n"
                                                 "profile / Preferences / ;Port12;y\r\n");
  EXPECT_TRUE(messages.Messages().empty());

  // Unchecking every column makes the next search refuse.
  Filter([&](HWND filter) {
    for (int id : {IDC_FILTER_SEGMENT_COLUMN, IDC_FILTER_NAME_COLUMN, IDC_FILTER_VALUE_COLUMN}) {
      CheckDlgButton(filter, id, BST_UNCHECKED);
    }
    ClickButton(filter, IDC_FILTER_SELECT_ALL);
    ClickButton(filter, IDOK);
  });
  EXPECT_EQ(Rows(), 7);
  messages.Clear();
  Find(L"Port*");
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"At least one search column must be selected"});

  Load(Write(L"profile.xml", SmallProfile));  // a new load selects every column again
  Find(L"Port*");
  EXPECT_EQ(Search.hits.size(), 4u);
}

// Hits and the export belong to the rows listed: a new dialog and every
// Load start without hits, and a failed Load leaves nothing to export.
TEST_F(ShowProfileTest, HitsAndExportBelongToTheLoadedRows) {
  ScriptedDialogs dialogs;
  const std::wstring path = Write(L"profile.xml", SmallProfile);
  Open();
  EXPECT_FALSE(Enabled(IDC_SHOW_EXPORT));
  SetDlgItemTextW(dialog_, IDC_SHOW_PATH, path.c_str());
  PressEnter(dialog_, IDC_SHOW_PATH);  // Enter in the path field loads
  ASSERT_EQ(Rows(), 7);
  EXPECT_TRUE(Enabled(IDC_SHOW_EXPORT));
  SetDlgItemTextW(dialog_, IDC_SEARCH_TEXT, L"*Pin");
  PressEnter(dialog_, IDC_SEARCH_TEXT);  // and in the search field searches
  EXPECT_EQ(Search.hits, (std::vector<int32_t>{2, 3}));
  Command(dialog_, IDC_CLOSE_VIEW);
  DestroyWindow(dialog_);

  Open();
  EXPECT_FALSE(Search.IsHit(2));
  Load(path);
  Find(L"*Pin");
  Load(path);
  EXPECT_FALSE(Search.IsHit(2));
  EXPECT_EQ(ItemText(dialog_, IDC_SEARCH_COUNT), L"0");

  Load(Write(L"cut.xml", "<profile><A>1</A>"));
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ItemText(dialog_, IDC_SHOW_ROWS), L"0");
  EXPECT_FALSE(Enabled(IDC_SHOW_EXPORT));
  messages.Clear();
  Command(dialog_, IDC_SHOW_EXPORT);
  EXPECT_EQ(dialogs.saveFileCalls, 0);
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"Please load profile-file first"});
}

}  // namespace
