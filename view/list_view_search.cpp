// Filling, searching and drawing the shared list view.
#include "view/list_view_search.h"

#include <io.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "view/portable/search_pattern.h"
#include "view/view_dialogs.h"

// Labels of the search and list controls both profile dialogs carry.
const TextTriple TextCaseSensitive = {L"Groß-/Kleinschreibung", L"Case sensitive", L"Case sensitive"};
const TextTriple TextElement = {L"Element", L"Element", L"Élément"};
const TextTriple TextHits = {L"Treffer", L"Hits", L"Hits"};
const TextTriple TextLoadFirst = {L"Bitte erst Profile-Datei laden!", L"Please load profile-file first",
                                         L"Please load profile-file first"};
const TextTriple TextSearch = {L"Suchen", L"Search", L"Search"};
const TextTriple TextSetFilter = {L"Filter setzen", L"Set filter", L"Règler le filtrage"};
const TextTriple TextShowFirst = {L"Zeige ersten", L"Show first", L"Show first"};
const TextTriple TextShowLast = {L"Zeige letzten", L"Show last", L"Show last"};
const TextTriple TextShowNext = {L"Zeige nächsten", L"Show next", L"Show next"};
const TextTriple TextWildCards = {L"Erlaubte Joker: ? *", L"Allowed wild cards: ? *", L"Allowed wild cards: ? *"};

const RelabelRow ListViewControls[] = {
    {IDC_LOAD_PROFILE, &TextLoadData},
    {IDC_CLOSE_VIEW, &TextClose},
    {IDC_SET_FILTER, &TextSetFilter},
    {IDC_SEARCH_COUNT_LABEL, &TextHits},
    {IDC_SEARCH_CASE, &TextCaseSensitive},
    {IDC_SEARCH_START, &TextSearch},
    {IDC_SEARCH_FIRST, &TextShowFirst},
    {IDC_SEARCH_NEXT, &TextShowNext},
    {IDC_SEARCH_LAST, &TextShowLast},
    {IDC_SEARCH_GROUP, &TextSearch},
    {IDC_SEARCH_HINT, &TextWildCards},
    {0, nullptr},
};

static const TextTriple TextNoSearchValue = {L"Kein Suchbegriff angegeben", L"No search value specified",
                                             L"No search value specified"};
static const TextTriple TextNoSearchColumn = {L"Es muss mindestens 1 Spalte zum Suchen ausgewählt werden!",
                                              L"At least one search column must be selected",
                                              L"At least one search column must be selected"};

// Scrolling far down first brings a hit above the view to its top.
inline constexpr int ScrollBeforeShowing = 1000;

void InsertListColumns(HWND list, const ListColumn* columns) {
  for (int i = 0; columns[i].title; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(SelectText(*columns[i].title));
    column.cx = ScaleToScreen(columns[i].width);
    column.iSubItem = i;
    ListView_InsertColumn(list, i, &column);
  }
}

void PrepareList(HWND list, const ListColumn* columns) {
  ListView_SetExtendedListViewStyle(
      list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_BORDERSELECT | LVS_EX_DOUBLEBUFFER);
  ListView_DeleteAllItems(list);
  InsertListColumns(list, columns);
}

// A list made with LVS_OWNERDATA keeps no texts of its own: it asks for
// each cell it shows, so filling it costs nothing however long it is (a
// list view that copies every text grows worse than linearly under Wine).
struct VirtualRows {
  int rows = 0;
  int columns = 0;
  CellText cell;
};
static std::map<HWND, VirtualRows> VirtualLists;

static bool IsVirtual(HWND list) { return (GetWindowLongPtrW(list, GWL_STYLE) & LVS_OWNERDATA) != 0; }

// List-view items take non-const texts; the list copies them.
static wchar_t* ItemText(std::wstring_view text, std::wstring& spare) {
  if (text.data() && text.data()[text.size()] == L'\0') return const_cast<wchar_t*>(text.data());
  spare.assign(text);
  return spare.data();
}

static void InsertRows(HWND list, int rows, int columns, const CellText& cell) {
  std::wstring spare;
  for (int row = 0; row < rows; ++row) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = ItemText(cell(row, 0), spare);
    const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < columns; ++column) {
      LVITEMW sub = {};
      sub.iSubItem = column;
      sub.pszText = ItemText(cell(row, column), spare);
      SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
  }
}

