// The window that shows pictures of Mach3's settings dialogs.
#pragma once

#include <windows.h>

LRESULT CALLBACK SettingsOutputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
