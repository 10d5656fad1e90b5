// The start page: what the program sees of the Mach3 installation and a
// button for every action. The page paints first; the folder, the entry
// counts and the backup dates are read afterwards in small steps between
// messages, so neither a large folder nor a long row of logs holds up the
// window (the program has one thread by design).
#include "app/start_page.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "app/common_dialogs.h"
#include "app/handles.h"
#include "app/mach3_check.h"
#include "app/portable/start_page_model.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "backup/portable/backup_log.h"
#include "resources/resource.h"
#include "view/view_dialogs.h"

static const TextTriple TextFolderLine = {L"Mach3 Ordner: %s", L"Mach3 folder: %s", L"Dossier Mach3 : %s"};
static const TextTriple TextNoMach3 = {L"Kein Mach3 in %s gefunden.", L"No Mach3 found in %s.",
                                       L"Mach3 introuvable dans %s."};
static const TextTriple TextUnreadable = {L"Der Ordner %s kann nicht gelesen werden.",
                                          L"The folder %s cannot be read.", L"Le dossier %s ne peut pas être lu."};
static const TextTriple TextRunning = {L"Mach3 ist gestartet.", L"Mach3 is running.", L"Mach3 est lancé."};
static const TextTriple TextNotRunning = {L"Mach3 ist nicht gestartet.", L"Mach3 is not running.",
                                          L"Mach3 n'est pas lancé."};
static const TextTriple TextChooseFolder = {L"Ordner wählen ...", L"Choose folder ...", L"Choisir le dossier ..."};
static const TextTriple TextCompare = {L"Vergleichen", L"Compare", L"Comparer"};
static const TextTriple TextNever = {L"nie", L"never", L"jamais"};
static const TextTriple TextChangedSince = {L"%s, seitdem geändert", L"%s, changed since", L"%s, modifié depuis"};

static const TextTriple ColumnTitles[] = {
    {L"Profil", L"Profile", L"Profil"},
    {L"Geändert", L"Last changed", L"Modifié le"},
    {L"Einträge", L"Entries", L"Entrées"},
    {L"Letzte Sicherung", L"Last backup", L"Dernière sauvegarde"},
};
static const int ColumnShares[] = {32, 21, 11, 32};  // percent of the list's width, room for a scroll bar

struct ActionDescription {
  int command;
  TextTriple text;
};
static const ActionDescription Descriptions[] = {
    {IDM_SHOW_PROFILE,
     {L"Alle Einträge eines Profils als Liste, mit Suche", L"All entries of one profile as a list, with a search",
      L"Toutes les entrées d'un profil en liste, avec recherche"}},
    {IDM_COMPARE_PROFILES,
     {L"Zwei Profile nebeneinander, auf Wunsch nur die Unterschiede",
      L"Two profiles side by side, optionally only what differs",
      L"Deux profils côte à côte, au choix seulement les différences"}},
    {IDM_REMOVE_PLUGIN,
     {L"Die Einträge eines Plugins aus einem Profil entfernen", L"Take a plug-in's entries out of a profile",
      L"Retirer d'un profil les entrées d'un plugin"}},
    {IDM_CHECK_PORTS,
     {L"Doppelt oder falsch belegte Pins der Parallelports finden",
      L"Find parallel-port pins used twice or the wrong way",
      L"Trouver les bornes du port parallèle utilisées deux fois ou à contresens"}},
    {IDM_SAVE_PARAMS,
     {L"Profile und Mach3 Dateien in einen Sicherungsordner kopieren",
      L"Copy profiles and Mach3 data files into a backup folder",
      L"Copier les profils et les fichiers Mach3 dans un dossier de sauvegarde"}},
    {IDM_RESTORE_PARAMS,
     {L"Gesicherte Dateien in den Mach3 Ordner zurückkopieren", L"Copy backed-up files back into the Mach3 folder",
      L"Recopier les fichiers sauvegardés dans le dossier Mach3"}},
    {IDM_SHOW_PARAMS,
     {L"Motoren und Pins eines Profils anzeigen und drucken", L"Motors and pins of a profile, to view and print",
      L"Moteurs et bornes d'un profil, à afficher et imprimer"}},
    {IDM_SHOW_SETTINGS,
     {L"Die Einstellungsdialoge von Mach3 mit den Werten eines Profils",
      L"Mach3's configuration dialogs filled with a profile's values",
      L"Les dialogues de configuration de Mach3 avec les valeurs d'un profil"}},
};

