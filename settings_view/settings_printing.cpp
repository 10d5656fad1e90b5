// Printer set-up for the dialog pictures: the spooler's printer with its
// own device mode, a mapping that scales the output window to the page, and
// one document with a page per page break.
#include "settings_view/settings_printing.h"

#include <winspool.h>

#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_triple.h"
#include "settings_view/output_window.h"
#include "settings_view/renderer.h"

static const wchar_t* const DocumentName = L"Kestrelwood Settings Brannoc";

static const TextTriple TextOpenPrinterFailed = {L"Fehler bei Aufruf OpenPrinter", L"Error function call OpenPrinter",
                                                 L"Error function call OpenPrinter"};
static const TextTriple TextGetPrinterFailed = {L"Fehler bei Aufruf GetPrinter", L"Error function call GetPrinter",
                                                L"Error function call GetPrinter"};
static const TextTriple TextCreateDcFailed = {L"Fehler bei Aufruf CreateDC", L"Error function call CreateDC",
                                              L"Error function call CreateDC"};

// What the open printer context needs released again.
static HGLOBAL DeviceModeBlock = nullptr;
static int PagesPrinted = 0;
static int PreviousMapMode = 0;

static void ReportPrinterError(const TextTriple& text) {
  ShowErrorMessage(nullptr, SelectText(text), MB_TOPMOST);
}

static void FreeDeviceMode() {
  if (!DeviceModeBlock) return;
  GlobalUnlock(DeviceModeBlock);
  GlobalFree(DeviceModeBlock);
  DeviceModeBlock = nullptr;
}

// The printer's own settings, in a movable block held until the context closes.
static DEVMODEW* LoadDeviceMode(HANDLE printer, const std::wstring& name) {
  const LONG size = DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()), nullptr, nullptr, 0);
  if (size <= 0) return nullptr;
  DeviceModeBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(size));
  if (!DeviceModeBlock) return nullptr;
  auto* mode = static_cast<DEVMODEW*>(GlobalLock(DeviceModeBlock));
  if (!mode || DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name.c_str()), mode, nullptr,
                                   DM_OUT_BUFFER) < 0) {
    FreeDeviceMode();
    return nullptr;
  }
  return mode;
}

// The page's height in the logical units of the mapping. Scaling the
// printer's lines by the screen's resolution alone only fits printers of
// about 600 dpi; a 300 dpi printer would fill half of each page.
static int32_t PageHeight(HDC printer, int screenDpi) {
  POINT bottom = {0, GetDeviceCaps(printer, VERTRES)};
  if (DPtoLP(printer, &bottom, 1) && bottom.y > 0) return bottom.y;
  return (GetDeviceCaps(printer, VERTRES) / (screenDpi > 0 ? screenDpi : 96)) * 20;
}

HDC OpenSettingsPrinter(const std::wstring& printerName) {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(const_cast<wchar_t*>(printerName.c_str()), &printer, nullptr)) {
    ReportPrinterError(TextOpenPrinterFailed);
    return nullptr;
  }
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> info(needed ? needed : 1);
  if (!needed || !GetPrinterW(printer, 2, info.data(), needed, &needed)) {
    ClosePrinter(printer);
    ReportPrinterError(TextGetPrinterFailed);
    return nullptr;
  }
  DEVMODEW* mode = LoadDeviceMode(printer, printerName);
  ClosePrinter(printer);
  HDC dc = CreateDCW(L"WINSPOOL", printerName.c_str(), nullptr, mode);
  if (!dc) {
    FreeDeviceMode();
    ReportPrinterError(TextCreateDcFailed);
    return nullptr;
  }
  // One logical unit is a screen pixel of the output window, scaled to the
  // page width; the page height follows in the same units.
  const int screenDpi = GetDeviceCaps(WindowDc(SettingsOutputWindow), LOGPIXELSY);
  RECT client = {0, 0, 1000, 750};
  if (SettingsOutputWindow) GetClientRect(SettingsOutputWindow, &client);
  PreviousMapMode = SetMapMode(dc, MM_ISOTROPIC);
  SetWindowExtEx(dc, client.right + 50, client.bottom + 50, nullptr);
  SetViewportExtEx(dc, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), nullptr);
  Render.pageHeight = PageHeight(dc, screenDpi);
  return dc;
}

void ClosePrinterSetup(HDC printer) {
  if (!printer) return;
  if (PreviousMapMode) SetMapMode(printer, PreviousMapMode);
  PreviousMapMode = 0;
  FreeDeviceMode();
  DeleteDC(printer);
}

bool PrintOnPrinter(HDC printer) {
  DOCINFOW document = {sizeof(document), DocumentName, nullptr, nullptr, 0};
  bool printed = StartDocW(printer, &document) > 0 && StartPage(printer) > 0;
  PagesPrinted = 1;
  if (printed) {
    DrawSelectedDialogs(DrawingTarget{printer, [printer] {
                                        EndPage(printer);
                                        StartPage(printer);
                                        ++PagesPrinted;
                                      }});
    EndPage(printer);
    if (EndDoc(printer) <= 0) {
      ShowErrorMessage(nullptr, L"Error EndDoc", MB_TOPMOST);
      printed = false;
    }
  } else {
    AbortDoc(printer);
    ShowErrorMessage(nullptr, SystemErrorText(GetLastError()).c_str(), MB_TOPMOST);
  }
  ClosePrinterSetup(printer);
  return printed;
}

int LastPrintedPageCount() { return PagesPrinted; }

bool PrintSelectedDialogs(const std::wstring& printerName) {
  HDC printer = OpenSettingsPrinter(printerName);
  if (!printer) return false;
  return PrintOnPrinter(printer);
}

std::vector<std::wstring> SpoolerPrinterNames() {
  std::vector<std::wstring> names;
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  if (needed == 0) return names;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) return names;
  const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (printers[i].pPrinterName) names.push_back(printers[i].pPrinterName);
  }
  return names;
}

std::wstring SpoolerDefaultPrinter() {
  wchar_t name[256] = {};
  DWORD size = 255;
  if (!GetDefaultPrinterW(name, &size)) return std::wstring();
  return name;
}
