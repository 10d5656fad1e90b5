// The plug-in removal dialog and the list of profiles referencing a plug-in.
#pragma once

#include <windows.h>

INT_PTR CALLBACK RemovePluginDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Parameter: the plug-in row whose referencing profiles are listed.
INT_PTR CALLBACK ReferencingProfilesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Reads the profile into slot 0 and lists its plug-ins under the stored
// mode. False only when Mach3 runs (its message shown): then nothing is
// loaded. A profile that cannot be read completely leaves the list empty.
int LoadPluginList(const wchar_t* path, HWND dialog);

// The list page's controls, hidden while the warning page is shown.
void ShowPluginControls(bool show, HWND dialog);
