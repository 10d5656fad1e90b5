// The window that shows pictures of Mach3's settings dialogs.
#pragma once

#include <windows.h>

#include <cstdint>

// At most one output window exists; null when none.
extern HWND SettingsOutputWindow;
extern int32_t ScrollPosition;
extern int32_t ScrollMaximum;

// Creates the output window unless it exists; a failure is reported with
// the system's text. True when the window exists afterwards.
bool CreateSettingsOutputWindow();
void DestroySettingsOutputWindow();

// Scroll range from the heights of all dialogs; position back to 0.
void SetupScrollRange();

// The scroll request a key stands for (arrows, Page Up/Down, Home, End); -1 for others.
int ScrollRequestForKey(WPARAM key);

// The scroll position a scroll request leads to.
int32_t NextScrollPosition(int32_t position, int32_t maximum, int request, int32_t trackPosition);

LRESULT CALLBACK SettingsOutputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
