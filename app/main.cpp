// Kestrelwood's entry point. The command line is ignored: configuration
// comes only from the settings store.
#include <windows.h>

#include "app/main_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  LoadStartupStrings(instance);
  RegisterWindowClasses(instance);  // a failure shows in the next step
  if (!CreateMainWindow(instance, showCommand)) return 0;
  return RunMessageLoop();
}
