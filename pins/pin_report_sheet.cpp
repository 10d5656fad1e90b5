// The pin check's property sheet: the connector table of each used port,
// the ports Windows knows, the number errors and the details of a faulty
// pin.
#include "pins/pin_report_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/handles.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/texts.h"
#include "pins/portable/lpt_ports.h"
#include "pins/portable/pin_rules.h"
#include "resources/resource.h"

static const TextTriple PageTitleStem = {L"Pin Belegung LPT", L"Pin assignments LPT",
                                         L"Affectation des broches du port parallèle"};
static const TextTriple SheetCaptionDefault = {L"LPT Pin Zuordnung", L"LPT pin assignement",
                                               L"Affectation des broches du port parallèle"};
static const TextTriple LabelKnownPorts = {L"Im System bekannte LPT's", L"System known LPT's",
                                           L"Ports parallèles connus"};
static const TextTriple LabelDetails = {L"Detail Fehler", L"Detailed error", L"Erreur détaillée"};
static const TextTriple LabelNumberErrors = {L"Ungültige Pin und Port Nummern", L"Invalid pin and port numbers",
                                             L"Numéros de port et de broche invalides"};
static const TextTriple NoPageHeading = {L"Aktivierte Ports:", L"Activated ports:", L"Ports activés :"};
static const TextTriple NoPageVerdict = {L"Keine Pinzuweisung für Port", L"No pins assigned to port",
                                         L"Aucune broche assignée sur ce port"};

static const TextTriple ColumnPin = {L"Pin Nr", L"Pin nmb", L"Broche n°"};
static const TextTriple ColumnMachPort = {L"Mach Port Nr", L"Mach port nr", L"Port n°"};
static const TextTriple ColumnPortName = {L"Port Name", L"Port name", L"Port"};
static const TextTriple ColumnAddress = {L"Port Adresse", L"Port addr", L"Adresse"};
// "Signal" in French, unlike the Show params sheet's ColumnPinName.
static const TextTriple ColumnPinSignal = {L"Pin Name", L"Pin name", L"Signal"};
static const TextTriple ColumnDirection = {L"PC   CNC", L"PC   CNC", L"PC ou CNC"};
static const TextTriple ColumnLevel = {L"1 / 0 aktiv", L"1 / 0 active", L"actif à 1 ou 0"};
static const TextTriple ColumnHotKey = {L"Hotkey", L"Hotkey", L"Raccourci"};
static const TextTriple ColumnStatus = {L"Status", L"Status", L"État"};

struct PinColumn {
  const TextTriple* text;
  int width;
};

static const PinColumn PinColumns[PinColumnCount] = {
    {&ColumnPin, 50},      {&ColumnMachPort, 80}, {&ColumnPortName, 210}, {&ColumnAddress, 85}, {&ColumnPinSignal, 90},
    {&ColumnDirection, 70}, {&ColumnLevel, 60},   {&ColumnHotKey, 70},    {&ColumnStatus, 210},
};

const RelabelRow PinPageLabels[] = {
    {IDC_PIN_KNOWN_LABEL, &LabelKnownPorts},
    {IDC_PIN_DETAIL_LABEL, &LabelDetails},
    {IDC_PIN_ERRORS_LABEL, &LabelNumberErrors},
    {0, nullptr},
};

static constexpr int StatusColumn = 8;
static constexpr COLORREF FaultText = RGB(255, 0, 0);
static constexpr COLORREF FaultBack = RGB(200, 200, 200);

