// Relabelling of dialogs and menus, and the main menu's texts.
#include "app/texts.h"

#include "app/handles.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "resources/resource.h"

void RelabelControls(const RelabelRow* table, HWND dialog) {
  for (const RelabelRow* row = table; row->id != 0; ++row) {
    SendDlgItemMessageW(dialog, row->id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(SelectText(*row->text)));
  }
}

void StartDialog(HWND dialog, const DialogStart& start) {
  if (start.reloadSettings) LoadAllSettings();
  if (start.caption) {
    const std::wstring caption = start.title
                                     ? FormatText(L"%s%s %s", ProgramName, VersionText, SelectText(*start.title))
                                     : FormatText(L"%s%s", ProgramName, VersionText);
    SetWindowTextW(dialog, caption.c_str());
  }
  if (start.controls) RelabelControls(start.controls, dialog);
}

std::wstring DialogItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

static void SetMenuText(HMENU menu, UINT item, BOOL byPosition, const TextTriple& text) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_STRING;
  info.fType = 0;
  info.dwTypeData = const_cast<wchar_t*>(SelectText(text));
  SetMenuItemInfoW(menu, item, byPosition, &info);
}

void RelabelMenuItems(const RelabelRow* table, HWND window) {
  HMENU menu = GetMenu(window);
  for (const RelabelRow* row = table; row->id != 0; ++row) {
    SetMenuText(menu, static_cast<UINT>(row->id), FALSE, *row->text);
  }
  DrawMenuBar(window);
}

void RelabelMenuBar(const RelabelRow* table, HWND window) {
  HMENU menu = GetMenu(window);
  for (const RelabelRow* row = table; row->id != -1; ++row) {
    SetMenuText(menu, static_cast<UINT>(row->id), TRUE, *row->text);
  }
  DrawMenuBar(window);
}

static const TextTriple MenuActions = {L"Aktionen", L"Actions", L"Actions"};
static const TextTriple MenuHelp = {L"Hlife", L"Help", L"Aide"};

const RelabelRow MainMenuBarTable[] = {
    {0, &TextFile}, {1, &MenuActions}, {2, &TextSettingsMenu}, {3, &MenuHelp}, {-1, nullptr},
};

static const TextTriple ItemShowProfile = {L"Profil anzeigen", L"Show Profile", L"Show profils"};
static const TextTriple ItemCompare = {L"Profile vergleichen", L"Compare profiles", L"Comparer les profils"};
static const TextTriple ItemSave = {L"Parameter sichern", L"Save params", L"Save params"};
static const TextTriple ItemRestore = {L"Parameter zurückschreiben", L"Restore params", L"Restore params"};
static const TextTriple ItemRemovePlugin = {L"Entfernen eines Plugins aus Profile", L"Remove Plugin from Profile",
                                            L"Remove Plugin from Profile"};
static const TextTriple ItemShowParams = {L"Parameter anzeigen", L"Show params", L"Show params"};
static const TextTriple ItemShowSettings = {L"Einstellungen anzeigen / drucken", L"Show / Print settings",
                                            L"Show / Print settings"};
static const TextTriple ItemLanguage = {L"Sprache", L"Language", L"Langue"};
static const TextTriple ItemAbout = {L"Über ...", L"About ...", L"À propos ..."};

const RelabelRow MainMenuItemTable[] = {
    {IDM_EXIT, &TextExit},
    {IDM_SHOW_PROFILE, &ItemShowProfile},
    {IDM_COMPARE_PROFILES, &ItemCompare},
    {IDM_CHECK_PORTS, &TextCheckPorts},
    {IDM_SAVE_PARAMS, &ItemSave},
    {IDM_RESTORE_PARAMS, &ItemRestore},
    {IDM_REMOVE_PLUGIN, &ItemRemovePlugin},
    {IDM_SHOW_PARAMS, &ItemShowParams},
    {IDM_SHOW_SETTINGS, &ItemShowSettings},
    {IDM_LANGUAGE, &ItemLanguage},
    {IDM_ABOUT, &ItemAbout},
    {0, nullptr},
};

void RelabelMainMenu(HWND window) {
  RelabelMenuBar(MainMenuBarTable, window);
  RelabelMenuItems(MainMenuItemTable, window);
}

int ScaleToScreen(int pixels) {
  const WindowDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  return dpi > 96 ? MulDiv(pixels, dpi, 96) : pixels;
}
