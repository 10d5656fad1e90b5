// The Show Settings dialog (template 151) and its commands.
#include "settings_view/show_settings_dialog.h"

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/mach3_check.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "profile/portable/profile_list.h"
#include "resources/resource.h"
#include "settings_view/output_window.h"
#include "settings_view/portable/settings_values.h"
#include "settings_view/print_file_io.h"
#include "settings_view/renderer.h"
#include "settings_view/settings_load.h"
#include "settings_view/settings_printing.h"

const TextTriple TextCloseOutputFirst = {L"Bitte Ausgabe Fenster schließen", L"Please close output window first",
                                         L"Please close output window first"};
const TextTriple TextNoDataSelected = {L"Keine Daten ausgewählt", L"No data selected", L"No data selected"};
const TextTriple TextNoPrintFilePath = {L"Kein Druck Datei Pfad angegeben", L"No Print-file path specified",
                                        L"No Print-file path specified"};
const TextTriple TextPrintFileNotFound = {L"Druck Datei nicht gefunden", L"Print File not found",
                                          L"Print File not found"};

static const TextTriple TextProfilePath = {L"Profil Pfad", L"Profile path", L"Profile path"};
static const TextTriple TextPrintFilePathLabel = {L"Druck Datei Pfad", L"Print file path", L"Print file path"};
static const TextTriple TextSetAll = {L"Alle setzen", L"Set all", L"Set all"};
static const TextTriple TextClearAll = {L"Alle rücksetzen", L"Clear all", L"Clear all"};
static const TextTriple TextOptions = {L"Optionen", L"Options", L"Options"};
static const TextTriple TextNewPage = {L"Für jeden Dlg eine Seite", L"Show each dlg on a new page",
                                       L"Show each dlg on a new page"};
static const TextTriple TextValidOnly = {L"Nur aktuelle Daten anzeigen", L"Show only valid data",
                                         L"Show only valid data"};
static const TextTriple TextPrinterSelection = {L"Drucker Auswahl", L"Printer selection", L"Printer selection"};
static const TextTriple TextShow = {L"Anzeigen", L"Show", L"Show"};
static const TextTriple TextPrintToFile = {L"In Datei drucken", L"Print to file", L"Print to file"};
static const TextTriple TextShowFromFile = {L"Aus Datei anzeigen", L"Show from file", L"Show from file"};
static const TextTriple TextPrintFromFile = {L"Aus Datei drucken", L"Print from file", L"Print from file"};

const RelabelRow ShowSettingsRelabelTable[] = {
    {IDC_SETTINGS_PROFILE_LABEL, &TextProfilePath},
    {IDC_SETTINGS_PRINT_FILE_LABEL, &TextPrintFilePathLabel},
    {IDC_SETTINGS_SET_ALL, &TextSetAll},
    {IDC_SETTINGS_CLEAR_ALL, &TextClearAll},
    {IDC_SETTINGS_OPTIONS, &TextOptions},
    {IDC_SETTINGS_NEW_PAGE, &TextNewPage},
    {IDC_SETTINGS_VALID_ONLY, &TextValidOnly},
    {IDC_SETTINGS_PRINTER, &TextPrinterSelection},
    {IDC_SETTINGS_SHOW, &TextShow},
    {IDC_SETTINGS_PRINT, &TextPrint},
    {IDC_SETTINGS_PRINT_TO_FILE, &TextPrintToFile},
    {IDC_SETTINGS_SHOW_FROM_FILE, &TextShowFromFile},
    {IDC_SETTINGS_PRINT_FROM_FILE, &TextPrintFromFile},
    {IDC_SETTINGS_CLOSE, &TextClose},
    {0, nullptr},
};

// Held for the run, like the profile path in the settings.
static wchar_t PrintFilePath[PathCapacity];

static const wchar_t PrintFileFilter[] = L"*.kws\0*.kws\0";

std::wstring ReadPrintFilePath(HWND dialog) {
  GetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, PrintFilePath, PathCapacity);
  return PrintFilePath;
}

