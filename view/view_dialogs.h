// Dialog procedures of the profile views.
#pragma once

#include <windows.h>

// Show profile (dialog 153), opened from the main window.
INT_PTR CALLBACK ShowProfileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Segment filter (dialog 131), opened from Show profile and Compare profiles.
// The selection of segments takes effect at once, OK or Cancel; OK also
// sets the search columns. The caller lists the rows again afterwards.
INT_PTR CALLBACK FilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
