// The report of the pin check: a property sheet with one page per port the
// profile uses.
#pragma once

#include <windows.h>

#include <string>

#include "app/texts.h"
#include "pins/portable/pin_model.h"

// Validates the model, builds the pages and shows the sheet modally; when
// no port is used, says so in a message box instead. `profileName` is the
// profile's "Profile" value, or null when it has none. Returns the sheet's
// result, or -1 when no sheet was shown.
INT_PTR PinReportSheet(HWND owner, const PinModel& model, const std::wstring& profilePath,
                       const std::wstring* profileName, bool showAllReferencedPorts);

INT_PTR CALLBACK PinPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
extern const RelabelRow PinPageLabels[];  // a page's labels in the language in force