namespace {

// What the pages of one sheet share; lives while the sheet is shown.
struct PinCheckSession {
  PinModel model;
  NumberErrorList errors;
  PinUsageTable table;
  bool tableBuilt = false;
};

PinCheckSession* Session = nullptr;

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size = {};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// In the default font of a screen device context, as the error box shows them.
int WidestLine(const std::vector<std::wstring>& lines) {
  const WindowDc dc(nullptr);
  int widest = 0;
  for (const std::wstring& line : lines) widest = std::max(widest, TextWidth(dc, line));
  return widest;
}

// Width of a text in a list box's own font.
int ListBoxTextWidth(HWND box, const std::wstring& text) {
  const WindowDc dc(box);
  const SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
  return TextWidth(dc, text);
}

void AddListBoxLine(HWND page, int id, const std::wstring& text) {
  SendDlgItemMessageW(page, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void FillKnownPorts(HWND page) {
  for (const LptPortInfo& entry : LptPorts) {
    if (!entry.present) continue;
    AddListBoxLine(page, IDC_PIN_KNOWN_PORTS,
                   FormatText(L"0x%04X    %s", entry.address, entry.friendlyName.c_str()));
  }
}

void FillNumberErrors(HWND page, int port) {
  SendDlgItemMessageW(page, IDC_PIN_ERRORS, LB_SETHORIZONTALEXTENT, Session->errors.widestPixels, 0);
  if (port == 0) return;
  for (const std::wstring& line : Session->errors.lines) AddListBoxLine(page, IDC_PIN_ERRORS, line);
}

void InsertColumns(HWND list) {
  for (int i = 0; i < PinColumnCount; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = ScaleToScreen(PinColumns[i].width);
    column.pszText = const_cast<wchar_t*>(SelectText(*PinColumns[i].text));
    column.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void AddRow(HWND list, int index, const PinRow& row) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(row[0].c_str());
  const int inserted = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  for (int column = 1; column < PinColumnCount; ++column) {
    item.iItem = inserted;
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(row[column].c_str());
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void FillPinTable(HWND page, int port) {
  HWND list = GetDlgItem(page, IDC_PIN_TABLE);
  InsertColumns(list);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  if (port == 0) {
    const std::vector<PinRow> rows = BuildModbusRows(Session->model);
    for (size_t i = 0; i < rows.size(); ++i) AddRow(list, static_cast<int>(i), rows[i]);
  } else {
    const auto rows = BuildPinRows(port, Session->table, Session->model, LptPorts);
    for (int i = 0; i < PinRowCount; ++i) AddRow(list, i, rows[i]);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

int PagePort(HWND page) { return static_cast<int>(GetWindowLongPtrW(page, GWLP_USERDATA)); }

void OnInitPage(HWND page, const PROPSHEETPAGEW* sheetPage) {
  const int port = static_cast<int>(sheetPage->lParam);
  SetWindowLongPtrW(page, GWLP_USERDATA, port);
  RelabelControls(PinPageLabels, page);
  FillKnownPorts(page);
  FillNumberErrors(page, port);
  if (!Session->tableBuilt) {
    BuildPinUsageTable(Session->model, Session->table);
    Session->tableBuilt = true;
  }
  FillPinTable(page, port);
}

bool IsFaultyRow(int port, DWORD_PTR row) {
  if (port < 1 || port >= MachPortCount || row >= PinRowCount) return false;
  return (Session->table.pins[port][row + 1].flags & FaultFlags) != 0;
}

LRESULT OnCustomDraw(HWND page, NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      if (IsFaultyRow(PagePort(page), draw->nmcd.dwItemSpec)) {
        draw->clrText = FaultText;
        draw->clrTextBk = FaultBack;
        return CDRF_NEWFONT;
      }
      return CDRF_DODEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

// Only the rows of a parallel port's page are pins.
void OnItemActivate(HWND page, const NMITEMACTIVATE* activate) {
  HWND details = GetDlgItem(page, IDC_PIN_DETAILS);
  SendMessageW(details, LB_RESETCONTENT, 0, 0);
  const int port = PagePort(page);
  if (activate->iSubItem != StatusColumn || port < 1 || port >= MachPortCount) return;
  if (activate->iItem < 0 || activate->iItem >= PinRowCount) return;
  const int pin = activate->iItem + 1;
  const PinUsage& usage = Session->table.pins[port][pin];
  const std::vector<std::wstring> lines = PinFaultDetails(usage, pin);
  int extent = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    SendMessageW(details, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines[i].c_str()));
    if (i == 0 && (usage.flags & MultipleUse)) extent = ListBoxTextWidth(details, lines[i]);
  }
  SendMessageW(details, LB_SETHORIZONTALEXTENT, extent, 0);
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  if (header->idFrom != IDC_PIN_TABLE || !Session) return FALSE;
  switch (header->code) {
    case NM_CUSTOMDRAW:
      SetWindowLongPtrW(page, DWLP_MSGRESULT,
                        OnCustomDraw(page, reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header))));
      return TRUE;
    case LVN_ITEMACTIVATE:
      OnItemActivate(page, reinterpret_cast<const NMITEMACTIVATE*>(header));
      return TRUE;
    default:
      return FALSE;
  }
}

void SetDetailTabStops(HWND page) {
  const int stops[] = {1, 100};
  SendDlgItemMessageW(page, IDC_PIN_DETAILS, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
}

std::wstring EnabledPortNames(const PinModel& model) {
  std::wstring names;
  for (int port = 1; port < MachPortCount; ++port) {
    if (!model.ports[port].enabled) continue;
    if (!names.empty()) names += L", ";
    names += FormatText(L"Mach Port%d", port);
  }
  return names;
}

void ShowNoPageMessage(const PinModel& model) {
  const std::wstring text = FormatText(L"%s\n\r%s\n\r%s", SelectText(NoPageHeading),
                                       EnabledPortNames(model).c_str(), SelectText(NoPageVerdict));
  ShowErrorMessage(nullptr, text.c_str(), MB_TASKMODAL);
}

std::wstring PageTitle(int port) {
  if (port == 0) return L"Modbus";
  return FormatText(L"%s%d", SelectText(PageTitleStem), port);
}

}  // namespace

INT_PTR CALLBACK PinPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetDetailTabStops(page);
      if (Session) OnInitPage(page, reinterpret_cast<const PROPSHEETPAGEW*>(lParam));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
  }
  return FALSE;
}

INT_PTR PinReportSheet(HWND owner, const PinModel& model, const std::wstring& profilePath,
                       const std::wstring* profileName, bool showAllReferencedPorts) {
  auto session = std::make_unique<PinCheckSession>();
  session->model = model;
  UsedPorts used = {};
  ValidatePinModel(session->model, showAllReferencedPorts, session->errors, used);
  session->errors.widestPixels = WidestLine(session->errors.lines);
  ResetPinUsageTable(session->table);

  std::vector<SheetPage> pages;
  for (int port = 0; port < MachPortCount; ++port) {
    if (used[port]) pages.push_back({IDD_PIN_PAGE, PageTitle(port), port});
  }
  if (pages.empty()) {
    ShowNoPageMessage(session->model);
    return -1;
  }
  const std::wstring caption =
      FormatText(L"%s %s", profilePath.c_str(), profileName ? profileName->c_str() : SelectText(SheetCaptionDefault));

  PinCheckSession* outer = Session;
  Session = session.get();
  const INT_PTR result = RunPropertySheet(owner, caption, pages, PinPageProc);
  Session = outer;
  return result;
}
