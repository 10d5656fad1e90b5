// The program's entry steps and its only top-level window: a frame that
// carries the menu and the start page; every action is a menu command.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

inline constexpr int StartupStringCapacity = 100;

extern HINSTANCE Instance;
extern HWND MainWindow;
extern bool Is64BitWindows;

// Created once, never deleted: shared by the dialogs that draw with them.
extern HFONT CompareFont;     // "Arial" 15/6/600
extern HFONT SmallPrintFont;  // "Arial" 10/4/400
extern HFONT HeadingFont;     // "MS Shell" 28/15/700, draft quality

extern wchar_t WindowTitle[StartupStringCapacity];
extern wchar_t MainWindowClass[StartupStringCapacity];
extern wchar_t OutputWindowClass[StartupStringCapacity];

// Loads the window title and the two class names from the string table.
void LoadStartupStrings(HINSTANCE instance);

int RegisterWindowClasses(HINSTANCE instance);
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the message loop with the main accelerators; returns the exit code.
int RunMessageLoop();

// True when Mach3's parallel-port driver cannot work on this Windows.
bool Detect64BitWindows();

// Runs one of the program's dialog templates modally.
INT_PTR RunModalDialog(HWND owner, int templateId, DLGPROC procedure);

// A page of a property sheet: its template, its tab's title and the value
// its procedure finds in the page's lParam.
struct SheetPage {
  int templateId;
  std::wstring title;
  LPARAM data;
};

// Runs a modal property sheet without an Apply button, every page with the
// same procedure; returns PropertySheetW's result.
INT_PTR RunPropertySheet(HWND owner, const std::wstring& caption, const std::vector<SheetPage>& pages,
                         DLGPROC procedure);
