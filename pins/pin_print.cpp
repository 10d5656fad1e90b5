// Printing the pin tables line by line on a printer device context.
#include "pins/pin_print.h"

#include <commctrl.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/common_dialogs.h"
#include "app/main_window.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "resources/resource.h"

MotorPrintValues PrintedMotorValues = {};

static const TextTriple TextYes = {L"Ja", L"Yes", L"Yes"};
static const TextTriple TextNo = {L"Nein", L"No", L"No"};
static const TextTriple HeadSteps = {L"Schritte", L"Steps", L"Steps"};
static const TextTriple HeadVelocity = {L"Geschw.", L"Veloc.", L"Veloc."};
static const TextTriple HeadAccel = {L"Beschl", L"Accel.", L"Accel."};
static const TextTriple TextPort2Input = {L"Port2 Pins 2-9 als Eingabepins festlegen", L"Use port2 pins 2-9 as input pins",
                                          L"Use port2 pins 2-9 as input pins"};
const TextTriple ColumnPinName = {L"Pin Name", L"Pin name", L"Pin name"};
const TextTriple ColumnPortNumber = {L"Port Nummer", L"Port number", L"Port number"};
const TextTriple ColumnPinNumber = {L"Pin Nummer", L"Pin number", L"Pin number"};

static const wchar_t* const DocumentName = L"Kestrelwood Brannoc";

// The header, headings, rows and footer all stay on the paper: rows end a
// line above the footer, and the pulse block of the motor table sits above
// it too.
PrintLayout PrintLayoutFor(int pageHeight, int lineHeight) {
  PrintLayout layout;
  layout.lineHeight = std::max(lineHeight, 1);
  const int L = layout.lineHeight;
  layout.pageLines = std::max((pageHeight - 5) / L - 4, 10);
  layout.rowsPerPage = std::max(layout.pageLines - 6, 1);
  return layout;
}

// Screen widths grow with the display's DPI; on paper the columns share the
// width from `left` to `right` in the proportions they have on screen.
std::vector<int> PrintColumnPositions(const std::vector<int>& screenWidths, int left, int right) {
  long long total = 0;
  for (int width : screenWidths) total += std::max(width, 0);
  std::vector<int> positions;
  long long before = 0;
  for (int width : screenWidths) {
    positions.push_back(left + static_cast<int>(total > 0 ? before * (right - left) / total
                                                          : (right - left) * static_cast<long long>(positions.size()) /
                                                                static_cast<long long>(screenWidths.size())));
    before += std::max(width, 0);
  }
  return positions;
}

namespace {

const wchar_t* YesNo(int32_t value) { return SelectText(value ? TextYes : TextNo); }

class PrintJob {
 public:
  PrintJob(HDC dc, const PrintLayout& layout) : dc_(dc), layout_(layout) {}

  int L() const { return layout_.lineHeight; }
  const PrintLayout& Layout() const { return layout_; }

  void Text(int x, int y, const std::wstring& text) {
    TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  }
  void Tabbed(int x, int y, const std::wstring& text, std::vector<int> stops, int origin) {
    TabbedTextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size()), static_cast<int>(stops.size()),
                   stops.data(), origin);
  }
  void Header() { Text(100, 3 * L() + 5, Settings.filenameCheckPorts); }
  void Footer() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    Text(150, (layout_.pageLines + 3) * L() + 5,
         FormatText(L"%02d.%02d.%04d %02d:%02d", now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute));
  }
  bool StartNewPage() { return StartPage(dc_) > 0; }
  bool EndThisPage() { return EndPage(dc_) > 0; }

 private:
  HDC dc_;
  PrintLayout layout_;
};

// Tab stops of the motor table; the ninth puts the acceleration under its
// heading.
const std::vector<int> MotorStops = {60, 100, 140, 180, 220, 260, 320, 380, 440};

bool PrintMotorTable(PrintJob& job) {
  const int L = job.L();
  if (!job.StartNewPage()) return false;
  job.Header();
  job.Tabbed(0, 5 * L + 5,
             FormatText(L"\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s", L"Name", L"Port", L"Pin", L"Low", L"Rev.", L"Home Neg",
                        SelectText(HeadSteps), SelectText(HeadVelocity), SelectText(HeadAccel)),
             MotorStops, 0);
  int y = 7 * L + 20;
  for (int motor = 0; motor < AxisRowCount; ++motor) {
    const MotorPrintRow& row = PrintedMotorValues.rows[motor];
    if (!row.active) continue;
    job.Text(25, y, MotorRowName(motor));
    job.Tabbed(0, y + L,
               FormatText(L"\tDir\t%d\t%d\t%s\t%s\t%s\t%0.4f\t%g\t%0.4f", row.dirPort, row.dirPin, YesNo(row.dirNeg),
                          YesNo(row.reversed), YesNo(row.homeNeg), row.steps, row.velocity, row.accel),
               MotorStops, 0);
    job.Tabbed(0, y + 2 * L, FormatText(L"\tStep\t%d\t%d\t%s", row.stepPort, row.stepPin, YesNo(row.stepNeg)),
               {60, 100, 140, 180}, 0);
    y += 5 * L;
  }
  const int pulseY = (job.Layout().pageLines - 3) * L + 5;
  job.Tabbed(25, pulseY,
             FormatText(L"\tPulse width\t%s\t%s", SelectText(TextPort2Input), YesNo(PrintedMotorValues.port2Input)),
             {40, 150, 360}, 40);
  job.Tabbed(25, pulseY + L, FormatText(L"\tDir\t%d", PrintedMotorValues.dirPulse), {60, 100}, 25);
  job.Tabbed(25, pulseY + 2 * L, FormatText(L"\tStep\t%d", PrintedMotorValues.stepPulse), {60, 100}, 25);
  job.Footer();
  return job.EndThisPage();
}