// Bounds of what the page reads: rows, bytes of one profile, bytes of a log.
static constexpr size_t MaxRows = 1000;
static constexpr DWORD MaxProfileBytes = 32u << 20;
static constexpr DWORD MaxLogBytes = 8u << 20;
static constexpr int LogNamesPerStep = 100;

static constexpr long EntriesPending = -2;  // not read yet; -1: could not be counted

struct ProfileRow {
  std::wstring file;
  std::wstring changed;  // "YYYY-MM-DD HH:MM:SS", local time
  long entries = EntriesPending;
  bool backupKnown = false;
  std::wstring backup;  // the newest save log's time; empty: never
};

enum class FolderState { Unknown, Found, NoMach3, Unreadable };
enum class Step { Done, Folder, Profiles, FindLogs, ReadLog, Count };

struct ActionButton {
  int command;
  HWND button;
  HWND description;
};

static struct {
  HWND window = nullptr;
  HWND folderLine = nullptr, running = nullptr, choose = nullptr, list = nullptr, compare = nullptr;
  std::vector<ActionButton> actions;
  HWND lastFocus = nullptr;
  HFONT font = nullptr;
  std::wstring folder;
  FolderState folderState = FolderState::Unknown;
  int mach3Running = -1;  // -1 not looked at yet
  bool runningCheckDue = true;
  std::vector<ProfileRow> rows;
  Step step = Step::Done;
  HANDLE logSearch = INVALID_HANDLE_VALUE;
  // Save logs as (time, name), newest last; read from the back until one
  // holds a profile.
  std::vector<std::pair<std::wstring, std::wstring>> logs;
  size_t nextCount = 0;
} Page;

// ----- reading -----

static std::wstring LocalTimeText(const FILETIME& time) {
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return L"";
  return FormatText(L"%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
                    local.wMinute, local.wSecond);
}

static bool HoldsMach3(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW((folder + L"\\Mach3.exe").c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// At most `limit` bytes of a file; false when it cannot be read or is larger.
static bool ReadSmallFile(const std::wstring& path, DWORD limit, std::string* bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > limit) return false;
  bytes->resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes->empty() && !ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr)) {
    return false;
  }
  bytes->resize(read);
  return true;
}

