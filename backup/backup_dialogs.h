// The save dialog (141) and the restore dialog (143).
#pragma once

#include <windows.h>

#include "app/texts.h"

INT_PTR CALLBACK SaveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RestoreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The labels each dialog sets in the language in force when it opens.
extern const RelabelRow SaveControls[];
extern const RelabelRow RestoreControls[];

// Rebuild the profile list of the dialog from its folders.
void FillSaveProfileList(HWND dialog);
void FillRestoreProfileList(HWND dialog);

// Kestrelwood.exe /save: the save with the stored settings, without any
// window; every conflict keeps both files, every message goes to the log.
// 0 when every file was copied or kept, 1 when any failed, 2 when the
// settings do not make a save.
int RunSaveWithoutWindow();
