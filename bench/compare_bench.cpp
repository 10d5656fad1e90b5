// Compare profiles: the pairing of two lists alone, and the whole
// comparison with its list against two reads and the list view's own fill.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings.h"
#include "bench/bench.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "view/portable/profile_compare.h"
#include "view/view_dialogs.h"

// A click and the painting it causes, as the user waits for both.
static void Click(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  UpdateWindow(GetDlgItem(dialog, IDC_PROFILE_LIST));
}

static std::vector<std::wstring> ListedCells(HWND list, int rows, int columns) {
  std::vector<std::wstring> cells;
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      wchar_t text[600] = {};
      ListView_GetItemText(list, row, column, text, 600);
      cells.emplace_back(text);
    }
  }
  return cells;
}

void BenchCompareProfiles(const ProfileFiles& files) {
  const int repeats = RepeatsFor(files.entries);
  ReadProfile(FirstProfileSlot, files.first.c_str());
  ReadProfile(SecondProfileSlot, files.second.c_str());
  ProfileList& second = ProfileSlots[SecondProfileSlot];
  Record(files.entries, "pairing of the two lists", MedianRuns(repeats, {[&] {
                                                          for (uint32_t j = 0; j < second.Count(); ++j) {
                                                            second.records[j].matched = 0;
                                                          }
                                                          PairEntries(ProfileSlots[FirstProfileSlot], second);
                                                        }})[0]);
  ReleaseAllProfiles();

  Settings.showDifferentOnly = 0;
  Settings.showAll = 1;
  StoreSettings({&Settings.showDifferentOnly, &Settings.showAll});
  HWND dialog =
      CreateDialogParamW(Instance, MAKEINTRESOURCEW(IDD_COMPARE_PROFILES), nullptr, CompareDialogProc, 0);
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH1, files.first.c_str());
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH2, files.second.c_str());
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  Click(dialog, IDC_LOAD_PROFILE);
  HWND list = GetDlgItem(dialog, IDC_PROFILE_LIST);
  const int rows = ListView_GetItemCount(list);
  const std::vector<std::wstring> cells = ListedCells(list, rows, 4);
  HWND bare = MakeBareList(4);
  const std::vector<double> times =
      MedianRuns(repeats, {[&] { FillBareList(bare, rows, 4, cells); }, [&] { Click(dialog, IDC_LOAD_PROFILE); }});
  if (rows < static_cast<int>(files.entries)) Note("Compare listed too few rows");
  Record(files.entries, "list view copying the texts, 4 columns", times[0]);
  Record(files.entries, "Compare: load, pair, list and paint", times[1]);
  DestroyWindow(dialog);
  DestroyWindow(bare);
  ReleaseAllProfiles();
}