static std::wstring FromUtf8(const std::string& bytes) {
  std::string_view text = bytes;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (text.empty()) return L"";
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(length > 0 ? length : 0, L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

static void CloseLogSearch() {
  if (Page.logSearch != INVALID_HANDLE_VALUE) FindClose(Page.logSearch);
  Page.logSearch = INVALID_HANDLE_VALUE;
}

// ----- showing -----

static void SetText(HWND control, const std::wstring& text) { SetWindowTextW(control, text.c_str()); }

static std::wstring CellText(const ProfileRow& row, int column) {
  switch (column) {
    case 0:
      return row.file;
    case 1:
      return row.changed;
    case 2:
      if (row.entries == EntriesPending) return L"";
      return row.entries < 0 ? L"?" : FormatText(L"%ld", row.entries);
    default:
      if (!row.backupKnown) return L"";
      if (row.backup.empty()) return SelectText(TextNever);
      if (ChangedSinceBackup(row.changed, row.backup)) {
        return FormatText(SelectText(TextChangedSince), row.backup.c_str());
      }
      return row.backup;
  }
}

static void ShowRow(size_t index) {
  for (int column = 1; column < 4; ++column) {
    std::wstring text = CellText(Page.rows[index], column);
    ListView_SetItemText(Page.list, static_cast<int>(index), column, text.data());
  }
}

static void ShowFolderState() {
  const wchar_t* folder = Page.folder.c_str();
  switch (Page.folderState) {
    case FolderState::Unknown:
      SetText(Page.folderLine, L"");
      break;
    case FolderState::Found:
      SetText(Page.folderLine, FormatText(SelectText(TextFolderLine), folder));
      break;
    case FolderState::NoMach3:
      SetText(Page.folderLine, FormatText(SelectText(TextNoMach3), folder));
      break;
    case FolderState::Unreadable:
      SetText(Page.folderLine, FormatText(SelectText(TextUnreadable), folder));
      break;
  }
  const bool problem = Page.folderState == FolderState::NoMach3 || Page.folderState == FolderState::Unreadable;
  ShowWindow(Page.choose, problem ? SW_SHOW : SW_HIDE);
  SetText(Page.running, Page.mach3Running < 0 ? L"" : SelectText(Page.mach3Running ? TextRunning : TextNotRunning));
}

// Shown by its own style: the main window itself may still be hidden.
static bool ChooseShown() { return (GetWindowLongW(Page.choose, GWL_STYLE) & WS_VISIBLE) != 0; }

static void EnableCompare() { EnableWindow(Page.compare, Page.list && ListView_GetSelectedCount(Page.list) == 2); }

static void Relabel() {
  HMENU actions = GetSubMenu(GetMenu(Page.window), 1);
  for (ActionButton& action : Page.actions) {
    wchar_t text[128] = L"";
    GetMenuStringW(actions, action.command, text, 128, MF_BYCOMMAND);
    SetWindowTextW(action.button, text);
    // Disabled exactly when the menu item is.
    EnableWindow(action.button, !(GetMenuState(actions, action.command, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED)));
    for (const ActionDescription& description : Descriptions) {
      if (description.command == action.command) SetWindowTextW(action.description, SelectText(description.text));
    }
  }
  for (int column = 0; Page.list && column < 4; ++column) {
    LVCOLUMNW title = {};
    title.mask = LVCF_TEXT;
    title.pszText = const_cast<wchar_t*>(SelectText(ColumnTitles[column]));
    ListView_SetColumn(Page.list, column, &title);
  }
  SetWindowTextW(Page.choose, SelectText(TextChooseFolder));
  SetWindowTextW(Page.compare, SelectText(TextCompare));
  ShowFolderState();
  for (size_t i = 0; i < Page.rows.size(); ++i) ShowRow(i);
}

static SIZE TextSize(HDC dc, const wchar_t* text) {
  SIZE size = {0, 0};
  GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
  return size;
}

static std::wstring WindowTextOf(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return text;
}

// What the layout follows from the page's font and texts.
struct PageMeasures {
  int line;
  int buttonWidth;  // of the widest button text
  int chooseWidth;
};

static PageMeasures Measure() {
  const WindowDc dc(Page.window);
  const SelectedObject font(dc, Page.font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  const int line = metrics.tmHeight + metrics.tmExternalLeading;
  int buttonWidth = TextSize(dc, WindowTextOf(Page.compare).c_str()).cx;
  for (const ActionButton& action : Page.actions) {
    buttonWidth = std::max(buttonWidth, static_cast<int>(TextSize(dc, WindowTextOf(action.button).c_str()).cx));
  }
  return {line, buttonWidth + 3 * line, static_cast<int>(TextSize(dc, SelectText(TextChooseFolder)).cx) + 2 * line};
}

static void Layout() {
  if (!Page.window) return;
  RECT client;
  GetClientRect(Page.window, &client);
  const auto [line, buttonWidth, chooseWidth] = Measure();
  const int buttonHeight = line * 7 / 4, gap = line / 2, margin = line;
  const int width = std::max(static_cast<int>(client.right) - 2 * margin, 10 * line);
  int y = margin;
  const bool choose = ChooseShown();
  MoveWindow(Page.folderLine, margin, y + (choose ? (buttonHeight - line) / 2 : 0),
             choose ? width - chooseWidth - gap : width, line, TRUE);
  MoveWindow(Page.choose, margin + width - chooseWidth, y, chooseWidth, buttonHeight, TRUE);
  y += (choose ? buttonHeight : line) + gap / 2;
  MoveWindow(Page.running, margin, y, width, line, TRUE);
  y += line + gap;

  const int row = buttonHeight + gap / 2;
  const int actionsHeight = static_cast<int>(Page.actions.size()) * row;
  const int listHeight = std::max(static_cast<int>(client.bottom) - y - margin - actionsHeight - buttonHeight - 2 * gap,
                                  4 * line);
  MoveWindow(Page.list, margin, y, width, listHeight, TRUE);
  RECT inner = {};
  GetClientRect(Page.list, &inner);
  for (int column = 0; column < 4; ++column) {
    ListView_SetColumnWidth(Page.list, column, inner.right * ColumnShares[column] / 100);
  }
  y += listHeight + gap / 2;
  MoveWindow(Page.compare, margin, y, buttonWidth, buttonHeight, TRUE);
  y += buttonHeight + gap + gap / 2;
  for (const ActionButton& action : Page.actions) {
    MoveWindow(action.button, margin, y, buttonWidth, buttonHeight, TRUE);
    MoveWindow(action.description, margin + buttonWidth + line, y + (buttonHeight - line) / 2,
               std::max(width - buttonWidth - line, line), line, TRUE);
    y += row;
  }
}

static BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

// The system's dialog font at the screen's DPI.
static void TakeSystemFont() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  if (!font) return;
  EnumChildWindows(Page.window, SetChildFont, reinterpret_cast<LPARAM>(font));
  if (Page.font) DeleteObject(Page.font);
  Page.font = font;
}

static HWND MakeControl(const wchar_t* windowClass, DWORD style, int id) {
  return CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, Page.window,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

// The list view costs most to make: it comes with the first step after the
// page has painted, placed after the status lines in the tab order.
static void MakeProfileList() {
  Page.list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
                              Page.window, reinterpret_cast<HMENU>(IDC_START_PROFILES), GetModuleHandleW(nullptr),
                              nullptr);
  SetWindowPos(Page.list, Page.running, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(Page.list, WM_SETFONT, reinterpret_cast<WPARAM>(Page.font), FALSE);
  ListView_SetExtendedListViewStyle(Page.list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (int column = 0; column < 4; ++column) {
    LVCOLUMNW title = {};
    title.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    title.fmt = column == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    title.cx = 100;
    title.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertColumn(Page.list, column, &title);
  }
  Relabel();
  Layout();
  if (GetFocus() == Page.window || !GetFocus()) SetFocus(Page.list);
}

void CreateStartPage(HWND window) {
  CloseLogSearch();
  if (Page.font) DeleteObject(Page.font);
  Page = {};
  Page.window = window;
  // Made in tab order: the rows, Compare, the actions, the folder choice.
  Page.folderLine = MakeControl(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, IDC_START_FOLDER);
  Page.running = MakeControl(L"STATIC", SS_LEFT | SS_NOPREFIX, IDC_START_RUNNING);
  Page.compare = MakeControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, IDC_START_COMPARE);
  HMENU actions = GetSubMenu(GetMenu(window), 1);
  int descriptionId = IDC_START_DESCRIPTION_FIRST;
  for (int i = 0, count = GetMenuItemCount(actions); i < count; ++i) {
    const UINT command = GetMenuItemID(actions, i);
    if (command == 0 || command == static_cast<UINT>(-1)) continue;  // separators and sub-menus
    HWND button = MakeControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, static_cast<int>(command));
    HWND description = MakeControl(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, descriptionId++);
    Page.actions.push_back({static_cast<int>(command), button, description});
  }
  Page.choose = MakeControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, IDC_START_CHOOSE_FOLDER);
  ShowWindow(Page.choose, SW_HIDE);
  TakeSystemFont();
  Relabel();
  EnableCompare();
  Layout();
  Page.step = Step::Folder;
}

void RefreshStartPage() {
  if (!Page.window || !IsWindow(Page.window)) return;
  CloseLogSearch();
  Relabel();
  Layout();
  Page.runningCheckDue = true;
  Page.step = Step::Folder;
}

// ----- the steps -----

static void ResolveFolder() {
  Page.rows.clear();
  ListView_DeleteAllItems(Page.list);
  EnableCompare();
  const std::vector<std::wstring> profilePaths = {Settings.filenameProfile1, Settings.filenameProfile2,
                                                  Settings.filenameCheckPorts, Settings.filenameProfile};
  Page.folder = ChooseMach3Folder(Settings.saveMachPath, profilePaths, HoldsMach3);
  Page.folderState = HoldsMach3(Page.folder) ? FolderState::Found : FolderState::NoMach3;
  Page.step = Page.folderState == FolderState::Found ? Step::Profiles : Step::Done;
}

static void ListProfiles() {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((Page.folder + L"\\*.xml").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) {
      Page.folderState = FolderState::Unreadable;
      Page.step = Step::Done;
      return;
    }
  } else {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      ProfileRow row;
      row.file = found.cFileName;
      row.changed = LocalTimeText(found.ftLastWriteTime);
      Page.rows.push_back(std::move(row));
    } while (Page.rows.size() < MaxRows && FindNextFileW(search, &found));
    FindClose(search);
  }
  std::sort(Page.rows.begin(), Page.rows.end(), [](const ProfileRow& a, const ProfileRow& b) {
    return _wcsicmp(a.file.c_str(), b.file.c_str()) < 0;
  });
  for (size_t i = 0; i < Page.rows.size(); ++i) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = Page.rows[i].file.data();
    ListView_InsertItem(Page.list, &item);
    ShowRow(i);
  }
  Page.logs.clear();
  Page.nextCount = 0;
  Page.step = Step::FindLogs;
}

