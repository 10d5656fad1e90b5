// Show profile and Compare profiles opened with their files already named
// and loaded, as the start page opens them for a chosen profile row.
#include <windows.h>

#include <string>

#include "app/main_window.h"
#include "resources/resource.h"
#include "view/view_dialogs.h"

static std::wstring PresetPaths[2];

// The dialog starts as from the menu; then the preset files go into its
// path fields and its Load button is pressed once it is on screen.
static void PresetAndLoad(HWND dialog, const int (&fields)[2]) {
  for (int i = 0; i < 2; ++i) {
    if (fields[i]) SetDlgItemTextW(dialog, fields[i], PresetPaths[i].c_str());
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LOAD_PROFILE, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_LOAD_PROFILE)));
}

static INT_PTR CALLBACK ShowProfilePreset(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR result = ShowProfileDialogProc(dialog, message, wParam, lParam);
  if (message == WM_INITDIALOG) PresetAndLoad(dialog, {IDC_SHOW_PATH, 0});
  return result;
}

static INT_PTR CALLBACK ComparePreset(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR result = CompareDialogProc(dialog, message, wParam, lParam);
  if (message == WM_INITDIALOG) PresetAndLoad(dialog, {IDC_COMPARE_PATH1, IDC_COMPARE_PATH2});
  return result;
}

void ShowProfileWithFile(HWND owner, const wchar_t* path) {
  PresetPaths[0] = path;
  RunModalDialog(owner, IDD_SHOW_PROFILE, ShowProfilePreset);
}

void CompareWithFiles(HWND owner, const wchar_t* path1, const wchar_t* path2) {
  PresetPaths[0] = path1;
  PresetPaths[1] = path2;
  RunModalDialog(owner, IDD_COMPARE_PROFILES, ComparePreset);
}
