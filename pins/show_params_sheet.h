// The Show params sheet: the motor settings and the pins in use, on five
// pages, without any checking.
#pragma once

#include <windows.h>

#include "app/texts.h"

// Opens the sheet on the stored profile (asking for one when none is
// stored); returns when the user closes it.
void ShowParamsSheet(HWND owner);

INT_PTR CALLBACK ShowParamsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The labels of the list pages and of the motor page, in the language in force.
extern const RelabelRow ListPageLabels[];
extern const RelabelRow MotorPageLabels[];
