// Relabelling dialogs and menus in the current language, and the texts of
// the main menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/portable/text_triple.h"

// A control id, a menu command or a top-level menu position with its text.
// Control and command tables end at id 0, menu-bar tables at id -1.
struct RelabelRow {
  int32_t id;
  const TextTriple* text;
};

void RelabelControls(const RelabelRow* table, HWND dialog);

// The start-up steps every dialog takes, in this order.
struct DialogStart {
  const TextTriple* title = nullptr;     // caption "Kestrelwood<version> <title>", or without " <title>"
  const RelabelRow* controls = nullptr;  // relabelled in the language in force
  bool reloadSettings = true;            // first, so the caption too is in the language in force
  bool caption = true;                   // false: the template's caption stays
};
void StartDialog(HWND dialog, const DialogStart& start);

// The whole text of a dialog's control, however long.
std::wstring DialogItemText(HWND dialog, int id);
void RelabelMenuItems(const RelabelRow* table, HWND window);
void RelabelMenuBar(const RelabelRow* table, HWND window);

extern const RelabelRow MainMenuBarTable[];
extern const RelabelRow MainMenuItemTable[];

// List-view column widths are given in pixels at 96 DPI; on a screen with
// larger text they grow with it, so headings and values keep fitting.
int ScaleToScreen(int pixels);

// The main window's menu in the current language: popups, then items.
void RelabelMainMenu(HWND window);
