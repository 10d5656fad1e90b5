// Compare profiles: two profiles paired entry by entry, values side by
// side, equal and differing rows in their own colours, optionally only the
// differences; searchable and filtered by segment like Show profile.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "app/common_dialogs.h"
#include "app/dialogs.h"
#include "app/file_helpers.h"
#include "app/mach3_check.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "plugins/profile_rewrite.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "view/list_view_search.h"
#include "view/portable/profile_compare.h"
#include "view/portable/profile_export.h"
#include "view/view_dialogs.h"

static const TextTriple TextCompareTitle = {L"Vergleichen von Profil Dateien", L"Comparison of profile files",
                                            L"Comparaison de fichiers profils"};
static const TextTriple TextOpenFile1 = {L"Datei 1 Öffnen", L"File 1 to open", L"Premier fichier à ouvrir"};
static const TextTriple TextOpenFile2 = {L"Datei 2 öffnen", L"File 2 to open", L"Deuxième fichier à ourvrir"};
static const TextTriple TextSpecifyFile1 = {L"Bitte Datei 1 angeben", L"Please specify file 1",
                                            L"Spécifiez le premier fichier"};
static const TextTriple TextSpecifyFile2 = {L"Bitte Datei 2 angeben", L"Please specify file 2",
                                            L"Spécifiez le deuxième fichier"};
static const TextTriple TextSameFiles = {L"Gleich Dateinamen für Profile 1 und Profile 2. Fortfahren?",
                                         L"Same filenames for profile1 and profile 2. Continue?",
                                         L"Le premier et le deuxième fichiers ont le même nom. Continuer ?"};
static const TextTriple TextValueOfFile = {L"Wert von Datei", L"Value of file", L"Value of file"};

static const TextTriple TextProfile1 = {L"Profile 1", L"Profile 1", L"Premier profil"};
static const TextTriple TextProfile2 = {L"Profile 2", L"Profile 2", L"Deuxième profil"};
static const TextTriple TextShowAll = {L"Zeige alle Elemente", L"Show all elements", L"Montrer tous les éléments"};
static const TextTriple TextShowDifferent = {L"Zeige nur Unterschiede", L"Show only differences",
                                             L"Montrer uniquement les différences"};
static const TextTriple TextSearchString = {L"Suche Daten", L"Search string", L"Search string"};
static const TextTriple TextPreviousDifference = {L"Vorheriger Unterschied", L"Previous difference",
                                                  L"Différence précédente"};
static const TextTriple TextNextDifference = {L"Nächster Unterschied", L"Next difference", L"Différence suivante"};

static const TextTriple TextCopyTo2 = {L"Gewählte Werte in Profil 2 kopieren", L"Copy selected values to profile 2",
                                      L"Copier la sélection dans le deuxième profil"};
static const TextTriple TextCopyTo1 = {L"Gewählte Werte in Profil 1 kopieren", L"Copy selected values to profile 1",
                                      L"Copier la sélection dans le premier profil"};
static const TextTriple TextConfirmCopy = {
    L"Die gewählten Werte kopieren nach\r\n%s?\r\n\r\nGeänderte Werte: %d\r\nHinzugefügte Einträge: %d\r\n\r\n"
    L"Es wird nichts entfernt.",
    L"Copy the selected values into\r\n%s?\r\n\r\nValues changed: %d\r\nEntries added: %d\r\n\r\n"
    L"Nothing is removed.",
    L"Copier les valeurs sélectionnées dans\r\n%s ?\r\n\r\nValeurs modifiées : %d\r\nEntrées ajoutées : %d\r\n\r\n"
    L"Rien n'est supprimé."};
static const TextTriple TextNothingToCopy = {L"Die gewählten Zeilen enthalten keine Werte zum Kopieren.",
                                            L"The selected rows hold no values to copy.",
                                            L"Les lignes sélectionnées ne contiennent aucune valeur à copier."};
static const TextTriple TextOldProfileKept = {L"Das alte Profil ist gesichert als %s", L"The old profile is kept as %s",
                                             L"L'ancien profil est conservé sous %s"};

