// Show profile: one profile's entries in a list, with the wild-card search
// and the segment filter.
#include <string>
#include <vector>

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "view/list_view_search.h"
#include "view/portable/profile_export.h"
#include "view/view_dialogs.h"

static const TextTriple TextShowTitle = {L"Profile anzeigen", L"Show profile", L"Show profile"};

static const TextTriple TextProfile = {L"Profile", L"Profile", L"Profil"};

const RelabelRow ShowProfileControls[] = {
    {IDC_SHOW_PATH_LABEL, &TextProfile},
    {IDC_SHOW_SEARCH_LABEL, &TextSearch},
    {IDC_SHOW_EXPORT, &TextExportItem},
    {0, nullptr},
};

// The column headings, in French too ("Nom", "Valeur"); the filter's search
// columns keep the English words.
static const TextTriple TextNameFr = {L"Name", L"Name", L"Nom"};
static const TextTriple TextValueFr = {L"Wert", L"Value", L"Valeur"};

static const ListColumn ShowProfileColumns[] = {
    {&TextElement, 250}, {&TextNameFr, 150}, {&TextValueFr, 500}, {nullptr, 0}};
inline constexpr int ShowProfileColumnCount = 3;

// What the dialog keeps while open, emptied as it opens.
static struct {
  std::vector<uint32_t> listedEntries;  // the slot-0 entries listed, row by row
  ExportedFile loadedFile;              // the file the listed rows came from, for the export; only while loaded
  bool loaded;
} View;

// Empty once the profile is released: the list asks for cells as it paints.
static std::wstring_view ListedCell(int row, int column) {
  const std::vector<ProfileEntry>& records = ProfileSlots[FirstProfileSlot].records;
  if (static_cast<size_t>(row) >= View.listedEntries.size() || View.listedEntries[row] >= records.size()) return {};
  const ProfileEntry& entry = records[View.listedEntries[row]];
  return column == 0 ? entry.path : column == 1 ? entry.name : entry.value;
}

static HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_PROFILE_LIST); }

// Each change of the number paints it at once, so an unchanged one is left.
static void ShowNumber(HWND dialog, size_t rows) {
  SetTextIfChanged(dialog, IDC_SHOW_ROWS, FormatText(L"%d", static_cast<int>(rows)));
}

static void ListSelectedEntries(HWND dialog) {
  View.listedEntries = SelectedEntries();
  FillListRows(ListOf(dialog), static_cast<int>(View.listedEntries.size()), ShowProfileColumnCount, ListedCell);
  ShowNumber(dialog, View.listedEntries.size());
}

// Export names the file the rows came from, so it waits for a loaded one.
static void SetLoaded(HWND dialog, bool loaded) {
  View.loaded = loaded;
  EnableWindow(GetDlgItem(dialog, IDC_SHOW_EXPORT), loaded);
}

static void OnInitShowProfile(HWND dialog) {
  StartDialog(dialog, {&TextShowTitle, ShowProfileControls});
  RelabelControls(ListViewControls, dialog);
  PrepareList(ListOf(dialog), ShowProfileColumns);
  View = {};
  Segments.clear();
  ClearSearchHits();  // hits of an earlier dialog belong to other rows
  SetLoaded(dialog, false);
  SetDlgItemTextW(dialog, IDC_SHOW_PATH, Settings.filenameProfile);
  ShowNumber(dialog, 0);
  // Enter goes to IDOK, which acts by the field it was pressed in.
  SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
}

// The rows stay in the list while the file is read (its cells answer
// empty meanwhile): emptying it first would hide and show its scroll bar.
// The number of rows and the Export button change once, at the end: Wine
// repaints a static control on every new text and a button on every change
// of state, at once. Export goes by View.loaded, cleared first, so a click
// on it while a read error is shown asks for a profile.
static void LoadProfile(HWND dialog, const wchar_t* path) {
  View.listedEntries.clear();
  View.loaded = false;
  Segments.clear();
  ClearSearchHits();
  ShowNoHits(dialog);
  if (!ReadProfile(FirstProfileSlot, path)) {
    EmptyList(ListOf(dialog));
    ShowNumber(dialog, 0);
    SetLoaded(dialog, false);
    return;
  }
  View.loadedFile = {path, FileChangeDate(path), ProfileSlots[FirstProfileSlot].Count()};
  SetLoaded(dialog, true);
  if (CopyText(Settings.filenameProfile, PathCapacity, path)) StoreSettings({Settings.filenameProfile});
  BuildSegments();
  ListSelectedEntries(dialog);
}