// The list has no WS_CLIPCHILDREN, so redrawing all of it redraws its
// column headers too, which under Wine's themes costs as much as the rows.
// The headers keep their pixels unless something else asked for them.
class KeepHeaders {
 public:
  explicit KeepHeaders(HWND list)
      : header_(ListView_GetHeader(list)), pending_(!header_ || GetUpdateRect(header_, nullptr, FALSE)) {}
  ~KeepHeaders() {
    if (!header_) return;
    if (pending_) {
      InvalidateRect(header_, nullptr, TRUE);
    } else {
      ValidateRect(header_, nullptr);
    }
  }

 private:
  HWND header_;
  bool pending_;
};

static RECT RowsArea(HWND list);

// What the list's frame shows: its scroll bars, as drawn. A scroll that
// leaves the thumb on the same pixels (a few rows in a long list) changes
// nothing there. The track above and below the thumb is "invisible" while
// the list is at its top or bottom; its extent, set by the thumb, is what
// is drawn, so that flag alone changes no pixel.
struct FrameState {
  LONG_PTR bars = 0;
  SCROLLBARINFO vertical = {};
  SCROLLBARINFO horizontal = {};

  explicit FrameState(HWND list) : bars(GetWindowLongPtrW(list, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) {
    Read(list, OBJID_VSCROLL, vertical);
    Read(list, OBJID_HSCROLL, horizontal);
  }
  static void Read(HWND list, LONG bar, SCROLLBARINFO& info) {
    info.cbSize = sizeof(info);
    if (!GetScrollBarInfo(list, bar, &info)) info = {};
  }
  static DWORD DrawnState(const SCROLLBARINFO& info, int part) {
    const bool track = part == PageUpTrack || part == PageDownTrack;
    return track ? info.rgstate[part] & ~STATE_SYSTEM_INVISIBLE : info.rgstate[part];
  }
  static bool Same(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    if (!EqualRect(&a.rcScrollBar, &b.rcScrollBar) || a.dxyLineButton != b.dxyLineButton ||
        a.xyThumbTop != b.xyThumbTop || a.xyThumbBottom != b.xyThumbBottom) {
      return false;
    }
    for (int part = 0; part <= CCHILDREN_SCROLLBAR; ++part) {
      if (DrawnState(a, part) != DrawnState(b, part)) return false;
    }
    return true;
  }
  // Indexes into SCROLLBARINFO::rgstate.
  static constexpr int PageUpTrack = 2;
  static constexpr int PageDownTrack = 4;
  bool operator==(const FrameState& other) const {
    return bars == other.bars && Same(vertical, other.vertical) && Same(horizontal, other.horizontal);
  }
};

// Only the frame (scroll bars, border) outside the client area, so the rows
// are not painted a second time.
void InvalidateListFrame(HWND list, UINT extraFlags) {
  RECT frame;
  GetWindowRect(list, &frame);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&frame), 2);
  RECT client;
  GetClientRect(list, &client);
  HRGN outside = CreateRectRgnIndirect(&frame);
  HRGN inside = CreateRectRgnIndirect(&client);
  CombineRgn(outside, outside, inside, RGN_DIFF);
  RedrawWindow(list, nullptr, outside, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN | extraFlags);
  DeleteObject(inside);
  DeleteObject(outside);
}