const RelabelRow CompareControls[] = {
    {IDC_COMPARE_LABEL1, &TextProfile1},
    {IDC_COMPARE_LABEL2, &TextProfile2},
    {IDC_COMPARE_ALL, &TextShowAll},
    {IDC_COMPARE_DIFFERENT, &TextShowDifferent},
    {IDC_COMPARE_SEARCH_LABEL, &TextSearchString},
    {IDC_COMPARE_PREVIOUS_DIFFERENCE, &TextPreviousDifference},
    {IDC_COMPARE_NEXT_DIFFERENCE, &TextNextDifference},
    {IDC_COMPARE_COPY_TO2, &TextCopyTo2},
    {IDC_COMPARE_COPY_TO1, &TextCopyTo1},
    {IDC_COMPARE_EXPORT, &TextExportItem},
    {0, nullptr},
};

static const TextTriple ItemColours = {L"Farben", L"Colors", L"Couleurs"};

const RelabelRow CompareMenuBar[] = {{0, &TextFile}, {1, &TextSettingsMenu}, {-1, nullptr}};
const RelabelRow CompareMenuItems[] = {
    {IDM_COMPARE_EXPORT, &TextExportItem}, {IDM_COMPARE_EXIT, &TextExit}, {IDM_COMPARE_COLOURS, &ItemColours},
    {0, nullptr}};

static const TextTriple TextTag = {L"Bezeichnung", L"Tag", L"Nom"};
static const TextTriple TextValueFile1 = {L"Wert Datei 1", L"Value file 1", L"Valeur dans le fichier 1"};
static const TextTriple TextValueFile2 = {L"Wert Datei 2", L"Value file 2", L"Valeur dans le fichier 2"};

static const ListColumn CompareColumns[] = {
    {&TextElement, 100}, {&TextTag, 150}, {&TextValueFile1, 300}, {&TextValueFile2, 300}, {nullptr, 0}};

inline constexpr int CompareColumnCount = 4;
inline constexpr int File1Column = 2;
inline constexpr int File2Column = 3;

// What the dialog keeps while open, emptied as it opens.
static struct {
  // The first open-file dialog's initial folder: empty, so Windows picks it.
  wchar_t initialFolder[PathCapacity];
  // The slot-0 entries listed, row by row, and the display mode of the last
  // Load (a mode chosen since then waits for the next Load).
  std::vector<uint32_t> rows;
  bool listedDifferentOnly;
  // The two files as the last complete Load read them, for the export; the
  // paths in the fields may have changed since.
  ExportedFile loadedFiles[2];
  int counts[2];  // entries read from each file by the last Load, shown after it
  bool compared;
} View;

// Rows outlive the profiles when a new Load fails: released entries read
// as empty, since the list asks for cells and colours as it paints.
static bool Listed(uint32_t entry) {
  return entry < ProfileSlots[FirstProfileSlot].records.size() && entry < ProfileSlots[CompareResultSlot].records.size();
}

static std::wstring_view File1Value(uint32_t entry) {
  return Listed(entry) ? ProfileSlots[FirstProfileSlot].records[entry].value : std::wstring_view();
}
static std::wstring_view File2Value(uint32_t entry) {
  return Listed(entry) ? ProfileSlots[CompareResultSlot].records[entry].value : std::wstring_view();
}

static std::wstring_view CompareCell(int row, int column) {
  if (static_cast<size_t>(row) >= View.rows.size() || !Listed(View.rows[row])) return {};
  const uint32_t entry = View.rows[row];
  const ProfileEntry& first = ProfileSlots[FirstProfileSlot].records[entry];
  switch (column) {
    case 0:
      return first.path;
    case 1:
      return first.name;
    case File1Column:
      return first.value;
    default:
      return File2Value(entry);
  }
}

// An absent value shows as an empty text, and compares as one.
static bool ValuesEqual(uint32_t entry) { return File1Value(entry) == File2Value(entry); }

static bool BothPresentAndEqual(uint32_t entry) {
  return HasValue(File1Value(entry)) && HasValue(File2Value(entry)) && ValuesEqual(entry);
}

static HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_PROFILE_LIST); }

static void SetNumber(HWND dialog, int id, int number) {
  SetDlgItemTextW(dialog, id, FormatText(L"%d", number).c_str());
}

static void SetColumnTitle(HWND dialog, int column, const std::wstring& title) {
  LVCOLUMNW header = {};
  header.mask = LVCF_TEXT;
  header.pszText = const_cast<wchar_t*>(title.c_str());
  ListView_SetColumn(ListOf(dialog), column, &header);
}

static void EnableControl(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable); }

// The difference buttons need rows to step through; Export needs a
// complete comparison.
static void EnableForRows(HWND dialog) {
  const bool rows = View.compared && !View.rows.empty();
  EnableControl(dialog, IDC_COMPARE_PREVIOUS_DIFFERENCE, rows);
  EnableControl(dialog, IDC_COMPARE_NEXT_DIFFERENCE, rows);
  EnableMenuItem(GetMenu(dialog), IDM_COMPARE_EXPORT, MF_BYCOMMAND | (View.compared ? MF_ENABLED : MF_GRAYED));
  EnableControl(dialog, IDC_COMPARE_EXPORT, View.compared);
}

static void SetCompared(HWND dialog, bool compared) {
  View.compared = compared;
  EnableForRows(dialog);
  EnableControl(dialog, IDC_COMPARE_COPY_TO2, compared);
  EnableControl(dialog, IDC_COMPARE_COPY_TO1, compared);
}

// The rows refer to the lists in the slots: they go whenever those do.
// Rows still in the list answer empty until it is filled or emptied.
static void ForgetListedRows(HWND dialog) {
  ClearSearchHits();
  ShowNoHits(dialog);
  View.rows.clear();
  Segments.clear();
  View.compared = false;
}

static ExportedFile LoadedFile(const wchar_t* path, int slot) {
  return {path, FileChangeDate(path), ProfileSlots[slot].Count()};
}

// The rows of the selected segments, without the equal ones in "different
// only" mode.
static void ListCompareRows(HWND dialog) {
  View.rows.clear();
  for (uint32_t entry : SelectedEntries()) {
    if (View.listedDifferentOnly && BothPresentAndEqual(entry)) continue;
    View.rows.push_back(entry);
  }
  FillListRows(ListOf(dialog), static_cast<int>(View.rows.size()), CompareColumnCount, CompareCell);
  EnableForRows(dialog);
}

int AllocateCompareList() {
  const size_t capacity =
      std::max(ProfileSlots[FirstProfileSlot].Capacity(), ProfileSlots[SecondProfileSlot].Capacity());
  ReleaseProfile(CompareResultSlot);
  try {
    ProfileSlots[CompareResultSlot].records.resize(capacity);
  } catch (const std::bad_alloc&) {
    ReleaseProfile(CompareResultSlot);
    ShowErrorMessage(MainWindow, SelectText(TextOutOfMemory));
    return 0;
  }
  return 1;
}

int CompareProfiles(HWND dialog) {
  if (!ReadPathField(dialog, IDC_COMPARE_PATH1, Settings.filenameProfile1, TextSpecifyFile1) ||
      !ReadPathField(dialog, IDC_COMPARE_PATH2, Settings.filenameProfile2, TextSpecifyFile2)) {
    return 0;
  }
  const wchar_t* valueOf = SelectText(TextValueOfFile);
  SetColumnTitle(dialog, File1Column, FormatText(L"%s: %s", valueOf, Settings.filenameProfile1));
  SetColumnTitle(dialog, File2Column, FormatText(L"%s: %s", valueOf, Settings.filenameProfile2));
  ForgetListedRows(dialog);
  if (wcscmp(Settings.filenameProfile1, Settings.filenameProfile2) == 0 &&
      ShowWarningMessage(dialog, SelectText(TextSameFiles), MB_YESNO) != IDYES) {
    return 0;
  }
  if (!ReadProfile(FirstProfileSlot, Settings.filenameProfile1)) return 0;
  View.counts[0] = static_cast<int>(ProfileSlots[FirstProfileSlot].Count());
  View.loadedFiles[0] = LoadedFile(Settings.filenameProfile1, FirstProfileSlot);
  if (!ReadProfile(SecondProfileSlot, Settings.filenameProfile2)) return 0;
  View.counts[1] = static_cast<int>(ProfileSlots[SecondProfileSlot].Count());
  View.loadedFiles[1] = LoadedFile(Settings.filenameProfile2, SecondProfileSlot);
  if (!AllocateCompareList() || !MergeProfiles(GrowProfileList)) return 0;
  BuildSegments();
  View.listedDifferentOnly = Settings.showDifferentOnly != 0;
  View.compared = true;  // before listing, which enables the buttons by it
  ListCompareRows(dialog);
  EnableControl(dialog, IDC_SET_FILTER, true);
  EnableControl(dialog, IDC_SEARCH_START, true);
  return 1;
}