std::wstring ListCell(HWND list, int item, int column) {
  wchar_t text[100] = {};
  LVITEMW request = {};
  request.iSubItem = column;
  request.pszText = text;
  request.cchTextMax = 100;
  SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
  return text;
}

void PrintListHeadings(PrintJob& job, const std::vector<int>& columnX) {
  const TextTriple* headings[] = {&ColumnPinName, &ColumnPortNumber, &ColumnPinNumber};
  for (size_t i = 0; i < columnX.size(); ++i) job.Text(columnX[i], 5 * job.L() + 5, SelectText(*headings[i]));
}

bool PrintUsedPins(PrintJob& job, HWND list) {
  const int L = job.L();
  std::vector<int> screenWidths;
  for (int column = 0; column < 3; ++column) {
    screenWidths.push_back(static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)));
  }
  const std::vector<int> columnX = PrintColumnPositions(screenWidths, 100, PrintPageWidth);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  if (!job.StartNewPage()) return false;
  job.Header();
  PrintListHeadings(job, columnX);
  int y = 7 * L + 20;
  int onPage = 0;
  for (int item = 0; item < rows; ++item) {
    for (size_t column = 0; column < columnX.size(); ++column) {
      job.Text(columnX[column] + 10, y, ListCell(list, item, static_cast<int>(column)));
    }
    y += L;
    // A new page only when another row follows it.
    if (++onPage == job.Layout().rowsPerPage && item + 1 < rows) {
      job.Footer();
      if (!job.EndThisPage() || !job.StartNewPage()) return false;
      job.Header();
      PrintListHeadings(job, columnX);
      y = 7 * L + 20;
      onPage = 0;
    }
  }
  job.Footer();
  return job.EndThisPage();
}

// Frees what the print dialog handed back.
struct PrintDialogResult {
  PRINTDLGW request = {};
  ~PrintDialogResult() {
    if (request.hDC) DeleteDC(request.hDC);
    if (request.hDevMode) GlobalFree(request.hDevMode);
    if (request.hDevNames) GlobalFree(request.hDevNames);
  }
};

// Portrait is preset for the default printer; what the user chooses in the
// dialog, landscape included, is what prints.
HGLOBAL PortraitPreset() {
  HGLOBAL handle = GlobalAlloc(GHND, sizeof(DEVMODEW));
  auto* mode = handle ? static_cast<DEVMODEW*>(GlobalLock(handle)) : nullptr;
  if (!mode) return handle;
  DWORD length = CCHDEVICENAME;
  if (!GetDefaultPrinterW(mode->dmDeviceName, &length)) mode->dmDeviceName[0] = L'\0';
  mode->dmSpecVersion = DM_SPECVERSION;
  mode->dmSize = sizeof(DEVMODEW);
  mode->dmFields = DM_ORIENTATION;
  mode->dmOrientation = DMORIENT_PORTRAIT;
  GlobalUnlock(handle);
  return handle;
}

HFONT PrintFont(bool& owned) {
  owned = SmallPrintFont == nullptr;
  if (!owned) return SmallPrintFont;
  return CreateFontW(10, 4, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
}

}  // namespace

int PrintPinTables(HWND page, int buttonId) {
  PrintDialogResult dialog;
  PRINTDLGW& request = dialog.request;
  request.lStructSize = sizeof(request);
  request.hwndOwner = page;
  request.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
  request.nCopies = 1;
  request.hDevMode = PortraitPreset();
  if (!Dialogs().Print(&request) || !request.hDC) return 0;
  HDC dc = request.hDC;

  const int saved = SaveDC(dc);
  const int deviceWidth = GetDeviceCaps(dc, HORZRES);
  const int deviceHeight = GetDeviceCaps(dc, VERTRES);
  const int pageHeight = MulDiv(PrintPageWidth, deviceHeight, std::max(deviceWidth, 1));
  SetMapMode(dc, MM_ISOTROPIC);
  SetWindowExtEx(dc, PrintPageWidth, pageHeight, nullptr);
  SetViewportExtEx(dc, deviceWidth, deviceHeight, nullptr);
  SetBkMode(dc, TRANSPARENT);
  bool ownedFont = false;
  HFONT font = PrintFont(ownedFont);
  SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  PrintJob job(dc, PrintLayoutFor(pageHeight, metrics.tmHeight));

  DOCINFOW document = {};
  document.cbSize = sizeof(document);
  document.lpszDocName = DocumentName;
  bool printed = false;
  if (StartDocW(dc, &document) > 0) {
    printed = buttonId == IDC_PARAMS_PRINT_MOTORS ? PrintMotorTable(job)
                                                  : PrintUsedPins(job, GetDlgItem(page, IDC_PARAMS_USED_LIST));
    if (printed) printed = EndDoc(dc) > 0;
    else AbortDoc(dc);
  }
  RestoreDC(dc, saved);
  if (ownedFont) DeleteObject(font);
  return printed ? 1 : 0;
}
