// The question asked before a file in the target folder is replaced.
#pragma once

#include <windows.h>

#include "app/texts.h"
#include "backup/portable/copy_rules.h"

// Shows dialog 142 for CurrentConflict, owned by the current command's
// dialog; updates the command's dontAsk. Cancel when it cannot be shown.
ConflictAnswer ConflictDialog();
INT_PTR CALLBACK ConflictDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern const RelabelRow ConflictControls[];  // its labels in the language in force
