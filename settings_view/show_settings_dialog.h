// The Show Settings dialog: choose a profile and the Mach3 dialogs, then
// show, print or store their pictures.
#pragma once

#include <windows.h>

#include <string>

#include "app/portable/text_triple.h"
#include "app/texts.h"

INT_PTR CALLBACK ShowSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const RelabelRow ShowSettingsRelabelTable[];  // its labels in the language in force

extern const TextTriple TextCloseOutputFirst;
extern const TextTriple TextNoDataSelected;
extern const TextTriple TextNoPrintFilePath;
extern const TextTriple TextPrintFileNotFound;

// The print-file path of the run, as edit 1323 holds it now.
std::wstring ReadPrintFilePath(HWND dialog);

// The commands, also driven by the tests.
void ShowOrPrintSettings(HWND dialog, bool print);
void ShowOrPrintFromFile(HWND dialog, bool print);
