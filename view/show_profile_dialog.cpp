// Show profile: one profile's entries in a list, with the wild-card search
// and the segment filter.
#include <io.h>

#include <string>
#include <vector>

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
static const TextTriple TextSpecifyFile = {L"Bitte Datei  angeben", L"Please specify file",
                                           L"Spécifiez le premier fichier"};

static const TextTriple TextProfile = {L"Profile", L"Profile", L"Profil"};

const RelabelRow ShowProfileControls[] = {
    {IDC_SHOW_PATH_LABEL, &TextProfile},
    {IDC_LOAD_PROFILE, &TextLoadData},
    {IDC_SHOW_SEARCH_LABEL, &TextSearch},
    {IDC_CLOSE_VIEW, &TextClose},
    {IDC_SET_FILTER, &TextSetFilter},
    {IDC_SEARCH_COUNT_LABEL, &TextHits},
    {IDC_SEARCH_CASE, &TextCaseSensitive},
    {IDC_SEARCH_START, &TextSearch},
    {IDC_SEARCH_FIRST, &TextShowFirst},
    {IDC_SEARCH_NEXT, &TextShowNext},
    {IDC_SEARCH_LAST, &TextShowLast},
    {IDC_SEARCH_GROUP, &TextSearch},
    {IDC_SEARCH_HINT, &TextWildCards},
    {IDC_SHOW_EXPORT, &TextExportItem},
    {0, nullptr},
};

static const TextTriple TextName = {L"Name", L"Name", L"Nom"};
static const TextTriple TextValue = {L"Wert", L"Value", L"Valeur"};

static const ListColumn ShowProfileColumns[] = {
    {&TextElement, 250}, {&TextName, 150}, {&TextValue, 500}, {nullptr, 0}};
inline constexpr int ShowProfileColumnCount = 3;

// The slot-0 entries listed, row by row.
static std::vector<uint32_t> ListedEntries;

// The file the listed rows came from, for the export; only while Loaded.
static ExportedFile LoadedFile;
static bool Loaded = false;

// Empty once the profile is released: the list asks for cells as it paints.
static std::wstring_view ListedCell(int row, int column) {
  const std::vector<ProfileEntry>& records = ProfileSlots[FirstProfileSlot].records;
  if (static_cast<size_t>(row) >= ListedEntries.size() || ListedEntries[row] >= records.size()) return {};
  const ProfileEntry& entry = records[ListedEntries[row]];
  return column == 0 ? entry.path : column == 1 ? entry.name : entry.value;
}

static HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_PROFILE_LIST); }

static void ShowNumber(HWND dialog, size_t rows) {
  SetDlgItemTextW(dialog, IDC_SHOW_ROWS, FormatText(L"%d", static_cast<int>(rows)).c_str());
}

static void ListSelectedEntries(HWND dialog) {
  ListedEntries = SelectedEntries();
  FillListRows(ListOf(dialog), static_cast<int>(ListedEntries.size()), ShowProfileColumnCount, ListedCell);
  ShowNumber(dialog, ListedEntries.size());
}

// Export names the file the rows came from, so it waits for a loaded one.
static void SetLoaded(HWND dialog, bool loaded) {
  Loaded = loaded;
  EnableWindow(GetDlgItem(dialog, IDC_SHOW_EXPORT), loaded);
}