LRESULT DrawCompareRow(const NMLVCUSTOMDRAW* draw) {
  if (draw->nmcd.dwDrawStage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
    return DrawListRow(draw, CLR_DEFAULT, CLR_DEFAULT);
  }
  if (draw->iSubItem >= File2Column) return CDRF_DODEFAULT;
  const size_t row = draw->nmcd.dwItemSpec;
  if (Search.IsHit(static_cast<int>(row)) || row >= View.rows.size()) {
    return DrawListRow(draw, CLR_DEFAULT, CLR_DEFAULT);
  }
  return ValuesEqual(View.rows[row])
             ? DrawListRow(draw, Settings.compareTextColorEqual, Settings.compareBackColorEqual)
             : DrawListRow(draw, Settings.compareTextColorUnequal, Settings.compareBackColorUnequal);
}

// A menu added to a dialog takes its height from the client area: the
// window grows by it, so the bottom row stays in view.
static void AttachMenu(HWND dialog) {
  SetMenu(dialog, LoadMenuW(Instance, MAKEINTRESOURCEW(IDR_COMPARE_MENU)));
  RelabelMenuBar(CompareMenuBar, dialog);
  RelabelMenuItems(CompareMenuItems, dialog);
  RECT frame;
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left,
               frame.bottom - frame.top + GetSystemMetrics(SM_CYMENU), SWP_NOMOVE | SWP_NOZORDER);
}

static void OnInitCompare(HWND dialog) {
  StartDialog(dialog, {&TextCompareTitle, CompareControls});
  RelabelControls(ListViewControls, dialog);
  AttachMenu(dialog);
  SendDlgItemMessageW(dialog, IDC_SEARCH_HINT, WM_SETFONT, reinterpret_cast<WPARAM>(CompareFont), FALSE);
  ClearSearchHits();
  View = {};
  Segments.clear();
  SetCompared(dialog, false);
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH1, Settings.filenameProfile1);
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH2, Settings.filenameProfile2);
  PrepareList(ListOf(dialog), CompareColumns);
  for (int id : {IDC_SET_FILTER, IDC_SEARCH_START, IDC_SEARCH_FIRST, IDC_SEARCH_NEXT, IDC_SEARCH_LAST}) {
    EnableControl(dialog, id, false);
  }
  CheckDlgButton(dialog, IDC_COMPARE_ALL, Settings.showAll ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_COMPARE_DIFFERENT, Settings.showDifferentOnly ? BST_CHECKED : BST_UNCHECKED);
  for (int id : {IDC_COMPARE_PATH1, IDC_COMPARE_PATH2}) {
    SendDlgItemMessageW(dialog, id, EM_SETEVENTMASK, 0, ENM_CHANGE);
  }
  SetNumber(dialog, IDC_COMPARE_COUNT1, 0);
  SetNumber(dialog, IDC_COMPARE_COUNT2, 0);
  // Enter goes to IDOK, which acts by the field it was pressed in.
  SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
}

struct FileSide {
  int field;
  int count;
  int column;
  wchar_t* path;
  const TextTriple* title;
  wchar_t* initialFolder;
};

