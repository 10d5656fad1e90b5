// The start page in the main window's client area: the Mach3 folder, its
// profiles with their entry counts and last backups, and one button per
// action of the Actions menu.
#pragma once

#include <windows.h>

// Builds the page's controls; the folder and its files are read later, in
// small steps while the program waits for input.
void CreateStartPage(HWND window);

// The page's share of the main window's messages: true when it handled
// the message, with its result.
bool StartPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// Reads the folder again and relabels the page (after an action: the
// folders, the files or the language may have changed).
void RefreshStartPage();

// One small step of the page's reading; false when nothing is left to do.
bool StartPageIdleStep();

// Tab, the arrow keys and Enter among the page's controls; true when the
// message was handled.
bool StartPageKey(MSG* message);