// The number stays with the rows listed: a cancelled choice leaves both, a
// chosen file's Load sets it.
static void OnBrowse(HWND dialog) {
  wchar_t path[PathCapacity] = L"";
  if (!ChooseProfileFile(path)) return;
  SetDlgItemTextW(dialog, IDC_SHOW_PATH, path);
  LoadProfile(dialog, path);
}

static void OnLoad(HWND dialog) {
  wchar_t path[PathCapacity] = L"";
  if (!ReadPathField(dialog, IDC_SHOW_PATH, path, TextSpecifyFile)) return;
  LoadProfile(dialog, path);
}

static void OnFind(HWND dialog) {
  HWND list = ListOf(dialog);
  if (!Search.hits.empty()) ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  const std::vector<uint8_t> marked = Search.hitRows;
  ClearSearchHits();
  RunSearch(dialog, static_cast<int>(View.listedEntries.size()), ShowProfileColumnCount, ListedCell);
  Search.currentHit = 0;
  RepaintChangedHits(list, marked);
}

static ExportTable ListedProfile() {
  ExportTable table;
  table.title = FormatText(L"%s \u2013 %s", ProgramName, SelectText(TextShowTitle));
  table.files = {View.loadedFile};
  for (const ListColumn* column = ShowProfileColumns; column->title; ++column) {
    table.columns.push_back(SelectText(*column->title));
  }
  for (int row = 0; row < static_cast<int>(View.listedEntries.size()); ++row) {
    table.rows.push_back({std::wstring(ListedCell(row, 0)), std::wstring(ListedCell(row, 1)),
                          std::wstring(ListedCell(row, 2))});
  }
  return table;
}

static void OnExport(HWND dialog) {
  if (!View.loaded) {
    ShowErrorMessage(dialog, SelectText(TextLoadFirst), MB_TASKMODAL);
    return;
  }
  ExportListedRows(dialog, ListedProfile());
}

static void OnClose(HWND dialog) {
  ReleaseAllProfiles();
  View.listedEntries.clear();
  Segments.clear();
  View.loaded = false;
  EndDialog(dialog, 1);
}

// Enter in the path field loads it; elsewhere it searches, as the search
// button did while it was the default one.
static void OnEnter(HWND dialog) {
  if (GetFocus() == GetDlgItem(dialog, IDC_SHOW_PATH)) {
    OnLoad(dialog);
  } else if (IsWindowEnabled(GetDlgItem(dialog, IDC_SEARCH_START))) {
    OnFind(dialog);
  }
}

static const ProfileListView ShowProfileView = {IDC_SHOW_ROWS, DrawHitRows, ListSelectedEntries, OnFind};

static bool OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK:
      OnEnter(dialog);
      return true;
    case IDC_SHOW_BROWSE:
      OnBrowse(dialog);
      return true;
    case IDC_LOAD_PROFILE:
      OnLoad(dialog);
      return true;
    case IDC_SHOW_EXPORT:
      OnExport(dialog);
      return true;
    case IDC_CLOSE_VIEW:
    case IDCANCEL:
      OnClose(dialog);
      return true;
  }
  return OnListCommand(dialog, id, ShowProfileView);
}

INT_PTR CALLBACK ShowProfileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      AnswerListDirectly(dialog, ShowProfileView);
      OnInitShowProfile(dialog);
      return TRUE;
    case WM_NOTIFY:
      return OnListNotice(dialog, reinterpret_cast<const NMHDR*>(lParam), ShowProfileView);
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
      OnClose(dialog);
      return TRUE;
  }
  return FALSE;
}