static const FileSide Sides[] = {
    {IDC_COMPARE_PATH1, IDC_COMPARE_COUNT1, File1Column, Settings.filenameProfile1, &TextOpenFile1, View.initialFolder},
    {IDC_COMPARE_PATH2, IDC_COMPARE_COUNT2, File2Column, Settings.filenameProfile2, &TextOpenFile2, nullptr},
};

static void OnBrowse(HWND dialog, const FileSide& side) {
  wchar_t path[PathCapacity] = L"";
  if (!ChooseProfileFile(path, *side.title, side.initialFolder)) return;
  CopyText(side.path, PathCapacity, path);
  SetDlgItemTextW(dialog, side.field, path);
  StoreSettings({side.path});
  SetColumnTitle(dialog, side.column, L"");
  SetNumber(dialog, side.count, 0);
  EnableControl(dialog, IDC_SET_FILTER, false);
}

static void OnDisplayMode(bool differentOnly) {
  Settings.showDifferentOnly = differentOnly ? 1 : 0;
  Settings.showAll = differentOnly ? 0 : 1;
  StoreSettings({&Settings.showAll, &Settings.showDifferentOnly});
}

static std::wstring ColumnTitles(HWND dialog) {
  std::wstring titles;
  for (int column : {File1Column, File2Column}) {
    wchar_t title[2 * PathCapacity] = L"";
    LVCOLUMNW header = {};
    header.mask = LVCF_TEXT;
    header.pszText = title;
    header.cchTextMax = static_cast<int>(std::size(title));
    ListView_GetColumn(ListOf(dialog), column, &header);
    titles.append(title).push_back(L'\n');
  }
  return titles;
}

// A load mostly leaves the titles as they were, through the bare file
// names; every change repaints the headers, which under Wine's theme costs
// as much as the rows. Hidden meanwhile, they repaint only if they differ.
// The list keeps its rows until it is filled again, and the counts and
// buttons change once at the end: Wine repaints a static control on every
// new text and a button on every change of state, at once.
static void OnLoad(HWND dialog) {
  HWND headers = ListView_GetHeader(ListOf(dialog));
  const bool shown = (GetWindowLongPtrW(headers, GWL_STYLE) & WS_VISIBLE) != 0;
  const bool pending = GetUpdateRect(headers, nullptr, FALSE) != FALSE;
  const std::wstring titles = ColumnTitles(dialog);
  if (shown) DefWindowProcW(headers, WM_SETREDRAW, FALSE, 0);
  SetTextIfChanged(dialog, IDC_COMPARE_STATUS, L"");
  ReleaseAllProfiles();
  ForgetListedRows(dialog);  // also when a path turns out unusable
  View.counts[0] = View.counts[1] = 0;
  SetColumnTitle(dialog, File1Column, Settings.filenameProfile1);
  SetColumnTitle(dialog, File2Column, Settings.filenameProfile2);
  if (!CompareProfiles(dialog)) EmptyList(ListOf(dialog));
  SetTextIfChanged(dialog, IDC_COMPARE_COUNT1, FormatText(L"%d", View.counts[0]));
  SetTextIfChanged(dialog, IDC_COMPARE_COUNT2, FormatText(L"%d", View.counts[1]));
  SetCompared(dialog, View.compared);
  if (!shown) return;
  DefWindowProcW(headers, WM_SETREDRAW, TRUE, 0);
  if (pending || ColumnTitles(dialog) != titles) InvalidateRect(headers, nullptr, TRUE);
}

static void OnFind(HWND dialog) {
  HWND list = ListOf(dialog);
  const std::vector<uint8_t> marked = Search.hitRows;
  const bool atTop = ListView_GetTopIndex(list) == 0;
  ClearSearchHits();
  ShowListRow(list, 0);
  RunSearch(dialog, static_cast<int>(View.rows.size()), CompareColumnCount, CompareCell);
  Search.currentHit = 0;
  if (atTop) {
    RepaintChangedHits(list, marked);
  } else {
    RepaintRows(list);  // the scroll to the top drew uncovered rows without hits
  }
}

