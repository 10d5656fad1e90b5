// Kestrelwood's entry point. Configuration comes only from the settings
// store; the command line only says "/save" for a backup without a window
// (a scheduled task), anything else is ignored.
#include <windows.h>

#include "app/main_window.h"
#include "backup/backup_dialogs.h"
#include "backup/portable/copy_rules.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  if (commandLine && IsSaveCommandLine(commandLine)) return RunSaveWithoutWindow();
  LoadStartupStrings(instance);
  RegisterWindowClasses(instance);  // a failure shows in the next step
  if (!CreateMainWindow(instance, showCommand)) return 0;
  return RunMessageLoop();
}
