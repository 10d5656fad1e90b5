// The dialog behind "Check ports and pins": choose a profile, see the
// parallel ports Windows knows, and start the pin check.
#pragma once

#include <windows.h>

#include "app/settings.h"
#include "app/texts.h"

INT_PTR CALLBACK CheckPortsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const RelabelRow CheckPortsLabels[];  // its labels in the language in force

// The open-file dialog for a profile, owned by the main window; true and
// the path when one was chosen.
bool ChooseProfileFile(wchar_t (&path)[PathCapacity]);