static bool RowDiffers(int row) { return !ValuesEqual(View.rows[row]); }

// Selects the nearest differing row before (-1) or after (+1) the selected
// one and scrolls it into view; nothing changes when there is none.
static void OnStepToDifference(HWND dialog, int step) {
  HWND list = ListOf(dialog);
  const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  const int row = StepToDifference(selected, static_cast<int>(View.rows.size()), step, RowDiffers);
  if (row < 0) {
    MessageBeep(MB_OK);
    return;
  }
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, row, FALSE);
}

static ExportTable ListedComparison() {
  ExportTable table;
  table.title = FormatText(L"%s \u2013 %s", ProgramName, SelectText(TextCompareTitle));
  table.files.assign(std::begin(View.loadedFiles), std::end(View.loadedFiles));
  for (const TextTriple* title : {&TextElement, &TextTag, &TextValueFile1, &TextValueFile2}) {
    table.columns.push_back(SelectText(*title));
  }
  for (int row = 0; row < static_cast<int>(View.rows.size()); ++row) {
    std::vector<std::wstring> cells;
    for (int column = 0; column < CompareColumnCount; ++column) cells.emplace_back(CompareCell(row, column));
    table.rows.push_back(std::move(cells));
    table.differs.push_back(RowDiffers(row));
  }
  table.equal = {Settings.compareTextColorEqual, Settings.compareBackColorEqual};
  table.unequal = {Settings.compareTextColorUnequal, Settings.compareBackColorUnequal};
  return table;
}

static void OnExport(HWND dialog) {
  if (!View.compared) {
    ShowErrorMessage(dialog, SelectText(TextLoadFirst), MB_TASKMODAL);
    return;
  }
  ExportListedRows(dialog, ListedComparison());
}

// Every compared entry, for the change set; the selected rows' entries.
static std::vector<ComparedEntry> ComparedEntries() {
  std::vector<ComparedEntry> entries;
  const ProfileList& first = ProfileSlots[FirstProfileSlot];
  for (uint32_t k = 0; k < first.Count() && Listed(k); ++k) {
    entries.push_back({first.records[k].path, first.records[k].name, File1Value(k), File2Value(k)});
  }
  return entries;
}

static std::vector<uint32_t> SelectedRowEntries(HWND list) {
  std::vector<uint32_t> chosen;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row != -1;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    if (static_cast<size_t>(row) < View.rows.size()) chosen.push_back(View.rows[row]);
  }
  return chosen;
}

// Copies the chosen rows' values of one file into the other, after a
// confirmation naming the target; then both are read anew.
static void OnCopyValues(HWND dialog, bool toSecond) {
  if (!View.compared) {
    ShowErrorMessage(dialog, SelectText(TextLoadFirst), MB_TASKMODAL);
    return;
  }
  const std::vector<ProfileChange> changes =
      ChangeSetOf(ComparedEntries(), SelectedRowEntries(ListOf(dialog)), toSecond);
  if (changes.empty()) {
    ShowInfoMessage(dialog, SelectText(TextNothingToCopy));
    return;
  }
  const int added = static_cast<int>(std::count_if(changes.begin(), changes.end(), [](auto& c) { return c.add; }));
  const std::wstring target = View.loadedFiles[toSecond ? 1 : 0].path;
  // Mach3 would write its own profile back over the copied values.
  if (CheckMach3Running(Mach3Refuse)) return;
  const std::wstring question =
      FormatText(SelectText(TextConfirmCopy), target.c_str(), static_cast<int>(changes.size()) - added, added);
  if (ShowWarningMessage(dialog, question.c_str(), MB_OKCANCEL) != IDOK) return;
  std::wstring kept;
  if (!ApplyProfileChanges(target, changes, &kept)) return;
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH1, View.loadedFiles[0].path.c_str());
  SetDlgItemTextW(dialog, IDC_COMPARE_PATH2, View.loadedFiles[1].path.c_str());
  OnLoad(dialog);
  SetDlgItemTextW(dialog, IDC_COMPARE_STATUS, FormatText(SelectText(TextOldProfileKept), kept.c_str()).c_str());
}

