// Dialog procedures of the profile views.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/texts.h"

// Show profile (dialog 153), opened from the main window.
INT_PTR CALLBACK ShowProfileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Compare profiles (dialog 130 with its menu 133), opened from the main window.
INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Reads both files named in the dialog, pairs their entries into slots 0
// to 2 and lists them. False when a message stopped it.
int CompareProfiles(HWND dialog);

// Slot 2 emptied to the larger capacity of slots 0 and 1; reports failure.
int AllocateCompareList();

// The comparison list's custom draw: hits, equal and differing rows.
LRESULT DrawCompareRow(const NMLVCUSTOMDRAW* draw);

// Segment filter (dialog 131), opened from Show profile and Compare profiles.
// OK (IDOK) applies the segments and search columns chosen; Cancel (IDCANCEL)
// leaves both as the dialog found them. After OK the caller lists the rows
// again.
INT_PTR CALLBACK FilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The labels (and Compare's menu texts) each dialog sets in the language in
// force when it opens.
extern const RelabelRow ShowProfileControls[];
extern const RelabelRow CompareControls[];
extern const RelabelRow CompareMenuBar[];
extern const RelabelRow CompareMenuItems[];
extern const RelabelRow FilterControls[];

struct ExportTable;

// Asks for a file name with the save-file dialog and writes the rows there
// as CSV or HTML, by the name's extension or the filter chosen. False when
// cancelled or when writing failed (reported with the system's text).
bool ExportListedRows(HWND owner, const ExportTable& table);

// Show profile and Compare profiles with their files named and loaded.
void ShowProfileWithFile(HWND owner, const wchar_t* path);
void CompareWithFiles(HWND owner, const wchar_t* path1, const wchar_t* path2);
