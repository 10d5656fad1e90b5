// Every dialog of the menu commands can be left with Esc, and Enter presses
// a sensible default button.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "backup/backup_dialogs.h"
#include "pins/check_ports_dialog.h"
#include "plugins/remove_plugin_dialog.h"
#include "resources/resource.h"
#include "settings_view/show_settings_dialog.h"
#include "tests/support/test_support.h"
#include "view/view_dialogs.h"

namespace {

TEST(KeyboardTest, EscapeLeavesEveryDialogAndEnterHasADefault) {
  const struct {
    int templateId;
    DLGPROC procedure;
    int defaultId;    // 0: not checked here
    int escapes = 1;  // the plug-in removal's warning page is left first
  } dialogs[] = {
      {IDD_ABOUT, AboutDialogProc, IDOK},
      {IDD_LANGUAGE, LanguageDialogProc, IDOK},
      {IDD_COLOURS, ColourDialogProc, IDOK},
      {IDD_SHOW_PROFILE, ShowProfileDialogProc, IDOK},  // Enter acts by the field it is pressed in
      {IDD_COMPARE_PROFILES, CompareDialogProc, IDOK},
      {IDD_SEGMENT_FILTER, FilterDialogProc, IDOK},
      {IDD_CHECK_PORTS, CheckPortsDialogProc, IDC_CHECK_PORTS_CHECK},
      {IDD_SHOW_SETTINGS, ShowSettingsDialogProc, IDC_SETTINGS_CLOSE},
      {IDD_SAVE, SaveDialogProc, IDC_SAVE},
      {IDD_RESTORE, RestoreDialogProc, IDC_BACKUP_CLOSE},  // restoring overwrites: not on Enter
      {IDD_REMOVE_PLUGIN, RemovePluginDialogProc, 0, 2},
  };
  MessageRecorder messages;
  for (const auto& d : dialogs) {
    SCOPED_TRACE(d.templateId);
    int defaultId = -1;
    const DialogStep pressEscape = [&](HWND dialog) {
      if (defaultId < 0) defaultId = LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0));
      HWND focus = GetFocus();
      PostMessageW(focus ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    const INT_PTR result = DriveModal([&] { return RunModalDialog(MainWindow, d.templateId, d.procedure); },
                                      std::vector<DialogStep>(d.escapes, pressEscape));
    EXPECT_NE(result, -1) << d.templateId;
    if (d.defaultId) {
      EXPECT_EQ(defaultId, d.defaultId) << d.templateId;
    }
  }
}

}  // namespace
