// The plug-in removal dialog (154) and the list of profiles that hold one
// plug-in (155).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/texts.h"
#include "plugins/portable/plugin_rules.h"

INT_PTR CALLBACK RemovePluginDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReferencingProfilesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The labels each dialog sets in the language in force when it opens.
extern const RelabelRow PluginControls[];
extern const RelabelRow ReferencingControls[];

// One record per list row; the scanned files' names in walk order.
extern std::vector<PluginReference> PluginReferenceTable;
extern std::vector<std::wstring> ScannedProfileFiles;

// Reads the profile into slot 0 and lists its plug-ins of the current mode.
// False when Mach3 runs (reported); true otherwise, also when the profile
// could not be read (the list then stays empty).
bool LoadPluginList(const wchar_t* path, HWND dialog);

// Counts, for every row, the profile files found by a walk of `folder`
// that hold its plug-in.
void CountPluginReferences(HWND dialog, const std::wstring& folder);