static uint32_t SelectionMask(HWND dialog) {
  uint32_t mask = 0;
  for (int i = 0; i < SettingsDialogCount; ++i) {
    if (IsDlgButtonChecked(dialog, IDC_SETTINGS_FIRST_DIALOG + i) == BST_CHECKED) mask |= 1u << i;
  }
  return mask;
}

static void TickAllDialogs(HWND dialog, bool ticked) {
  for (int id = IDC_SETTINGS_FIRST_DIALOG; id <= IDC_SETTINGS_LAST_DIALOG; ++id) {
    CheckDlgButton(dialog, id, ticked ? BST_CHECKED : BST_UNCHECKED);
  }
  Render.mask = ticked ? (1u << SettingsDialogCount) - 1 : 0;
}

static void ReadOptions(HWND dialog) {
  Render.validOnly = IsDlgButtonChecked(dialog, IDC_SETTINGS_VALID_ONLY) == BST_CHECKED;
  Render.newPagePerDialog = IsDlgButtonChecked(dialog, IDC_SETTINGS_NEW_PAGE) == BST_CHECKED;
}

static bool RefuseWhileOutputOpen(HWND dialog) {
  if (!SettingsOutputWindow) return false;
  ShowInfoMessage(dialog, SelectText(TextCloseOutputFirst), MB_OK);
  return true;
}

static void ReportNoDataSelected() {
  ShowErrorMessage(nullptr, SelectText(TextNoDataSelected), MB_TOPMOST | MB_TASKMODAL);
}

static void ReportDialogError(HWND dialog, const TextTriple& text) {
  ShowErrorMessage(dialog, SelectText(text), MB_TOPMOST);
}

static void PaintWhite(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(WindowDc(window), &client, RenderGdi.whiteBrush);
}

static void DrawIntoOutputWindow() {
  const WindowDc dc(SettingsOutputWindow);
  SetWindowOrgEx(dc, 0, ScrollPosition, nullptr);
  DrawSelectedDialogs(DrawingTarget{dc, nullptr});
}

// The file goes from the profile the dialog shows, as Show and Print take
// it; kept for the next start. An empty field leaves the choice to the
// open-file dialog.
static void TakeProfilePath(HWND dialog) {
  GetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, Settings.filenameProfile1, PathCapacity);
  if (Settings.filenameProfile1[0] != L'\0') StoreSettings({Settings.filenameProfile1});
}

void ShowOrPrintSettings(HWND dialog, bool print) {
  const std::wstring printer = DialogItemText(dialog, IDC_SETTINGS_PRINTER);
  if (RefuseWhileOutputOpen(dialog)) return;
  if (CheckMach3Running(Mach3AskToContinue)) return;
  GetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, Settings.filenameProfile1, PathCapacity);
  if (!LoadSettingsValues()) return;
  GatherPlugins();
  ScrollPosition = 0;
  Render.printing = 0;
  Render.split = 0;
  Render.mask = SelectionMask(dialog);
  if (Render.mask == 0) {
    ReportNoDataSelected();
    return;
  }
  if (!CreateSettingsOutputWindow()) return;
  PaintWhite(SettingsOutputWindow);
  ReadOptions(dialog);
  GetLocalTime(&Render.headerTime);
  PrepareLayout(Render.validOnly);
  SetupScrollRange();
  if (!print) {
    DrawIntoOutputWindow();
    return;
  }
  Render.printing = 1;
  PrintSelectedDialogs(printer);
}

