// The About box: program name and version, and who translated it.
#include "app/dialogs.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "resources/resource.h"

static const TextTriple TranslationCredit = {
    L"Übersetzung: Deutsch, Englisch und Französisch vom Kestrelwood-Team",
    L"Translation: German, English and French by the Kestrelwood team",
    L"Traduction : allemand, anglais et français par l'équipe Kestrelwood"};

static HFONT VersionFont = nullptr;

static void OnInitAbout(HWND dialog) {
  SetDlgItemTextW(dialog, IDC_ABOUT_CREDIT, SelectText(TranslationCredit));
  VersionFont = CreateFontW(17, 6, 0, 0, 600, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0x40, L"MS Shell");
  SendDlgItemMessageW(dialog, IDC_ABOUT_VERSION, WM_SETFONT, reinterpret_cast<WPARAM>(VersionFont), FALSE);
  SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, FormatText(L"Kestrelwood %s", VersionText).c_str());
}

static void CloseAbout(HWND dialog, INT_PTR result) {
  EndDialog(dialog, result);
  if (VersionFont) DeleteObject(VersionFont);
  VersionFont = nullptr;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitAbout(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        CloseAbout(dialog, 1);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        CloseAbout(dialog, 2);
        return TRUE;
      }
      break;
  }
  return FALSE;
}
