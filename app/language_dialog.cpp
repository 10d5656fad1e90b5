// The Language dialog: switches the language of the running program and
// stores it for the next start.
#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/texts.h"
#include "resources/resource.h"

static const TextTriple TextNoLanguage = {L"Keine Sprache ausgewählt", L"No language selected",
                                          L"Pas de langue sélectionnée"};

const RelabelRow LanguageControls[] = {{IDCANCEL, &TextCancel}, {0, nullptr}};

static void OnInitLanguage(HWND dialog) {
  StartDialog(dialog, {nullptr, LanguageControls});
  // The list sorts its entries; these are already in alphabetical order, so
  // a position in the list is a language index.
  for (const wchar_t* name : {L"Deutsch", L"English", L"Français"}) {
    SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  }
  SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_SETCURSEL, LanguageIndex, 0);
}

static void OnLanguageOk(HWND dialog) {
  const LRESULT selected = SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) {
    ShowErrorMessage(dialog, SelectText(TextNoLanguage));
    return;
  }
  LanguageIndex = static_cast<int32_t>(selected);
  StoreSettings({&LanguageIndex});
  RelabelMainMenu(MainWindow);
  EndDialog(dialog, 1);
}

INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitLanguage(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          OnLanguageOk(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 2);
          return TRUE;
      }
      break;
  }
  return FALSE;
}
