// The dialog behind "Check ports and pins": choose a profile, see the
// parallel ports Windows knows, and start the pin check.
#pragma once

#include <windows.h>

#include "app/settings.h"
#include "app/texts.h"

INT_PTR CALLBACK CheckPortsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const RelabelRow CheckPortsLabels[];  // its labels in the language in force
