// The one way the program shows a message box. Tests replace the function
// behind it with a recorder that answers as scripted, so nothing blocks.
#pragma once

#include <windows.h>

#include <string>

#include "app/portable/text_triple.h"

using MessageBoxFunction = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// Replaces the function that shows message boxes; returns the one before.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);

// Message boxes with a shared caption and its matching icon; an icon in
// `extraStyle` stands in for the matching one.
int ShowErrorMessage(HWND owner, const wchar_t* text, UINT extraStyle = MB_OK);
int ShowWarningMessage(HWND owner, const wchar_t* text, UINT extraStyle = MB_OK);
int ShowInfoMessage(HWND owner, const wchar_t* text, UINT extraStyle = MB_OK);

// An error box whose caption names what failed: a call or a file.
int ShowFailureMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT extraStyle = MB_OK);

// Told of every message box before it is shown, so a log can keep what the
// user saw. A quiet observer also stands in for the boxes: none is shown and
// each is answered IDOK, for a run nobody watches. Null ends observing.
using MessageObserver = void (*)(const wchar_t* caption, const wchar_t* text);
void SetMessageObserver(MessageObserver observer, bool quiet = false);

// The text Windows gives for a system error code, without the line break
// FormatMessageW appends.
std::wstring SystemErrorText(DWORD code);

// A failed system call: the system's text alone, no owner, task-modal,
// error caption and icon.
void ShowSystemError(DWORD code);
