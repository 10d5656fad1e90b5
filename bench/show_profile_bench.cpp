// Show profile: loading and listing a profile and one search, against
// ReadProfile of the same file and the list view's own fill time.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings.h"
#include "bench/bench.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "view/list_view_search.h"
#include "view/portable/profile_search.h"
#include "view/view_dialogs.h"

void FillBareList(HWND list, int rows, int columns, const std::vector<std::wstring>& cells) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  ListView_SetItemCountEx(list, rows, LVSICF_NOINVALIDATEALL);
  for (int row = 0; row < rows; ++row) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(cells[row * columns].c_str());
    const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < columns; ++column) {
      LVITEMW sub = {};
      sub.iSubItem = column;
      sub.pszText = const_cast<wchar_t*>(cells[row * columns + column].c_str());
      SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

HWND MakeBareList(int columns) {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 1000, 600, nullptr, nullptr,
                              Instance, nullptr);
  for (int column = 0; column < columns; ++column) {
    LVCOLUMNW header = {};
    header.mask = LVCF_WIDTH | LVCF_TEXT;
    header.cx = 200;
    header.pszText = const_cast<wchar_t*>(L"column");
    ListView_InsertColumn(list, column, &header);
  }
  return list;
}

static std::vector<std::wstring> CellsOf(const wchar_t* path) {
  std::vector<std::wstring> cells;
  ReadProfile(FirstProfileSlot, path);
  const ProfileList& list = ProfileSlots[FirstProfileSlot];
  for (uint32_t i = 0; i < list.Count(); ++i) {
    cells.emplace_back(list.records[i].path);
    cells.emplace_back(list.records[i].name);
    cells.emplace_back(list.records[i].value);
  }
  ReleaseAllProfiles();
  return cells;
}

// The list as a search finds it after a load: at its top, painted, no hits.
static void NewSearch(HWND list) {
  ClearSearchHits();
  ListView_EnsureVisible(list, 0, FALSE);
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
}

// A click and the painting it causes, as the user waits for both.
static void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  UpdateWindow(GetDlgItem(dialog, IDC_PROFILE_LIST));
}

// The list's frame alone, its scroll bars, painted at once.
void PaintListFrame(HWND list) { InvalidateListFrame(list, RDW_UPDATENOW); }

void PaintVerticalBar(HWND list) {
  SCROLLBARINFO info = {};
  info.cbSize = sizeof(info);
  GetScrollBarInfo(list, OBJID_VSCROLL, &info);
  RECT bar = info.rcScrollBar;
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&bar), 2);
  HRGN region = CreateRectRgnIndirect(&bar);
  RedrawWindow(list, nullptr, region, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN | RDW_UPDATENOW);
  DeleteObject(region);
}

// The rows on screen alone, painted at once.
void PaintListRows(HWND list) {
  RepaintRows(list);
  UpdateWindow(list);
}

// Median times of `timed` steps, each after its own untimed set-up, taking
// turns as MedianRuns does.
std::vector<double> StepRuns(int repeats, const std::vector<std::function<void()>>& setups,
                             std::initializer_list<std::function<void()>> timed) {
  size_t next = 0;
  return MedianRuns(repeats, [&] { setups[next++ % setups.size()](); }, timed);
}

// The steps of a load and of a search one by one, as the dialog takes
// them, to show where their time goes.
static void BenchShowProfilePhases(const ProfileFiles& files, HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_PROFILE_LIST);
  const int repeats = RepeatsFor(files.entries);
  const CellText cell = [](int row, int column) -> std::wstring_view {
    const ProfileEntry& entry = ProfileSlots[FirstProfileSlot].records[row];
    return column == 0 ? entry.path : column == 1 ? entry.name : entry.value;
  };
  const int rows = static_cast<int>(ProfileSlots[FirstProfileSlot].Count());
  const std::vector<double> load =
      MedianRuns(repeats, {[&] { ReadProfile(FirstProfileSlot, files.first.c_str()); },
                           [&] { StoreSettings({Settings.filenameProfile}); },
                           [&] {
                             BuildSegments();
                             SelectedEntries();
                           },
                           [&] { FillListRows(list, rows, 3, cell); },
                           [&] { UpdateWindow(list); }});
  const auto match = [&] { FindHits(L"*screen1*", false, rows, 3, cell); };
  const auto scroll = [&] { ShowListRow(list, Search.hits.empty() ? 0 : Search.hits[0]); };
  const auto mark = [&] { RepaintChangedHits(list, {}); };
  const std::vector<double> search = StepRuns(
      repeats,
      {[&] { NewSearch(list); }, [&] { NewSearch(list), match(); }, [&] { NewSearch(list), match(), scroll(); },
       [&] { NewSearch(list), match(), scroll(), mark(); }, [&] { NewSearch(list); }, [&] { NewSearch(list); }, [&] { NewSearch(list); }},
      {match, scroll, mark, [&] { UpdateWindow(list); }, [&] { PaintListRows(list); },
       [&] { PaintListFrame(list); }, [&] { PaintVerticalBar(list); }});
  const char* names[] = {"phase: ReadProfile", "phase: store the path", "phase: segments and rows",
                         "phase: fill the list", "phase: first paint", "phase: match",
                         "phase: scroll to the first hit", "phase: mark the hit rows",
                         "phase: paint after the search", "phase: paint the rows alone",
                         "phase: paint the frame alone", "phase: paint the vertical bar alone"};
  for (size_t i = 0; i < load.size(); ++i) Record(files.entries, names[i], load[i]);
  for (size_t i = 0; i < search.size(); ++i) Record(files.entries, names[load.size() + i], search[i]);
}

void BenchShowProfile(const ProfileFiles& files) {
  const std::vector<std::wstring> cells = CellsOf(files.first.c_str());
  HWND bare = MakeBareList(3);
  HWND dialog = CreateDialogParamW(Instance, MAKEINTRESOURCEW(IDD_SHOW_PROFILE), nullptr, ShowProfileDialogProc, 0);
  SetDlgItemTextW(dialog, IDC_SHOW_PATH, files.first.c_str());
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  const int rows = static_cast<int>(cells.size() / 3);
  // Apart: filling the copying list, 18,000 texts, slowed the load that
  // took turns with it up to twice. The load takes turns with its floor.
  Record(files.entries, "list view copying the texts, 3 columns",
         MedianRuns(RepeatsFor(files.entries), {[&] { FillBareList(bare, rows, 3, cells); }})[0]);
  const std::vector<double> times =
      MedianRuns(RepeatsFor(files.entries), {[&] { ReadProfile(FirstProfileSlot, files.first.c_str()); },
                                             [&] { Click(dialog, IDC_LOAD_PROFILE); }});
  Record(files.entries, "ReadProfile, taking turns with Show profile", times[0]);
  Record(files.entries, "Show profile: load, list and paint", times[1]);
  if (ListView_GetItemCount(GetDlgItem(dialog, IDC_PROFILE_LIST)) != rows) Note("Show profile listed too few rows");

  SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, L"*screen1*");
  HWND list = GetDlgItem(dialog, IDC_PROFILE_LIST);
  Record(files.entries, "Show profile: one search",
         MedianRuns(RepeatsFor(files.entries), [&] { NewSearch(list); }, {[&] { Click(dialog, IDC_SEARCH_START); }})[0]);
  if (Search.hits.empty()) Note("the search found nothing");
  BenchShowProfilePhases(files, dialog);
  DestroyWindow(dialog);
  DestroyWindow(bare);
  ReleaseAllProfiles();
}