// New colours show at once.
static void OnColours(HWND dialog) {
  RunModalDialog(dialog, IDD_COLOURS, ColourDialogProc);
  InvalidateRect(ListOf(dialog), nullptr, TRUE);
}

static void OnClose(HWND dialog) {
  ReleaseAllProfiles();
  View.compared = false;
  View.rows.clear();
  Segments.clear();
  HMENU menu = GetMenu(dialog);
  SetMenu(dialog, nullptr);
  DestroyMenu(menu);
  EndDialog(dialog, 1);
}

static const ProfileListView CompareView = {IDC_COMPARE_ROW, DrawCompareRow, ListCompareRows, OnFind};

static INT_PTR OnNotify(HWND dialog, const NMHDR* header) {
  if (header->idFrom == IDC_PROFILE_LIST && header->code == LVN_KEYDOWN) {  // Ctrl+A selects every listed row
    if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == 'A' && GetKeyState(VK_CONTROL) < 0) {
      ListView_SetItemState(ListOf(dialog), -1, LVIS_SELECTED, LVIS_SELECTED);
    }
    return TRUE;
  }
  return OnListNotice(dialog, header, CompareView);
}

static bool FieldFilled(HWND dialog, int id) { return GetWindowTextLengthW(GetDlgItem(dialog, id)) > 0; }

// Enter in a path field loads once both paths are there; elsewhere it
// searches, as the search button did while it was the default one.
static void OnEnter(HWND dialog) {
  HWND focus = GetFocus();
  if (focus == GetDlgItem(dialog, IDC_COMPARE_PATH1) || focus == GetDlgItem(dialog, IDC_COMPARE_PATH2)) {
    if (FieldFilled(dialog, IDC_COMPARE_PATH1) && FieldFilled(dialog, IDC_COMPARE_PATH2)) OnLoad(dialog);
  } else if (IsWindowEnabled(GetDlgItem(dialog, IDC_SEARCH_START))) {
    OnFind(dialog);
  }
}

static bool OnCommand(HWND dialog, int id, int code) {
  switch (id) {
    case IDOK:
      OnEnter(dialog);
      return true;
    case IDC_COMPARE_PATH1:
    case IDC_COMPARE_PATH2:
      if (code == EN_CHANGE) EnableControl(dialog, IDC_SET_FILTER, false);
      return true;
    case IDC_COMPARE_BROWSE1:
      OnBrowse(dialog, Sides[0]);
      return true;
    case IDC_COMPARE_BROWSE2:
      OnBrowse(dialog, Sides[1]);
      return true;
    case IDC_COMPARE_ALL:
      OnDisplayMode(false);
      return true;
    case IDC_COMPARE_DIFFERENT:
      OnDisplayMode(true);
      return true;
    case IDC_LOAD_PROFILE:
      OnLoad(dialog);
      return true;
    case IDC_COMPARE_PREVIOUS_DIFFERENCE:
      OnStepToDifference(dialog, -1);
      return true;
    case IDC_COMPARE_NEXT_DIFFERENCE:
      OnStepToDifference(dialog, +1);
      return true;
    case IDC_COMPARE_COPY_TO2:
      OnCopyValues(dialog, true);
      return true;
    case IDC_COMPARE_COPY_TO1:
      OnCopyValues(dialog, false);
      return true;
    case IDC_COMPARE_EXPORT:
    case IDM_COMPARE_EXPORT:
      OnExport(dialog);
      return true;
    case IDM_COMPARE_COLOURS:
      OnColours(dialog);
      return true;
    case IDM_COMPARE_EXIT:
    case IDC_CLOSE_VIEW:
    case IDCANCEL:
      OnClose(dialog);
      return true;
  }
  return OnListCommand(dialog, id, CompareView);
}

INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      AnswerListDirectly(dialog, CompareView);
      OnInitCompare(dialog);
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE:
      OnClose(dialog);
      return TRUE;
  }
  return FALSE;
}
