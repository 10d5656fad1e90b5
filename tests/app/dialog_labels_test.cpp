// Every window with a relabel table opens with each id of the table showing
// that table's text in the language in force (the stored one where the
// dialog reads the settings itself); every dialog of the menu commands can
// be left with Esc, and Enter presses a sensible default button.
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>

#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/texts.h"
#include "backup/backup_dialogs.h"
#include "backup/conflict_dialog.h"
#include "backup/copy_engine.h"
#include "pins/check_ports_dialog.h"
#include "pins/pin_report_sheet.h"
#include "pins/show_params_sheet.h"
#include "plugins/remove_plugin_dialog.h"
#include "resources/resource.h"
#include "settings_view/show_settings_dialog.h"
#include "tests/support/test_support.h"
#include "view/list_view_search.h"
#include "view/view_dialogs.h"

namespace {

enum class Labels { Controls, MenuItems, MenuBar };

// `unchecked`: an id the window fills itself, or one its template lacks.
void ExpectLabels(HWND window, const RelabelRow* table, Labels kind, int32_t language, int unchecked = 0) {
  for (const RelabelRow* row = table; row->id != (kind == Labels::MenuBar ? -1 : 0); ++row) {
    if (row->id == unchecked) continue;
    SCOPED_TRACE(testing::Message() << "id " << row->id);
    const std::wstring text = row->text->text[language];
    EXPECT_FALSE(text.empty());
    if (kind == Labels::Controls) {
      ASSERT_NE(GetDlgItem(window, row->id), nullptr) << "not in the template";
      EXPECT_EQ(ItemText(window, row->id), text);
    } else {
      const UINT by = kind == Labels::MenuBar ? MF_BYPOSITION : MF_BYCOMMAND;
      ASSERT_NE(GetMenuState(GetMenu(window), row->id, by), static_cast<UINT>(-1)) << "not in the menu";
      EXPECT_EQ(MenuItemText(GetMenu(window), row->id, by == MF_BYPOSITION), text);
    }
  }
}

struct DialogCase {
  int templateId;
  DLGPROC procedure;
  const RelabelRow* labels;
  bool readsStoredLanguage;
  int defaultId;    // 0: not checked here
  int escapes = 1;  // the plug-in removal's warning page is left first
  const RelabelRow* menuBar = nullptr;
  const RelabelRow* menuItems = nullptr;
  int unchecked = 0;
};

const DialogCase Dialogs[] = {
    {IDD_ABOUT, AboutDialogProc, nullptr, false, IDOK},
    {IDD_LANGUAGE, LanguageDialogProc, LanguageControls, true, IDOK},
    {IDD_COLOURS, ColourDialogProc, ColourControls, true, IDOK},
    {IDD_SHOW_PROFILE, ShowProfileDialogProc, ShowProfileControls, true, IDOK},  // Enter acts by its field
    {IDD_COMPARE_PROFILES, CompareDialogProc, CompareControls, true, IDOK, 1, CompareMenuBar, CompareMenuItems},
    {IDD_SHOW_PROFILE, ShowProfileDialogProc, ListViewControls, true, IDOK},  // the labels both views share
    {IDD_COMPARE_PROFILES, CompareDialogProc, ListViewControls, true, IDOK},
    {IDD_SEGMENT_FILTER, FilterDialogProc, FilterControls, false, IDOK},
    {IDD_CHECK_PORTS, CheckPortsDialogProc, CheckPortsLabels, true, IDC_CHECK_PORTS_CHECK},
    // The printer list replaces the label of its combo box at once.
    {IDD_SHOW_SETTINGS, ShowSettingsDialogProc, ShowSettingsRelabelTable, true, IDC_SETTINGS_CLOSE, 1, nullptr,
     nullptr, IDC_SETTINGS_PRINTER},
    {IDD_SAVE, SaveDialogProc, SaveControls, true, IDC_SAVE},
    {IDD_RESTORE, RestoreDialogProc, RestoreControls, true, IDC_BACKUP_CLOSE},  // restoring overwrites: not on Enter
    {IDD_REMOVE_PLUGIN, RemovePluginDialogProc, PluginControls, true, 0, 2},
    {IDD_REFERENCING_PROFILES, ReferencingProfilesDialogProc, ReferencingControls, false, 0},
    {IDD_CONFLICT, ConflictDialogProc, ConflictControls, false, 0},
};

// The pages of the two sheets, made as the sheets make them (a page's
// procedure gets its sheet page); the pin report's pages are relabelled by
// their sheet's session, here by the test. Only the used pins print.
struct PageCase {
  int templateId;
  DLGPROC procedure;
  const RelabelRow* labels;
  LPARAM index;
  int unchecked = 0;
};

const PageCase Pages[] = {
    {IDD_PARAMS_MOTORS, ShowParamsPageProc, MotorPageLabels, 0},
    {IDD_PARAMS_USED, ShowParamsPageProc, ListPageLabels, 1},
    {IDD_PARAMS_INPUTS, ShowParamsPageProc, ListPageLabels, 2, IDC_PARAMS_PRINT_LIST},
    {IDD_PARAMS_OUTPUTS, ShowParamsPageProc, ListPageLabels, 3, IDC_PARAMS_PRINT_LIST},
    {IDD_PARAMS_ENCODERS, ShowParamsPageProc, ListPageLabels, 4, IDC_PARAMS_PRINT_LIST},
    {IDD_PIN_PAGE, nullptr, PinPageLabels, 0},
};

INT_PTR CALLBACK BarePage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(DialogLabels, EveryWindowShowsItsTableInTheLanguageInForceAndEveryDialogLeavesWithEsc) {
  MessageRecorder messages;
  HWND sheet = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, Instance, nullptr);
  for (const int32_t language : {German, English, French}) {
    DeleteSettingsKey();
    StoreSettingNumber(L"Language", static_cast<DWORD>(language));
    LanguageIndex = (language + 1) % 3;
    ASSERT_EQ(CreateMainWindow(Instance, SW_HIDE), 1);
    ExpectLabels(MainWindow, MainMenuBarTable, Labels::MenuBar, language);
    ExpectLabels(MainWindow, MainMenuItemTable, Labels::MenuItems, language);

    for (const DialogCase& d : Dialogs) {
      SCOPED_TRACE(testing::Message() << "dialog " << d.templateId << ", language " << language);
      LanguageIndex = d.readsStoredLanguage ? (language + 1) % 3 : language;
      int defaultId = -1;
      const DialogStep escape = [](HWND dialog) {
        HWND focus = GetFocus();
        PostMessageW(focus ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
      };
      std::vector<DialogStep> steps(d.escapes, escape);
      steps[0] = [&](HWND dialog) {
        defaultId = LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0));
        if (d.labels) ExpectLabels(dialog, d.labels, Labels::Controls, language, d.unchecked);
        if (d.menuBar) ExpectLabels(dialog, d.menuBar, Labels::MenuBar, language);
        if (d.menuItems) ExpectLabels(dialog, d.menuItems, Labels::MenuItems, language);
        escape(dialog);
      };
      const INT_PTR result =
          DriveModal([&] { return RunModalDialog(MainWindow, d.templateId, d.procedure); }, std::move(steps));
      EXPECT_NE(result, -1);
      if (d.defaultId) {
        EXPECT_EQ(defaultId, d.defaultId);
      }
    }

    LanguageIndex = language;
    for (const PageCase& p : Pages) {
      SCOPED_TRACE(testing::Message() << "page " << p.templateId << ", language " << language);
      PROPSHEETPAGEW sheetPage = {};
      sheetPage.lParam = p.index;
      HWND page = CreateDialogParamW(Instance, MAKEINTRESOURCEW(p.templateId), sheet,
                                     p.procedure ? p.procedure : BarePage, reinterpret_cast<LPARAM>(&sheetPage));
      ASSERT_NE(page, nullptr);
      if (!p.procedure) RelabelControls(p.labels, page);
      ExpectLabels(page, p.labels, Labels::Controls, language, p.unchecked);
      DestroyWindow(page);
    }

    CloseMainWindow();
  }
  DestroyWindow(sheet);
  DeleteSettingsKey();
  LanguageIndex = English;
}

}  // namespace