static void OnInitShowProfile(HWND dialog) {
  LoadAllSettings();  // first, so the caption too is in the language in force
  SetWindowTextW(dialog, FormatText(L"Kestrelwood%s %s", VersionText, SelectText(TextShowTitle)).c_str());
  RelabelControls(ShowProfileControls, dialog);
  HWND list = ListOf(dialog);
  ListView_SetExtendedListViewStyle(
      list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_BORDERSELECT | LVS_EX_DOUBLEBUFFER);
  ListView_DeleteAllItems(list);
  InsertListColumns(list, ShowProfileColumns);
  ListedEntries.clear();
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
static void LoadProfile(HWND dialog, const wchar_t* path) {
  ListedEntries.clear();
  Segments.clear();
  ClearSearchHits();
  ShowNoHits(dialog);
  SetLoaded(dialog, false);
  if (!ReadProfile(FirstProfileSlot, path)) {
    EmptyList(ListOf(dialog));
    return;
  }
  LoadedFile = {path, FileChangeDate(path), ProfileSlots[FirstProfileSlot].Count()};
  SetLoaded(dialog, true);
  if (CopyText(Settings.filenameProfile, PathCapacity, path)) StoreSettings({Settings.filenameProfile});
  BuildSegments();
  ListSelectedEntries(dialog);
}

static void OnBrowse(HWND dialog) {
  ShowNumber(dialog, 0);
  wchar_t path[PathCapacity] = L"";
  if (!ChooseOpenFile(path, nullptr, L"*.xml\0*.xml\0", SelectText(TextOpenProfileTitle))) return;
  SetDlgItemTextW(dialog, IDC_SHOW_PATH, path);
  LoadProfile(dialog, path);
}

static void OnLoad(HWND dialog) {
  wchar_t path[PathCapacity] = L"";
  GetDlgItemTextW(dialog, IDC_SHOW_PATH, path, PathCapacity);
  if (!path[0]) {
    ShowErrorMessage(dialog, SelectText(TextSpecifyFile));
    return;
  }
  if (_waccess(path, 0) != 0) {
    ShowErrorMessage(dialog, FormatText(L"%s File not found", path).c_str());
    return;
  }
  ShowNumber(dialog, 0);
  LoadProfile(dialog, path);
}

// OK changes the rows, so the old hits no longer apply; Cancel changes nothing.
static void OnSetFilter(HWND dialog) {
  if (ProfileSlots[FirstProfileSlot].Capacity() == 0) {
    ShowErrorMessage(dialog, SelectText(TextLoadFirst), MB_TASKMODAL);
    return;
  }
  if (RunModalDialog(dialog, IDD_SEGMENT_FILTER, FilterDialogProc) != IDOK) return;
  ClearSearchHits();
  ShowNoHits(dialog);
  ListSelectedEntries(dialog);
}

static void OnFind(HWND dialog) {
  HWND list = ListOf(dialog);
  if (!Search.hits.empty()) ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  const std::vector<uint8_t> marked = Search.hitRows;
  ClearSearchHits();
  RunSearch(dialog, static_cast<int>(ListedEntries.size()), ShowProfileColumnCount, ListedCell);
  Search.currentHit = 0;
  RepaintChangedHits(list, marked);
}

static ExportTable ListedProfile() {
  ExportTable table;
  table.title = FormatText(L"%s \u2013 %s", ProgramName, SelectText(TextShowTitle));
  table.files = {LoadedFile};
  for (const ListColumn* column = ShowProfileColumns; column->title; ++column) {
    table.columns.push_back(SelectText(*column->title));
  }
  for (int row = 0; row < static_cast<int>(ListedEntries.size()); ++row) {
    table.rows.push_back({std::wstring(ListedCell(row, 0)), std::wstring(ListedCell(row, 1)),
                          std::wstring(ListedCell(row, 2))});
  }
  return table;
}

static void OnExport(HWND dialog) {
  if (!Loaded) {
    ShowErrorMessage(dialog, SelectText(TextLoadFirst), MB_TASKMODAL);
    return;
  }
  ExportListedRows(dialog, ListedProfile());
}

static void OnClose(HWND dialog) {
  ReleaseAllProfiles();
  ListedEntries.clear();
  Segments.clear();
  Loaded = false;
  EndDialog(dialog, 1);
}

static INT_PTR OnNotify(HWND dialog, const NMHDR* header) {
  if (header->idFrom != IDC_PROFILE_LIST) return FALSE;
  switch (header->code) {
    case LVN_ITEMACTIVATE:
      ShowNumber(dialog, reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem);
      return TRUE;
    case NM_CUSTOMDRAW:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT,
                        DrawHitRows(reinterpret_cast<const NMLVCUSTOMDRAW*>(header)));
      return TRUE;
    case LVN_DELETEALLITEMS:  // no notice per row: thousands of messages saved on every load
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case LVN_GETDISPINFOW:
    case LVN_ODFINDITEMW:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, AnswerVirtualList(header));
      return TRUE;
  }
  return FALSE;
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
    case IDC_SET_FILTER:
      OnSetFilter(dialog);
      return true;
    case IDC_SHOW_EXPORT:
      OnExport(dialog);
      return true;
    case IDC_SEARCH_START:
      OnFind(dialog);
      return true;
    case IDC_SEARCH_FIRST:
      ShowFirstHit(ListOf(dialog));
      return true;
    case IDC_SEARCH_NEXT:
      ShowNextHit(ListOf(dialog));
      return true;
    case IDC_SEARCH_LAST:
      ShowLastHit(ListOf(dialog));
      return true;
    case IDC_CLOSE_VIEW:
    case IDCANCEL:
      OnClose(dialog);
      return true;
  }
  return false;
}

INT_PTR CALLBACK ShowProfileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitShowProfile(dialog);
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
      OnClose(dialog);
      return TRUE;
  }
  return FALSE;
}