// Under Wine every change of the row count or the scroll position repaints
// the themed scroll bar at once, several milliseconds each, and emptying
// and filling the list hides and shows it. Made invisible meanwhile (as
// DefWindowProc's WM_SETREDRAW does, which the list's own does not call),
// the list draws nothing; the rows are repainted once after, the frame
// only if its scroll bars changed (showing the list again would repaint
// it, which costs twice the rows).
class QuietList {
 public:
  explicit QuietList(HWND list)
      : list_(list),
        headers_(list),
        visible_(IsWindowVisible(list) != FALSE),
        painted_(!GetUpdateRect(list, nullptr, FALSE)),
        frame_(list) {
    if (visible_) DefWindowProcW(list_, WM_SETREDRAW, FALSE, 0);
  }
  ~QuietList() {
    if (!visible_) return;
    DefWindowProcW(list_, WM_SETREDRAW, TRUE, 0);
    if (!(FrameState(list_) == frame_)) {
      RepaintFrame();
    } else if (painted_) {
      RedrawWindow(list_, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    }
    const RECT rows = RowsArea(list_);
    InvalidateRect(list_, &rows, TRUE);
  }

 private:
  void RepaintFrame() { InvalidateListFrame(list_, 0); }

  HWND list_;
  KeepHeaders headers_;  // made invisible, the list validates its headers too
  bool visible_;
  bool painted_;  // nothing waited to be painted, the frame included
  FrameState frame_;
};

static RECT RowsArea(HWND list) {
  RECT area;
  GetClientRect(list, &area);
  // By the style, not by visibility: the headers may be hidden while they change.
  const bool withHeaders = !(GetWindowLongPtrW(list, GWL_STYLE) & LVS_NOCOLUMNHEADER);
  RECT header;
  if (HWND headers = ListView_GetHeader(list); headers && withHeaders && GetWindowRect(headers, &header)) {
    area.top = std::min(area.bottom, area.top + header.bottom - header.top);
  }
  return area;
}

void RepaintRows(HWND list) {
  const RECT area = RowsArea(list);
  InvalidateRect(list, &area, TRUE);
}

void EmptyList(HWND list) {
  QuietList quiet(list);
  ListView_DeleteAllItems(list);
}

void FillListRows(HWND list, int rows, int columns, const CellText& cell) {
  QuietList quiet(list);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  if (IsVirtual(list)) {
    VirtualLists[list] = {rows, columns, cell};
    ListView_SetItemCountEx(list, rows, 0);
  } else {
    ListView_SetItemCountEx(list, rows, LVSICF_NOINVALIDATEALL);
    InsertRows(list, rows, columns, cell);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

static const VirtualRows* RowsOf(HWND list) {
  const auto found = VirtualLists.find(list);
  return found == VirtualLists.end() ? nullptr : &found->second;
}

static std::wstring_view CellOf(HWND list, int row, int column) {
  const VirtualRows* rows = RowsOf(list);
  if (!rows || row < 0 || row >= rows->rows || row >= ListView_GetItemCount(list) || column < 0 ||
      column >= rows->columns) {
    return {};
  }
  return rows->cell(row, column);
}

static LRESULT AnswerCellText(const NMLVDISPINFOW* info) {
  LVITEMW& item = const_cast<LVITEMW&>(info->item);
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return 0;
  const std::wstring_view text = CellOf(info->hdr.hwndFrom, item.iItem, item.iSubItem);
  const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
  std::wmemcpy(item.pszText, text.data(), length);
  item.pszText[length] = L'\0';
  return 0;
}

static bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view start) {
  if (text.size() < start.size()) return false;
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.data(), static_cast<int>(start.size()),
                        start.data(), static_cast<int>(start.size())) == CSTR_EQUAL;
}

// Typing in the list selects the next row whose first cell starts with the
// typed text, as the list does with texts of its own.
static LRESULT FindTypedRow(const NMLVFINDITEMW* find) {
  const int rows = ListView_GetItemCount(find->hdr.hwndFrom);
  if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz || rows <= 0) return -1;
  const std::wstring_view typed = find->lvfi.psz;
  const int start = find->iStart >= 0 && find->iStart < rows ? find->iStart : 0;
  const int end = (find->lvfi.flags & LVFI_WRAP) ? start + rows : rows;
  for (int i = start; i < end; ++i) {
    const int row = i % rows;
    const std::wstring_view text = CellOf(find->hdr.hwndFrom, row, 0);
    const bool found = (find->lvfi.flags & LVFI_PARTIAL)
                           ? StartsWithIgnoringCase(text, typed)
                           : text.size() == typed.size() && StartsWithIgnoringCase(text, typed);
    if (found) return row;
  }
  return -1;
}

LRESULT AnswerVirtualList(const NMHDR* header) {
  switch (header->code) {
    case LVN_GETDISPINFOW:
      return AnswerCellText(reinterpret_cast<const NMLVDISPINFOW*>(header));
    case LVN_ODFINDITEMW:
      return FindTypedRow(reinterpret_cast<const NMLVFINDITEMW*>(header));
  }
  return 0;
}

static void ShowSearchError(HWND dialog, const TextTriple& text) {
  ShowErrorMessage(dialog, SelectText(text), MB_TASKMODAL);
}