static void FindLogs() {
  WIN32_FIND_DATAW found;
  bool more;
  if (Page.logSearch == INVALID_HANDLE_VALUE) {
    if (!Settings.saveStorePath[0]) {
      Page.step = Step::ReadLog;
      return;
    }
    Page.logSearch =
        FindFirstFileW((std::wstring(Settings.saveStorePath) + L"\\Kestrelwood-save-*.log").c_str(), &found);
    more = Page.logSearch != INVALID_HANDLE_VALUE;
  } else {
    more = FindNextFileW(Page.logSearch, &found) != FALSE;
  }
  for (int n = 0; more && n < LogNamesPerStep; ++n) {
    std::wstring time;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && SaveLogTime(found.cFileName, &time)) {
      Page.logs.emplace_back(time, found.cFileName);
    }
    if (n + 1 < LogNamesPerStep) more = FindNextFileW(Page.logSearch, &found) != FALSE;
  }
  if (!more) {
    CloseLogSearch();
    std::sort(Page.logs.begin(), Page.logs.end());
    Page.step = Step::ReadLog;
  }
}

// One log per step, newest first. A log that holds no profile (a save of
// macros only, a refused or cancelled run) says nothing about the profiles'
// last backup, so the next older one is read.
static void ReadLog() {
  std::vector<std::wstring> held;
  std::wstring heldTime;
  if (!Page.logs.empty()) {
    std::string bytes;
    if (ReadSmallFile(std::wstring(Settings.saveStorePath) + L"\\" + Page.logs.back().second, MaxLogBytes, &bytes)) {
      held = ProfilesHeldBySaveLog(FromUtf8(bytes));
    }
    heldTime = Page.logs.back().first;
    Page.logs.pop_back();
    if (held.empty() && !Page.logs.empty()) return;
  }
  for (size_t i = 0; i < Page.rows.size(); ++i) {
    ProfileRow& row = Page.rows[i];
    std::wstring lower = row.file;
    for (wchar_t& c : lower) c = towlower(c);
    row.backupKnown = true;
    row.backup = std::find(held.begin(), held.end(), lower) != held.end() ? heldTime : L"";
    ShowRow(i);
  }
  Page.step = Step::Count;
}

