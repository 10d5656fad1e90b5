// Compare profiles: the pairing of two lists alone, and the whole
// comparison with its list against two reads and the list view's own fill.
#include <windows.h>
#include <commctrl.h>

#include <functional>
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

void PaintListFrame(HWND list);
void PaintListRows(HWND list);
std::vector<double> StepRuns(int repeats, const std::vector<std::function<void()>>& setups,
                             std::initializer_list<std::function<void()>> timed);

// The steps of a load one by one, to show where its time goes.
static void BenchComparePhases(const ProfileFiles& files, HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_PROFILE_LIST);
  const auto read = [&] {
    ReadProfile(FirstProfileSlot, files.first.c_str());
    ReadProfile(SecondProfileSlot, files.second.c_str());
  };
  const auto load = [&] { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LOAD_PROFILE, BN_CLICKED), 0); };
  const auto painted = [&] { UpdateWindow(list); };
  const std::vector<double> times =
      StepRuns(RepeatsFor(files.entries), {painted, painted, painted, [&] { painted(), load(); }, painted, painted},
               {read, [&] { read(), AllocateCompareList(), MergeProfiles(GrowProfileList); }, load, painted,
                [&] { PaintListRows(list); }, [&] { PaintListFrame(list); }});
  const char* names[] = {"phase: two ReadProfile", "phase: read and pair", "phase: load, pair and list",
                         "phase: first paint", "phase: paint the rows alone", "phase: paint the frame alone"};
  for (size_t i = 0; i < times.size(); ++i) Record(files.entries, std::string("Compare ") + names[i], times[i]);
  Click(dialog, IDC_LOAD_PROFILE);
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
  // Apart, as for Show profile.
  Record(files.entries, "list view copying the texts, 4 columns",
         MedianRuns(repeats, {[&] { FillBareList(bare, rows, 4, cells); }})[0]);
  const std::vector<double> times = MedianRuns(repeats, {[&] {
                                                          ReadProfile(FirstProfileSlot, files.first.c_str());
                                                          ReadProfile(SecondProfileSlot, files.second.c_str());
                                                        },
                                                        [&] { Click(dialog, IDC_LOAD_PROFILE); }});
  Record(files.entries, "two ReadProfile, taking turns with Compare", times[0]);
  Record(files.entries, "Compare: load, pair, list and paint", times[1]);
  if (rows < static_cast<int>(files.entries)) Note("Compare listed too few rows");
  BenchComparePhases(files, dialog);
  DestroyWindow(dialog);
  DestroyWindow(bare);
  ReleaseAllProfiles();
}
