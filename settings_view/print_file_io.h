// Print files on disk: writing the current table, reading one back, and the
// Print-to-file command.
#pragma once

#include <string>

#include <windows.h>

#include <cstdint>

#include "app/portable/text_triple.h"

// Dialogs present in the print file read last.
extern uint32_t PrintFileMask;
// The dialog mask the next WritePrintFile stores.
extern uint32_t PrintFileWriteMask;

extern const TextTriple TextPrintFileNotOurs;
extern const TextTriple TextPrintFileVersions;
extern const TextTriple TextPrintFileDamaged;

// Writes the print file at `path` in place of any old one; failures are
// reported and leave an old file as it was.
bool WritePrintFile(const std::wstring& path);
// Closes the handle in every case; failures are reported.
bool ReadPrintFile(HANDLE file);

// The Print-to-file command of the Show Settings dialog.
void PrintToFile(HWND dialog);