// Where scrolling far down and then making the row visible would leave the
// list, reached in one scroll: each scroll redraws the scroll bar and the
// rows it uncovers, and the first one uncovers every row.
static void ShowRow(HWND list, int row) {
  if (row < 0) return;
  const int top = ListView_GetTopIndex(list);
  RECT item;
  if (!ListView_GetItemRect(list, top, &item, LVIR_BOUNDS) || item.bottom <= item.top) {
    ListView_Scroll(list, 0, ScrollBeforeShowing);
    ListView_EnsureVisible(list, row, FALSE);
    return;
  }
  const int height = item.bottom - item.top;
  const int target = TopRowShowing(row, {top, ListView_GetItemCount(list), ListView_GetCountPerPage(list),
                                         (ScrollBeforeShowing + height / 2) / height});
  if (target == top) return;
  QuietList quiet(list);
  ListView_Scroll(list, 0, (target - top) * height);
}

void ShowListRow(HWND list, int row) { ShowRow(list, row); }

void RepaintChangedHits(HWND list, const std::vector<uint8_t>& before) {
  const auto wasHit = [&before](int row) { return static_cast<size_t>(row) < before.size() && before[row]; };
  const int top = ListView_GetTopIndex(list);
  const int end = std::min(ListView_GetItemCount(list), top + ListView_GetCountPerPage(list) + 1);
  const RECT area = RowsArea(list);
  for (int row = std::max(top, 0); row < end; ++row) {
    if (wasHit(row) == Search.IsHit(row)) continue;
    RECT item;
    if (!ListView_GetItemRect(list, row, &item, LVIR_BOUNDS)) continue;
    item.left = area.left;
    item.right = area.right;
    InvalidateRect(list, &item, TRUE);
  }
}

void SetTextIfChanged(HWND dialog, int id, const std::wstring& text) {
  if (DialogItemText(dialog, id) != text) SetDlgItemTextW(dialog, id, text.c_str());
}

static void EnableNavigation(HWND dialog, bool enable) {
  for (int id : {IDC_SEARCH_FIRST, IDC_SEARCH_NEXT, IDC_SEARCH_LAST}) EnableWindow(GetDlgItem(dialog, id), enable);
}

int RunSearch(HWND dialog, int rows, int columns, const CellText& cell) {
  const std::wstring text = DialogItemText(dialog, IDC_SEARCH_TEXT);
  if (text.empty()) {
    ShowSearchError(dialog, TextNoSearchValue);
    return 0;
  }
  if (!Search.columns[SegmentColumn] && !Search.columns[NameColumn] && !Search.columns[ValueColumn]) {
    ShowSearchError(dialog, TextNoSearchColumn);
    return 0;
  }
  const bool caseSensitive = IsDlgButtonChecked(dialog, IDC_SEARCH_CASE) == BST_CHECKED;
  const std::wstring normalised = CompileSearchPattern(text);
  if (normalised != text) SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, normalised.c_str());
  FindHits(normalised, caseSensitive, rows, columns, cell);
  if (!Search.hits.empty()) ShowRow(GetDlgItem(dialog, IDC_PROFILE_LIST), Search.hits[0]);
  SetTextIfChanged(dialog, IDC_SEARCH_COUNT, FormatText(L"%d", static_cast<int>(Search.hits.size())));
  EnableNavigation(dialog, Search.hits.size() > 1);
  return 1;
}

void ShowFirstHit(HWND list) { ShowRow(list, FirstHitRow()); }
void ShowNextHit(HWND list) { ShowRow(list, NextHitRow()); }
void ShowLastHit(HWND list) { ShowRow(list, LastHitRow()); }

void ShowNoHits(HWND dialog) {
  SetTextIfChanged(dialog, IDC_SEARCH_COUNT, L"0");
  EnableNavigation(dialog, false);
}

LRESULT DrawListRow(const NMLVCUSTOMDRAW* draw, COLORREF text, COLORREF back) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      auto* colours = const_cast<NMLVCUSTOMDRAW*>(draw);
      if (Search.IsHit(static_cast<int>(draw->nmcd.dwItemSpec))) {
        colours->clrText = Settings.textColorSelected;
        colours->clrTextBk = Settings.selectColor;
      } else {
        colours->clrText = text;
        colours->clrTextBk = back;
      }
      return CDRF_NEWFONT;
    }
  }
  return CDRF_DODEFAULT;
}

