// Printing the dialog pictures on a printer of the spooler.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A printer context mapped so that the output window's picture fills the
// page width; sets the page height. Null after a reported failure.
HDC OpenSettingsPrinter(const std::wstring& printerName);
// Restores the context's mapping, frees its device mode and the context.
void ClosePrinterSetup(HDC printer);

// Prints the selected dialogs as one document on the named printer.
bool PrintSelectedDialogs(const std::wstring& printerName);
// Prints on an already opened printer context, which it closes.
bool PrintOnPrinter(HDC printer);

// Pages of the last document printed.
int LastPrintedPageCount();

// The spooler's printers and its default printer (empty when none).
std::vector<std::wstring> SpoolerPrinterNames();
std::wstring SpoolerDefaultPrinter();