static void CountNext() {
  if (Page.nextCount >= Page.rows.size()) {
    Page.step = Step::Done;
    return;
  }
  ProfileRow& row = Page.rows[Page.nextCount];
  std::string bytes;
  row.entries = ReadSmallFile(Page.folder + L"\\" + row.file, MaxProfileBytes, &bytes) ? CountProfileEntries(bytes) : -1;
  ShowRow(Page.nextCount++);
}

bool StartPageIdleStep() {
  if (!Page.window || !IsWindow(Page.window)) return false;
  if (!Page.list) {
    MakeProfileList();
    return true;
  }
  if (Page.runningCheckDue) {
    Page.runningCheckDue = false;
    const int running = Mach3IsRunning() ? 1 : 0;
    if (running != Page.mach3Running) {
      Page.mach3Running = running;
      ShowFolderState();
    }
    return true;
  }
  switch (Page.step) {
    case Step::Done:
      return false;
    case Step::Folder: {
      const bool chooseShown = ChooseShown();
      ResolveFolder();
      if (Page.step == Step::Profiles) ListProfiles();
      ShowFolderState();
      if (chooseShown != ChooseShown()) Layout();
      break;
    }
    case Step::Profiles:
      ListProfiles();
      break;
    case Step::FindLogs:
      FindLogs();
      break;
    case Step::ReadLog:
      ReadLog();
      break;
    case Step::Count:
      CountNext();
      break;
  }
  return true;
}

