// Dialog procedures of the application shell.
#pragma once

#include <windows.h>

#include "app/texts.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LanguageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The colours of the comparison list; opened from the comparison dialog.
INT_PTR CALLBACK ColourDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The labels each dialog sets in the language in force when it opens.
extern const RelabelRow LanguageControls[];
extern const RelabelRow ColourControls[];
