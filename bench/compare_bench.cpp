// Compare profiles: the pairing of two 6,000-entry profiles, and the whole
// comparison with its list against two reads and the list view's own fill.
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
#include "view/profile_compare.h"
#include "view/view_dialogs.h"

static void FillBareList(HWND list, int rows, int columns, const std::vector<std::wstring>& cells) {
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

static HWND MakeBareList(int columns) {
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

static void Click(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void BenchCompareProfiles(const BenchFiles& files) {
  ReadProfile(FirstProfileSlot, files.profile.c_str());
  ReadProfile(SecondProfileSlot, files.secondProfile.c_str());
  ProfileList& second = ProfileSlots[SecondProfileSlot];
  const double pairing = TimeRuns(40, {[&] {
                           for (uint32_t j = 0; j < second.Count(); ++j) second.records[j].matched = 0;
                           PairEntries(ProfileSlots[FirstProfileSlot], second);
                         }})[0];
  ReleaseAllProfiles();

  Settings.showDifferentOnly = 0;
  StoreSettings({&Settings.showDifferentOnly});
  HWND dialog =
      CreateDialogParamW(Instance, MAKEINTRESOURCEW(IDD_COMPARE_PROFILES), nullptr, CompareDialogProc, 0);
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH1, files.profile.c_str());
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH2, files.secondProfile.c_str());
  Click(dialog, IDC_LOAD_PROFILE);
  HWND list = GetDlgItem(dialog, IDC_PROFILE_LIST);
  const int rows = ListView_GetItemCount(list);
  std::vector<std::wstring> cells;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < 4; ++column) {
      wchar_t text[600] = {};
      ListView_GetItemText(list, row, column, text, 600);
      cells.emplace_back(text);
    }
  }
  HWND bare = MakeBareList(4);
  const std::vector<double> times =
      TimeRuns(16, {[&] {
                      ReadProfile(FirstProfileSlot, files.profile.c_str());
                      ReadProfile(SecondProfileSlot, files.secondProfile.c_str());
                    },
                    [&] { FillBareList(bare, rows, 4, cells); }, [&] { Click(dialog, IDC_LOAD_PROFILE); }});
  const double reads = times[0], floor = times[1], compare = times[2];
  std::printf("  rows listed: %d\n", rows);
  PrintTime("pairing of two 6000-entry lists (target < 20 ms)", pairing);
  PrintTime("two ReadProfile", reads);
  PrintTime("list view floor (same rows, 4 columns)", floor);
  PrintTime("Load: read, pair and list in the dialog", compare);
  PrintRatio("Load / (two reads + floor)", compare / (reads + floor), 1.5);
  DestroyWindow(dialog);
  DestroyWindow(bare);
  ReleaseAllProfiles();
}