void ShowOrPrintFromFile(HWND dialog, bool print) {
  if (RefuseWhileOutputOpen(dialog)) return;
  const std::wstring path = ReadPrintFilePath(dialog);
  if (path.empty()) {
    ReportDialogError(dialog, TextNoPrintFilePath);
    return;
  }
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ReportDialogError(dialog, TextPrintFileNotFound);
    return;
  }
  ReadOptions(dialog);
  Render.mask = SelectionMask(dialog);
  if (Render.mask == 0) {
    ReportNoDataSelected();
    return;
  }
  PrintFileMask = 0;
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!OpenFileHandle(path.c_str(), GENERIC_READ, OPEN_EXISTING, &file)) return;
  if (!ReadPrintFile(file)) return;
  PrepareLayout(Render.validOnly);
  SetupScrollRange();
  Render.mask &= PrintFileMask;
  Render.split = 0;
  if (!print) {
    if (!CreateSettingsOutputWindow()) return;
    SetupScrollRange();
    Render.printing = 0;
    PaintWhite(SettingsOutputWindow);
    DrawIntoOutputWindow();
    return;
  }
  Render.printing = 1;
  const std::wstring printer = DialogItemText(dialog, IDC_SETTINGS_PRINTER);
  if (!CreateSettingsOutputWindow()) return;
  HDC printerDc = OpenSettingsPrinter(printer);
  DestroySettingsOutputWindow();
  if (!printerDc) return;
  PrintOnPrinter(printerDc);
}

static void OnChooseProfile(HWND dialog) {
  if (!ChooseProfileSetting(Settings.filenameProfile1)) return;
  SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, Settings.filenameProfile1);
}

static void OnChoosePrintFile(HWND dialog) {
  wchar_t path[PathCapacity] = {};
  if (!ChooseOpenFile(path, nullptr, PrintFileFilter, SelectText(TextOpenProfileTitle))) return;
  CopyText(PrintFilePath, PathCapacity, path);
  SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, PrintFilePath);
}

static void FillPrinterList(HWND dialog) {
  HWND combo = GetDlgItem(dialog, IDC_SETTINGS_PRINTER);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& name : SpoolerPrinterNames()) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  const std::wstring defaultPrinter = SpoolerDefaultPrinter();
  if (!defaultPrinter.empty()) {
    const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(defaultPrinter.c_str()));
    if (index != CB_ERR) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  EnableWindow(GetDlgItem(dialog, IDC_SETTINGS_PRINT), !defaultPrinter.empty());
}

static void OnInitDialog(HWND dialog) {
  StartDialog(dialog, {.controls = ShowSettingsRelabelTable, .caption = false});
  SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, Settings.filenameProfile1);
  SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, PrintFilePath);
  CreateRenderObjects();
  FillPrinterList(dialog);
  CheckDlgButton(dialog, IDC_SETTINGS_VALID_ONLY, BST_CHECKED);
}

static void OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_SETTINGS_CHOOSE_PROFILE:
      OnChooseProfile(dialog);
      break;
    case IDC_SETTINGS_CHOOSE_PRINT_FILE:
      OnChoosePrintFile(dialog);
      break;
    case IDC_SETTINGS_SET_ALL:
      TickAllDialogs(dialog, true);
      break;
    case IDC_SETTINGS_CLEAR_ALL:
      TickAllDialogs(dialog, false);
      break;
    case IDC_SETTINGS_SHOW:
      ShowOrPrintSettings(dialog, false);
      break;
    case IDC_SETTINGS_PRINT:
      ShowOrPrintSettings(dialog, true);
      break;
    case IDC_SETTINGS_PRINT_TO_FILE:
      TakeProfilePath(dialog);
      PrintToFile(dialog);
      DestroySettingsOutputWindow();
      break;
    case IDC_SETTINGS_PRINT_FROM_FILE:
      ShowOrPrintFromFile(dialog, true);
      DestroySettingsOutputWindow();
      break;
    case IDC_SETTINGS_SHOW_FROM_FILE:
      ShowOrPrintFromFile(dialog, false);
      break;
    case IDC_SETTINGS_CLOSE:
      // The pen, brushes and font stay: the output window may outlive the dialog.
      ReleaseAllProfiles();
      EndDialog(dialog, IDC_SETTINGS_CLOSE);
      break;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      break;
    default:
      break;
  }
}

INT_PTR CALLBACK ShowSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}