LRESULT DrawHitRows(const NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return Search.hits.empty() ? CDRF_DODEFAULT : CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      if (!Search.IsHit(static_cast<int>(draw->nmcd.dwItemSpec))) return CDRF_DODEFAULT;
      auto* colours = const_cast<NMLVCUSTOMDRAW*>(draw);  // they hold for every cell of the row
      colours->clrText = Settings.textColorSelected;
      colours->clrTextBk = Settings.selectColor;
      return CDRF_NEWFONT;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      return DrawListRow(draw, CLR_DEFAULT, CLR_DEFAULT);
  }
  return CDRF_DODEFAULT;
}

static INT_PTR Answer(HWND dialog, LRESULT result) {
  SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR OnListNotice(HWND dialog, const NMHDR* header, const ProfileListView& view) {
  if (header->idFrom != IDC_PROFILE_LIST) return FALSE;
  switch (header->code) {
    case LVN_ITEMACTIVATE:
      SetDlgItemTextW(dialog, view.rowField,
                      FormatText(L"%d", reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem).c_str());
      return TRUE;
    case NM_CUSTOMDRAW:
      return Answer(dialog, view.draw(reinterpret_cast<const NMLVCUSTOMDRAW*>(header)));
    case LVN_DELETEALLITEMS:  // no notice per row: thousands of messages saved on every load
      return Answer(dialog, TRUE);
    case LVN_GETDISPINFOW:
    case LVN_ODFINDITEMW:
      return Answer(dialog, AnswerVirtualList(header));
  }
  return FALSE;
}

// Under Wine every answer through DWLP_MSGRESULT costs two calls to the
// server (the dialog manager clears it before each message), and a repaint
// of the Compare list asks about eight per row. The list's drawing notices
// are answered straight from the dialog's window procedure instead.
struct DirectAnswers {
  WNDPROC dialogProc;
  const ProfileListView* view;
};
static std::map<HWND, DirectAnswers> DirectlyAnswered;

static LRESULT CALLBACK DirectAnswerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto found = DirectlyAnswered.find(dialog);
  if (found == DirectlyAnswered.end()) return DefWindowProcW(dialog, message, wParam, lParam);
  const DirectAnswers answers = found->second;
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->idFrom == IDC_PROFILE_LIST && header->code == NM_CUSTOMDRAW) {
      return answers.view->draw(reinterpret_cast<const NMLVCUSTOMDRAW*>(header));
    }
    if (header->idFrom == IDC_PROFILE_LIST && header->code == LVN_GETDISPINFOW) return AnswerVirtualList(header);
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answers.dialogProc));
    DirectlyAnswered.erase(found);
  }
  return CallWindowProcW(answers.dialogProc, dialog, message, wParam, lParam);
}

void AnswerListDirectly(HWND dialog, const ProfileListView& view) {
  DirectlyAnswered[dialog] = {reinterpret_cast<WNDPROC>(GetWindowLongPtrW(dialog, GWLP_WNDPROC)), &view};
  SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DirectAnswerProc));
}

// OK changes the rows, so the old hits no longer apply; Cancel changes nothing.
static void OnSetFilter(HWND dialog, const ProfileListView& view) {
  if (ProfileSlots[FirstProfileSlot].Capacity() == 0) {
    ShowErrorMessage(dialog, SelectText(TextLoadFirst), MB_TASKMODAL);
    return;
  }
  if (RunModalDialog(dialog, IDD_SEGMENT_FILTER, FilterDialogProc) != IDOK) return;
  ClearSearchHits();
  ShowNoHits(dialog);
  view.listRows(dialog);
}

bool OnListCommand(HWND dialog, int id, const ProfileListView& view) {
  HWND list = GetDlgItem(dialog, IDC_PROFILE_LIST);
  switch (id) {
    case IDC_SET_FILTER:
      OnSetFilter(dialog, view);
      return true;
    case IDC_SEARCH_START:
      view.find(dialog);
      return true;
    case IDC_SEARCH_FIRST:
      ShowFirstHit(list);
      return true;
    case IDC_SEARCH_NEXT:
      ShowNextHit(list);
      return true;
    case IDC_SEARCH_LAST:
      ShowLastHit(list);
      return true;
  }
  return false;
}

bool ReadPathField(HWND dialog, int id, wchar_t* path, const TextTriple& empty) {
  GetDlgItemTextW(dialog, id, path, PathCapacity);
  if (!path[0]) {
    ShowErrorMessage(dialog, SelectText(empty));
    return false;
  }
  if (_waccess(path, 0) != 0) {
    ShowErrorMessage(dialog, FormatText(L"%s File not found", path).c_str());
    return false;
  }
  return true;
}
