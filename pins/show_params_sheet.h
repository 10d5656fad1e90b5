// The Show params sheet: the motor settings and the pins in use, on five
// pages, without any checking.
#pragma once

#include <windows.h>

// Opens the sheet on the stored profile (asking for one when none is
// stored); returns when the user closes it.
void ShowParamsSheet(HWND owner);

INT_PTR CALLBACK ShowParamsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
