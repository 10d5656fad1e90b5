// Show profile: loading and listing a profile and one search, against
// ReadProfile of the same file and the list view's own fill time.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
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
  const std::vector<double> search =
      MedianRuns(repeats, [&] { NewSearch(list); },
                 {[&] { FindHits(L"*screen1*", false, rows, 3, cell); },
                  [&] {
                    FindHits(L"*screen1*", false, rows, 3, cell);
                    ShowListRow(list, Search.hits.empty() ? 0 : Search.hits[0]);
                  },
                  [&] {
                    FindHits(L"*screen1*", false, rows, 3, cell);
                    ShowListRow(list, Search.hits.empty() ? 0 : Search.hits[0]);
                    RepaintChangedHits(list, {});
                    UpdateWindow(list);
                  }});
  const char* names[] = {"phase: ReadProfile", "phase: store the path", "phase: segments and rows",
                         "phase: fill the list", "phase: first paint", "phase: match",
                         "phase: match and scroll to the first hit", "phase: match, scroll and paint the hits"};
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
  const std::vector<double> times =
      MedianRuns(RepeatsFor(files.entries),
                 {[&] { FillBareList(bare, rows, 3, cells); }, [&] { Click(dialog, IDC_LOAD_PROFILE); }});
  if (ListView_GetItemCount(GetDlgItem(dialog, IDC_PROFILE_LIST)) != rows) Note("Show profile listed too few rows");
  Record(files.entries, "list view copying the texts, 3 columns", times[0]);
  Record(files.entries, "Show profile: load, list and paint", times[1]);

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
