// The five pages of the Show params sheet.
#include "pins/show_params_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/common_dialogs.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "pins/pin_print.h"
#include "pins/portable/lpt_ports.h"
#include "pins/portable/profile_source.h"
#include "pins/portable/show_params.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"

static const TextTriple SheetTitle = {L"Parameter anzeigen", L"Show parameters", L"Show parameters"};
static const TextTriple TitleMotors = {L"Motore / Achsen", L"Motors / axis", L"Motors / axis"};
static const TextTriple TitleUsedPins = {L"Benutzte Pins", L"Used pins", L"Used pins"};
static const TextTriple TitleInputPins = {L"Eingabe Pins", L"Input pins", L"Input pins"};
static const TextTriple TitleOutputPins = {L"Ausgabe Pins", L"Output pins", L"Output pins"};
static const TextTriple TitleEncoderPins = {L"Enkoder / Handrad Pins", L"Encoder / MPG pins", L"Encoder / MPG pins"};
static const TextTriple LabelPath = {L"Profil Pfad-Dateiname", L"Profile path-filename", L"Profile path-filename"};
static const TextTriple TextMissingInProfile = {L"fehlt in Profil ", L"missing in profile ", L"missing in profile "};
static const TextTriple TextNoMotor = {L"Keine zugewiesenen Pins für Motoren gefunden", L"No assigned pins for motors found",
                                       L"No assigned pins for motors found"};

static const TextTriple ColumnLowActive = {L"Null aktiv", L"Low activ", L"Low activ"};
static const TextTriple ColumnEmulated = {L"Emuliert", L"Emulated", L"Emulated"};
static const TextTriple ColumnEmulatedKey = {L"Emul. Taste", L"Emul. key", L"Emul. key"};
static const TextTriple ColumnPortA = {L"Port Nummer A", L"Port number A", L"Port number A"};
static const TextTriple ColumnPinA = {L"Pin Nummer A", L"Pin number A", L"Pin number A"};
static const TextTriple ColumnPortB = {L"Port Nummer B", L"Port number B", L"Port number B"};
static const TextTriple ColumnPinB = {L"Pin Nummer B", L"Pin number B", L"Pin number B"};
static const TextTriple ColumnCal = {L"Cal", L"Cal", L"Cal"};

namespace {

struct ListColumn {
  const TextTriple* text;
  int width;
};

const ListColumn UsedColumns[] = {{&ColumnPinName, 150}, {&ColumnPortNumber, 100}, {&ColumnPinNumber, 100}};
const ListColumn InputColumns[] = {{&ColumnPinName, 150},   {&ColumnPortNumber, 100}, {&ColumnPinNumber, 100},
                                   {&ColumnLowActive, 100}, {&ColumnEmulated, 100},   {&ColumnEmulatedKey, 100}};
const ListColumn OutputColumns[] = {
    {&ColumnPinName, 150}, {&ColumnPortNumber, 100}, {&ColumnPinNumber, 100}, {&ColumnLowActive, 100}};
const ListColumn EncoderColumns[] = {{&ColumnPinName, 150}, {&ColumnPortA, 100}, {&ColumnPinA, 100},
                                     {&ColumnPortB, 100},   {&ColumnPinB, 100},  {&ColumnCal, 100}};

enum PageIndex { MotorPage, UsedPage, InputPage, OutputPage, EncoderPage, PageCount };

struct PageKind {
  int templateId;
  const TextTriple* title;
  int listId;  // 0 on the motor page
  ParamList list;
  const ListColumn* columns;
  int columnCount;
};

const PageKind Pages[PageCount] = {
    {IDD_PARAMS_MOTORS, &TitleMotors, 0, ParamList::UsedPins, nullptr, 0},
    {IDD_PARAMS_USED, &TitleUsedPins, IDC_PARAMS_USED_LIST, ParamList::UsedPins, UsedColumns, 3},
    {IDD_PARAMS_INPUTS, &TitleInputPins, IDC_PARAMS_INPUT_LIST, ParamList::InputPins, InputColumns, 6},
    {IDD_PARAMS_OUTPUTS, &TitleOutputPins, IDC_PARAMS_OUTPUT_LIST, ParamList::OutputPins, OutputColumns, 4},
    {IDD_PARAMS_ENCODERS, &TitleEncoderPins, IDC_PARAMS_ENCODER_LIST, ParamList::EncoderPins, EncoderColumns, 6},
};

// The pages created so far in the open sheet.
HWND PageWindows[PageCount] = {};
// False after a browse whose profile could not be read: the pages stay
// empty and nothing prints until a profile is read.
bool ProfileLoaded = false;

}  // namespace

