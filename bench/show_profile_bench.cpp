// Show profile: loading and listing a profile, the list view's own fill
// time for the same rows (the floor), and one search.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "bench/bench.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "view/profile_search.h"
#include "view/view_dialogs.h"

// The same rows straight into a bare list view, redraw off, count set ahead.
static void FillBareList(HWND list, const std::vector<std::wstring>& cells) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  const int rows = static_cast<int>(cells.size() / 3);
  ListView_SetItemCountEx(list, rows, LVSICF_NOINVALIDATEALL);
  for (int row = 0; row < rows; ++row) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(cells[row * 3].c_str());
    const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = 1; column < 3; ++column) {
      LVITEMW sub = {};
      sub.iSubItem = column;
      sub.pszText = const_cast<wchar_t*>(cells[row * 3 + column].c_str());
      SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

static HWND MakeBareList() {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 1000, 600, nullptr, nullptr,
                              Instance, nullptr);
  for (int column = 0; column < 3; ++column) {
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

static void Click(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void BenchShowProfile(const BenchFiles& files) {
  const std::vector<std::wstring> cells = CellsOf(files.profile.c_str());
  HWND bare = MakeBareList();
  HWND dialog = CreateDialogParamW(Instance, MAKEINTRESOURCEW(IDD_SHOW_PROFILE), nullptr, ShowProfileDialogProc, 0);
  SetDlgItemTextW(dialog, IDC_SHOW_PATH, files.profile.c_str());
  const std::vector<double> times = TimeRuns(24, {[&] { ReadProfile(FirstProfileSlot, files.profile.c_str()); },
                                                  [&] { FillBareList(bare, cells); },
                                                  [&] { Click(dialog, IDC_LOAD_PROFILE); }});
  const double read = times[0], floor = times[1], listing = times[2];
  std::printf("  rows listed: %d\n", ListView_GetItemCount(GetDlgItem(dialog, IDC_PROFILE_LIST)));
  PrintTime("ReadProfile", read);
  PrintTime("list view floor (same rows, redraw off)", floor);
  PrintTime("Load: read and list in the dialog", listing);
  PrintRatio("Load / (ReadProfile + floor)", listing / (read + floor), 1.5);

  SetDlgItemTextW(dialog, IDC_SEARCH_TEXT, L"*screen1*");
  const double search = TimeRuns(40, {[&] { Click(dialog, IDC_SEARCH_START); }})[0];
  std::printf("  hits: %zu\n", Search.hits.size());
  PrintTime("one search over every row (target < 100 ms)", search);
  DestroyWindow(dialog);
  DestroyWindow(bare);
  ReleaseAllProfiles();
}
