// Entry point of every test program: sets up what the program's own
// start-up sets up, then runs the tests.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "app/main_window.h"

void InstallDefaultMessageRecorder();

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  InstallDefaultMessageRecorder();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Instance = GetModuleHandleW(nullptr);
  LoadStartupStrings(Instance);
  RegisterWindowClasses(Instance);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                         ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"Riched20.dll");
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