const RelabelRow ListPageLabels[] = {
    {IDC_PARAMS_PATH_LABEL, &LabelPath},
    {IDC_PARAMS_PRINT_LIST, &TextPrint},
    {0, nullptr},
};
const RelabelRow MotorPageLabels[] = {
    {IDC_PARAMS_PRINT_MOTORS, &TextPrint},
    {0, nullptr},
};

namespace {

int PageOf(HWND page) { return static_cast<int>(GetWindowLongPtrW(page, GWLP_USERDATA)); }

// ---- lists

void InsertListColumns(HWND list, const PageKind& kind) {
  for (int i = 0; i < kind.columnCount; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_CENTER;
    column.cx = ScaleToScreen(kind.columns[i].width);
    column.pszText = const_cast<wchar_t*>(SelectText(*kind.columns[i].text));
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_DOUBLEBUFFER);
}

void SetListRows(HWND list, const std::vector<ParamRow>& rows, int columnCount) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(r);
    item.pszText = const_cast<wchar_t*>(rows[r][0].c_str());
    const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    const int cells = std::min<int>(columnCount, static_cast<int>(rows[r].size()));
    for (int column = 1; column < cells; ++column) {
      item.iItem = index;
      item.iSubItem = column;
      item.pszText = const_cast<wchar_t*>(rows[r][column].c_str());
      SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void RebuildList(int index) {
  HWND page = PageWindows[index];
  if (!page || !Pages[index].listId) return;
  const PageKind& kind = Pages[index];
  SetListRows(GetDlgItem(page, kind.listId), BuildParamRows(kind.list, LoadedProfileLookup()), kind.columnCount);
}

void ClearList(int index) {
  HWND page = PageWindows[index];
  if (page && Pages[index].listId) SendDlgItemMessageW(page, Pages[index].listId, LVM_DELETEALLITEMS, 0, 0);
}

std::vector<ParamRow> ListRows(HWND list, int columnCount) {
  std::vector<ParamRow> rows(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (size_t r = 0; r < rows.size(); ++r) {
    for (int column = 0; column < columnCount; ++column) {
      wchar_t text[260] = {};
      LVITEMW item = {};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = 260;
      SendMessageW(list, LVM_GETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
      rows[r].push_back(text);
    }
  }
  return rows;
}

// Ascending by the clicked column; rows that compare equal keep their order.
void SortList(HWND page, int column) {
  const PageKind& kind = Pages[PageOf(page)];
  HWND list = GetDlgItem(page, kind.listId);
  std::vector<ParamRow> rows = ListRows(list, kind.columnCount);
  std::stable_sort(rows.begin(), rows.end(),
                   [column](const ParamRow& a, const ParamRow& b) { return CompareParamRows(a, b, column) < 0; });
  SetListRows(list, rows, kind.columnCount);
}

// ---- motor page

struct MotorRowControl {
  int base;
  std::wstring MotorRowValues::*value;  // null for labels and the group box
};

const MotorRowControl MotorRowControls[] = {
    {IDC_MOTOR_GROUP, nullptr},
    {IDC_MOTOR_DIR_LABEL, nullptr},
    {IDC_MOTOR_STEP_LABEL, nullptr},
    {IDC_MOTOR_DIR_PORT, &MotorRowValues::dirPort},
    {IDC_MOTOR_DIR_PIN, &MotorRowValues::dirPin},
    {IDC_MOTOR_DIR_LOW, &MotorRowValues::dirNeg},
    {IDC_MOTOR_STEP_PORT, &MotorRowValues::stepPort},
    {IDC_MOTOR_STEP_PIN, &MotorRowValues::stepPin},
    {IDC_MOTOR_STEP_LOW, &MotorRowValues::stepNeg},
    {IDC_MOTOR_STEPS, &MotorRowValues::steps},
    {IDC_MOTOR_VELOCITY, &MotorRowValues::velocity},
    {IDC_MOTOR_ACCEL, &MotorRowValues::accel},
    {IDC_MOTOR_REVERSED, &MotorRowValues::reversed},
    {IDC_MOTOR_HOME_NEG, &MotorRowValues::homeNeg},
};

const int MotorPageSharedControls[] = {
    IDC_HEAD_PORT,  IDC_HEAD_PIN,        IDC_HEAD_LOW,  IDC_HEAD_REVERSED,    IDC_HEAD_HOME_NEG,
    IDC_HEAD_STEPS, IDC_HEAD_VELOCITY,   IDC_HEAD_ACCEL, IDC_PULSE_LABEL,     IDC_PULSE_DIR_LABEL,
    IDC_PULSE_DIR,  IDC_PULSE_STEP_LABEL, IDC_PULSE_STEP, IDC_PORT2_INPUT,
};

void ShowItem(HWND page, int id, bool show) { ShowWindow(GetDlgItem(page, id), show ? SW_SHOW : SW_HIDE); }

// Headings, pulse widths and the port-2 box go with the rows: they are
// shown as soon as any motor row is.
void ShowMotorValues(HWND page, const MotorPageValues& values) {
  for (int row = 0; row < MotorRowCount; ++row) {
    const MotorRowValues& motor = values.rows[row];
    for (const MotorRowControl& control : MotorRowControls) {
      const int id = control.base + row;
      ShowItem(page, id, motor.shown);
      if (control.value) SetDlgItemTextW(page, id, motor.shown ? (motor.*control.value).c_str() : L"");
    }
    SetDlgItemTextW(page, IDC_MOTOR_GROUP + row, MotorRowName(row));
    EnableWindow(GetDlgItem(page, IDC_MOTOR_GROUP + row), motor.shown);
  }
  for (int id : MotorPageSharedControls) ShowItem(page, id, values.anyActive);
  SetDlgItemTextW(page, IDC_PULSE_DIR, values.dirPulse.c_str());
  SetDlgItemTextW(page, IDC_PULSE_STEP, values.stepPulse.c_str());
  CheckDlgButton(page, IDC_PORT2_INPUT,
                 values.anyActive && ProfileInteger(values.port2Input.c_str()) != 0 ? BST_CHECKED : BST_UNCHECKED);
}

// One question for all keys missing from this reading.
bool AskAboutMissingKeys(HWND page, const std::vector<std::wstring>& keys) {
  std::wstring list;
  for (const std::wstring& key : keys) list += (list.empty() ? L"" : L", ") + key;
  const std::wstring text =
      FormatText(L"%s %s %s", list.c_str(), SelectText(TextMissingInProfile), Settings.filenameCheckPorts);
  return ShowErrorMessage(page, text.c_str(), MB_OKCANCEL) == IDOK;
}

// Reads the motor page from the loaded profile, asking about missing keys;
// false when no motor is active.
bool FillMotorPage(HWND page) {
  const MotorPageValues values = ReadMotorPage(
      LoadedProfileLookup(), [page](const std::vector<std::wstring>& keys) { return AskAboutMissingKeys(page, keys); });
  ShowMotorValues(page, values);
  PrintedMotorValues = MotorPrintValuesOf(values);
  return values.anyActive;
}

void ShowNoMotorMessage(HWND page) { ShowErrorMessage(page, SelectText(TextNoMotor)); }

// ---- page events

void EnablePrinting(HWND page) {
  EnableWindow(GetDlgItem(page, IDC_PARAMS_PRINT_MOTORS), ProfileLoaded);
  EnableWindow(GetDlgItem(page, IDC_PARAMS_PRINT_LIST), ProfileLoaded);
}

void OnInitPage(HWND page, const PROPSHEETPAGEW* sheetPage) {
  const int index = static_cast<int>(sheetPage->lParam);
  SetWindowLongPtrW(page, GWLP_USERDATA, index);
  PageWindows[index] = page;
  SetDlgItemTextW(page, IDC_PARAMS_PATH, Settings.filenameCheckPorts);
  EnablePrinting(page);
  if (index == MotorPage) {
    RelabelControls(MotorPageLabels, page);
    if (ProfileLoaded) FillMotorPage(page);
    else ShowMotorValues(page, MotorPageValues{});
    return;
  }
  RelabelControls(ListPageLabels, page);
  InsertListColumns(GetDlgItem(page, Pages[index].listId), Pages[index]);
  if (ProfileLoaded) RebuildList(index);
}

// A repainted page shows the stored path again and rebuilds its list from
// the loaded profile (the motor page the used-pins list), so a sort lasts
// until the next repaint. Only child windows are changed: the page's own
// paint is not asked for again.
void OnPaint(HWND page) {
  SetDlgItemTextW(page, IDC_PARAMS_PATH, Settings.filenameCheckPorts);
  const int index = PageOf(page);
  if (ProfileLoaded) RebuildList(index == MotorPage ? UsedPage : index);
}

// Nothing of the profile before may pass for the new file's: every page
// shows the profile now loaded, or nothing when it could not be read.
void RefillAllPages(int browsedFrom) {
  for (HWND page : PageWindows) {
    if (page) EnablePrinting(page);
  }
  for (int i = UsedPage; i < PageCount; ++i) {
    if (ProfileLoaded) RebuildList(i);
    else ClearList(i);
  }
  HWND motorPage = PageWindows[MotorPage];
  if (!ProfileLoaded) {
    PrintedMotorValues = {};
    if (motorPage) ShowMotorValues(motorPage, MotorPageValues{});
    return;
  }
  if (motorPage && !FillMotorPage(motorPage) && (browsedFrom == MotorPage || browsedFrom == UsedPage)) {
    ShowNoMotorMessage(motorPage);
  }
}

void OnBrowse(HWND page) {
  if (!ChooseProfileSetting(Settings.filenameCheckPorts)) return;
  SetDlgItemTextW(page, IDC_PARAMS_PATH, Settings.filenameCheckPorts);
  ProfileLoaded = ReadProfile(FirstProfileSlot, Settings.filenameCheckPorts) != 0;
  RefillAllPages(PageOf(page));
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  if (header->code == LVN_COLUMNCLICK && static_cast<int>(header->idFrom) == Pages[PageOf(page)].listId) {
    SortList(page, reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK ShowParamsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitPage(page, reinterpret_cast<const PROPSHEETPAGEW*>(lParam));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_PAINT:
      OnPaint(page);
      return FALSE;  // the dialog paints itself as usual
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PARAMS_BROWSE:
          OnBrowse(page);
          return TRUE;
        case IDC_PARAMS_PRINT_MOTORS:
        case IDC_PARAMS_PRINT_LIST:
          PrintPinTables(page, LOWORD(wParam));
          return TRUE;
      }
      break;
    case WM_DESTROY:
      PageWindows[PageOf(page)] = nullptr;
      break;
  }
  return FALSE;
}

static bool EnsureProfileChosen() {
  return Settings.filenameCheckPorts[0] != L'\0' || ChooseProfileSetting(Settings.filenameCheckPorts);
}

void ShowParamsSheet(HWND owner) {
  LoadAllSettings();
  if (!EnsureProfileChosen()) return;
  if (!ReadProfile(FirstProfileSlot, Settings.filenameCheckPorts)) return;
  ProfileLoaded = true;
  DiscoverLptPorts();

  std::vector<SheetPage> pages;
  for (int i = 0; i < PageCount; ++i) pages.push_back({Pages[i].templateId, SelectText(*Pages[i].title), i});
  RunPropertySheet(owner, FormatText(L"%s %s  %s", ProgramName, VersionText, SelectText(SheetTitle)), pages,
                   ShowParamsPageProc);
  ReleasePinProfile();
}
