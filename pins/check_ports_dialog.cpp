// The Check ports and pins dialog.
#include "pins/check_ports_dialog.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "pins/pin_report_sheet.h"
#include "pins/portable/lpt_ports.h"
#include "pins/portable/profile_source.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"

static const TextTriple LabelProfileName = {L"Profile Name. Bitte mit Taste \"durchsuchen\" festlegen.",
                                            L"Profile name. Please use button \"Browse\" to specify.",
                                            L"Nom du profil. Utilisez le bouton \"Parcourir...\" pour la sélection."};
static const TextTriple TextNoLptFound = {L"Keine LPT Schnittstelle gefunden", L"No LPT interface found",
                                          L"Aucune interface parallèle dérectée"};
static const TextTriple LabelShowAll = {L"Alle referenzierten LPT's anzeigen", L"Show all referenced LPT's",
                                        L"Montrer toutes les interfaces parallèle"};
static const TextTriple ButtonCheck = {L"Prüfen", L"Check", L"Vérifier"};

const RelabelRow CheckPortsLabels[] = {
    {IDC_CHECK_PORTS_CHECK, &ButtonCheck},
    {IDC_CHECK_PORTS_SHOW_ALL, &LabelShowAll},
    {IDC_CHECK_PORTS_PATH_LABEL, &LabelProfileName},
    {IDCANCEL, &TextCancel},
    {0, nullptr},
};

static constexpr COLORREF WarningRed = RGB(255, 0, 0);

static void FillKnownPortList(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_CHECK_PORTS_LIST);
  const WindowDc dc(list);
  const SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (const LptPortInfo& entry : LptPorts) {
    if (!entry.present) continue;
    const std::wstring line =
        FormatText(L"%s   %s    0x%x", entry.friendlyName.c_str(), entry.portName.c_str(), entry.address);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SIZE size = {};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    widest = std::max<int>(widest, size.cx);
  }
  if (widest > 0) SendMessageW(list, LB_SETHORIZONTALEXTENT, widest, 0);
}

static void OnInitDialog(HWND dialog) {
  StartDialog(dialog, {&TextCheckPorts, CheckPortsLabels});
  SetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, Settings.filenameCheckPorts);
  CheckDlgButton(dialog, IDC_CHECK_PORTS_SHOW_ALL, Settings.showAllReferencedPorts ? BST_CHECKED : BST_UNCHECKED);
  if (DiscoverLptPorts() == 0) {
    SendDlgItemMessageW(dialog, IDC_CHECK_PORTS_NO_PORT, WM_SETFONT,
                        reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
    SetDlgItemTextW(dialog, IDC_CHECK_PORTS_NO_PORT, SelectText(TextNoLptFound));
  }
  FillKnownPortList(dialog);
}

static void OnBrowse(HWND dialog) {
  if (!ChooseProfileSetting(Settings.filenameCheckPorts)) return;
  SetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, Settings.filenameCheckPorts);
}

static void OnShowAllClicked(HWND dialog) {
  Settings.showAllReferencedPorts = IsDlgButtonChecked(dialog, IDC_CHECK_PORTS_SHOW_ALL) == BST_CHECKED ? 1 : 0;
  StoreSettings({&Settings.showAllReferencedPorts});
}

// The sheet is owned by this dialog: owned by the main window, its end
// would enable the main window under this still open dialog.
static void OnCheck(HWND dialog) {
  wchar_t path[PathCapacity] = {};
  GetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, path, PathCapacity);
  if (path[0] == L'\0') {
    ShowErrorMessage(dialog, SelectText(TextSpecifyFile));
    return;
  }
  if (!ReadProfile(FirstProfileSlot, path)) return;
  HWND check = GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK);
  EnableWindow(check, FALSE);
  DiscoverLptPorts();
  const PinModel model = ReadPinModel(LoadedProfileLookup());
  std::wstring profileName;
  const bool named = FindProfileValue(L"Profile", profileName);
  PinReportSheet(dialog, model, path, named ? &profileName : nullptr, Settings.showAllReferencedPorts != 0);
  EnableWindow(check, TRUE);
}

static INT_PTR OnControlColour(HWND dialog, HDC dc, HWND control) {
  if (control != GetDlgItem(dialog, IDC_CHECK_PORTS_NO_PORT)) return FALSE;
  SetTextColor(dc, WarningRed);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR CALLBACK CheckPortsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return OnControlColour(dialog, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_CHECK_PORTS_BROWSE:
          OnBrowse(dialog);
          return TRUE;
        case IDC_CHECK_PORTS_SHOW_ALL:
          OnShowAllClicked(dialog);
          return TRUE;
        case IDC_CHECK_PORTS_CHECK:
          OnCheck(dialog);
          return TRUE;
        case IDCANCEL:
          ReleasePinProfile();
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}
