// The dialog behind "Check ports and pins": choose a profile, see the
// parallel ports Windows knows, and start the pin check.
#pragma once

#include <windows.h>

INT_PTR CALLBACK CheckPortsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The open-file dialog for a profile; true and the path when one was chosen.
bool ChooseProfileFile(HWND owner, wchar_t (&path)[261]);