// ----- the user's part -----

// The save dialog's folder browser; the choice becomes the stored Mach3
// folder, as if chosen there. Nothing is written into the folder itself.
static void OnChooseFolder() {
  if (!ChooseFolder(Page.window, Settings.saveMachPath)) return;
  StoreSettings({Settings.saveMachPath});
  RefreshStartPage();
}

static std::wstring RowPath(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Page.rows.size()) return L"";
  return Page.folder + L"\\" + Page.rows[index].file;
}

static void ShowProfileOfRow(int index) {
  const std::wstring path = RowPath(index);
  if (path.empty()) return;
  ShowProfileWithFile(Page.window, path.c_str());
  RefreshStartPage();
}

static void CompareSelectedRows() {
  const int first = ListView_GetNextItem(Page.list, -1, LVNI_SELECTED);
  const int second = first < 0 ? -1 : ListView_GetNextItem(Page.list, first, LVNI_SELECTED);
  if (second < 0) return;
  CompareWithFiles(Page.window, RowPath(first).c_str(), RowPath(second).c_str());
  RefreshStartPage();
}

bool StartPageMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (window != Page.window) return false;
  switch (message) {
    case WM_SIZE:
      Layout();
      *result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      *result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) Page.lastFocus = focus;
      } else {
        Page.runningCheckDue = true;  // looked at between messages, not before the first paint
      }
      return false;
    case WM_SETFOCUS:
      SetFocus(Page.lastFocus && IsWindowEnabled(Page.lastFocus) && IsWindowVisible(Page.lastFocus) ? Page.lastFocus
                                                                                                      : Page.list);
      *result = 0;
      return true;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETNONCLIENTMETRICS) {
        TakeSystemFont();
        Layout();
      }
      return false;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != IDC_START_PROFILES) return false;
      if (header->code == NM_DBLCLK) {
        ShowProfileOfRow(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
      } else if (header->code == LVN_ITEMCHANGED) {
        EnableCompare();
      }
      *result = 0;
      return true;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_START_COMPARE:
          CompareSelectedRows();
          break;
        case IDC_START_CHOOSE_FOLDER:
          OnChooseFolder();
          break;
        default:
          return false;
      }
      *result = 0;
      return true;
  }
  return false;
}

bool StartPageKey(MSG* message) {
  if (!Page.window || !IsChild(Page.window, message->hwnd)) return false;
  if (message->message == WM_KEYDOWN && message->wParam == VK_RETURN) {
    if (message->hwnd == Page.list) {
      ShowProfileOfRow(ListView_GetNextItem(Page.list, -1, LVNI_FOCUSED));
      return true;
    }
    wchar_t windowClass[16] = L"";
    GetClassNameW(message->hwnd, windowClass, 16);
    if (_wcsicmp(windowClass, L"Button") == 0) {
      SendMessageW(message->hwnd, BM_CLICK, 0, 0);
      return true;
    }
  }
  return IsDialogMessageW(Page.window, message) != FALSE;
}
