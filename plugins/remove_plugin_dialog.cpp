// The plug-in removal: a warning page, the plug-ins of one profile with the
// number of profile files that hold each, and their removal.
#include "plugins/remove_plugin_dialog.h"

#include <commctrl.h>
#include <shlobj.h>

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/mach3_check.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "backup/portable/copy_rules.h"
#include "backup/walk_tree.h"
#include "plugins/portable/plugin_rules.h"
#include "plugins/profile_rewrite.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"

std::vector<PluginReference> PluginReferenceTable;
std::vector<std::wstring> ScannedProfileFiles;

static const TextTriple TextTitle = {L"Entfernen von Plugins aus dem Profile", L"Remove Plugins from a Profile",
                                     L"Remove Plugins from a Profile"};
static const TextTriple TextRemove = {L"Plugin aus Profil entfernen", L"Remove Plugin from Profile",
                                      L"Remove Plugin from Profile"};
static const TextTriple TextSelection = {L"Auswahl", L"Selection", L"Selection"};
static const TextTriple TextAll = {L"Alle", L"All", L"All"};
static const TextTriple TextOnlyEnabled = {L"Nur freigegebene", L"Only Enabled", L"Only Enabled"};
static const TextTriple TextDisabledOnly = {L"Nur NICHT freigegebene", L"Disabled Only", L"Disabled Only"};
static const TextTriple TextNoWarning = {L"Warnung nicht mehr anzeigen", L"Don't show warning anymore",
                                         L"Don't show warning anymore"};
static const TextTriple TextEnabled = {L"freigegeben", L"Enabled", L"Enabled"};
static const TextTriple TextDisabled = {L"nicht freigegeben", L"Disabled", L"Disabled"};
static const TextTriple TextNothingSelected = {L"Kein Plugin ausgewählt", L"No Plugin selected",
                                               L"No Plugin selected"};
static const TextTriple TextColumnEnabled = {L"Freigegeben / Gesperrt", L"Enabled / Disabled", L"Enabled / Disabled"};
static const TextTriple TextColumnReferenced = {L"Aufgerufen", L"Referenced", L"Referenced"};
static const TextTriple TextReferencingTitle = {L"Aufrufende Profile", L"Referencing profiles",
                                                L"Referencing profiles"};
static const TextTriple TextReferencedFrom = {L"Plugin aufgerufen von", L"Plugin referenced from",
                                              L"Plugin referenced from"};
static const TextTriple TextWarning = {
    L"Achtung !  Die Plugin Einträge im Profil werden nur bei einer Änderung in Mach3's Config Dialog "
    L"aktualisiert.\n\n\n\n\rUm den aktuellen Stand der Plugins im Profile anzuzeigen, muss deshalb mindestens "
    L"einmal ein Check-Button \"Enabled\" angeklickt werden",
    L"Attention ! The plugin entries of the profile are only updated, if a checkbox \"Enabled\" in Mach3's Config "
    L"dialog is hit.\n\n\n\n\rTo get the actual state of the plugins in the profile shown, you must hit a checkbox "
    L"button at least once.",
    L"Attention ! The plugin entries of the profile are only updated, if a checkbox \"Enabled\" in Mach3's Config "
    L"dialog is hit.\n\n\n\n\rTo get the actual state of the plugins in the profile shown, you must hit a checkbox "
    L"button at least once."};

const RelabelRow PluginControls[] = {
    {IDC_PLUGIN_MACH_LABEL, &TextInstallationPath}, {IDC_PLUGIN_LOAD, &TextLoadData},
    {IDC_PLUGIN_REMOVE, &TextRemove},               {IDC_PLUGIN_SELECTION, &TextSelection},
    {IDC_PLUGIN_MODE_ALL, &TextAll},                {IDC_PLUGIN_MODE_ENABLED, &TextOnlyEnabled},
    {IDC_PLUGIN_MODE_DISABLED, &TextDisabledOnly},  {IDC_PLUGIN_NO_WARNING, &TextNoWarning},
    {IDC_PLUGIN_CLOSE, &TextClose},                 {0, nullptr},
};

const RelabelRow ReferencingControls[] = {
    {IDC_REFERENCING_LABEL, &TextReferencedFrom}, {IDOK, &TextClose}, {0, nullptr}};

static const int ModeButtons[] = {IDC_PLUGIN_MODE_ALL, IDC_PLUGIN_MODE_ENABLED, IDC_PLUGIN_MODE_DISABLED};

// The dialog's state, emptied as it opens: the profile of the last load,
// whether it was read whole, and whether the warning page is up.
static struct {
  std::wstring loadedPath;
  bool loadedWhole;
  bool warningMode;
} View;

static HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_PLUGIN_LIST); }

static std::wstring RowName(HWND list, int row) {
  wchar_t name[PathCapacity] = L"";
  ListView_GetItemText(list, row, 0, name, PathCapacity);
  return name;
}

static void AddRow(HWND list, const ProfileEntry& entry) {
  const std::wstring name(entry.name);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = ListView_GetItemCount(list);
  item.pszText = const_cast<wchar_t*>(name.c_str());
  const int row = ListView_InsertItem(list, &item);
  ListView_SetItemText(list, row, 1,
                       const_cast<wchar_t*>(SelectText(IsEnabledText(entry.value) ? TextEnabled : TextDisabled)));
}

bool LoadPluginList(const wchar_t* path, HWND dialog) {
  if (CheckMach3Running(Mach3Refuse)) return false;
  View.loadedPath = path;
  SetDlgItemTextW(dialog, IDC_PLUGIN_PROFILE, path);
  HWND list = ListOf(dialog);
  ListView_DeleteAllItems(list);
  View.loadedWhole = ReadProfile(FirstProfileSlot, path) == 1;
  if (!View.loadedWhole) return true;  // the reader has said why
  const ProfileList& profile = ProfileSlots[FirstProfileSlot];
  for (uint32_t k = 0; k < profile.Count(); ++k) {
    const ProfileEntry& entry = profile.records[k];
    if (entry.path != PluginSectionPath || entry.name == L"SystemTest") continue;
    if (IsListedInMode(Settings.removePluginMode, entry.value)) AddRow(list, entry);
  }
  return true;
}

void CountPluginReferences(HWND dialog, const std::wstring& folder) {
  HWND list = ListOf(dialog);
  const int rows = ListView_GetItemCount(list);
  PluginReferenceTable.assign(static_cast<size_t>(rows), PluginReference{});
  ScannedProfileFiles.clear();
  int32_t count = 0;
  WalkTree(folder, &count, L"*.xml");
  const std::vector<WalkEntry> found(WalkList.begin(), WalkList.begin() + count);
  std::vector<std::wstring> names;
  for (int row = 0; row < rows; ++row) names.push_back(RowName(list, row));
  for (const WalkEntry& file : found) {
    if (file.IsFolder()) continue;
    const size_t index = ScannedProfileFiles.size();
    ScannedProfileFiles.push_back(file.name);
    ReadProfile(SecondProfileSlot, JoinPath(file.folder, file.name).c_str());
    CountReferencesInFile(PluginReferenceTable, names, index);
    ReleaseProfile(SecondProfileSlot);
  }
  for (int row = 0; row < rows; ++row) {
    const std::wstring text = FormatText(L"%d", PluginReferenceTable[static_cast<size_t>(row)].count);
    ListView_SetItemText(list, row, 2, const_cast<wchar_t*>(text.c_str()));
  }
}

static void ShowPluginControls(bool show, HWND dialog) {
  for (int id : {IDC_PLUGIN_LIST, IDC_PLUGIN_LOAD, IDC_PLUGIN_REMOVE, IDC_PLUGIN_MODE_ALL, IDC_PLUGIN_MODE_ENABLED,
                 IDC_PLUGIN_MODE_DISABLED}) {
    ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
  }
}

static void ShowWarningPage(bool show, HWND dialog) {
  View.warningMode = show;
  ShowPluginControls(!show, dialog);
  ShowWindow(GetDlgItem(dialog, IDC_PLUGIN_WARNING), show ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_PLUGIN_NO_WARNING), show ? SW_SHOW : SW_HIDE);
  // Enter leaves the warning page, and on the list loads the typed profile.
  SendMessageW(dialog, DM_SETDEFID, show ? IDC_PLUGIN_CLOSE : IDC_PLUGIN_LOAD, 0);
}

static void AddColumns(HWND list) {
  const struct {
    const TextTriple* title;
    int width;
  } columns[] = {{&TextName, 250}, {&TextColumnEnabled, 150}, {&TextColumnReferenced, 500}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = ScaleToScreen(columns[i].width);
    column.pszText = const_cast<wchar_t*>(SelectText(*columns[i].title));
    ListView_InsertColumn(list, i, &column);
  }
}

static void OnInitRemovePlugin(HWND dialog) {
  StartDialog(dialog, {&TextTitle, PluginControls});
  View = {};
  SetDlgItemTextW(dialog, IDC_MACH_PATH, Settings.removePluginMachPath);
  HWND list = ListOf(dialog);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_BORDERSELECT |
                                              LVS_EX_DOUBLEBUFFER);
  AddColumns(list);
  const DWORD mode = Settings.removePluginMode <= 2 ? Settings.removePluginMode : 0;
  CheckRadioButton(dialog, IDC_PLUGIN_MODE_ALL, IDC_PLUGIN_MODE_DISABLED, ModeButtons[mode]);
  HWND progress = GetDlgItem(dialog, IDC_PLUGIN_PROGRESS);
  SendMessageW(progress, PBM_SETSTATE, PBST_NORMAL, 0);
  SendMessageW(progress, PBM_SETPOS, 0, 0);
  SendMessageW(progress, PBM_SETSTEP, 1, 0);
  if (Settings.showWarningRemovePlugin) {
    SendDlgItemMessageW(dialog, IDC_PLUGIN_WARNING, WM_SETFONT, reinterpret_cast<WPARAM>(HeadingFont), FALSE);
    SetDlgItemTextW(dialog, IDC_PLUGIN_WARNING, SelectText(TextWarning));
  }
  ShowWarningPage(Settings.showWarningRemovePlugin != 0, dialog);
}

static void LoadProfile(HWND dialog, const std::wstring& path) {
  wchar_t mach[PathCapacity] = L"";
  GetDlgItemTextW(dialog, IDC_MACH_PATH, mach, PathCapacity);
  // A profile named without a folder is one of the Mach3 folder's; it is
  // held with its folder, so the removal writes that very file.
  const std::wstring folder = mach[0] ? mach : L".";
  const std::wstring profile = PathRootLength(path) == 0 ? JoinPath(folder, path) : path;
  if (LoadPluginList(profile.c_str(), dialog)) CountPluginReferences(dialog, folder);
}

static void OnLoad(HWND dialog) {
  ReleaseAllProfiles();
  wchar_t path[PathCapacity] = L"";
  GetDlgItemTextW(dialog, IDC_PLUGIN_PROFILE, path, PathCapacity);
  if (path[0] == L'\0') {
    ShowErrorMessage(dialog, SelectText(TextSpecifyFile));
    return;
  }
  ListView_DeleteAllItems(ListOf(dialog));
  LoadProfile(dialog, path);
}

static void OnChooseProfile(HWND dialog) {
  wchar_t path[PathCapacity] = L"";
  if (!ChooseProfileFile(path)) return;
  ReleaseAllProfiles();
  LoadProfile(dialog, path);
}

static void OnChooseMachFolder(HWND dialog) {
  if (!ChooseFolder(dialog, Settings.removePluginMachPath)) return;
  SetDlgItemTextW(dialog, IDC_MACH_PATH, Settings.removePluginMachPath);
  StoreSettings({Settings.removePluginMachPath});
}

static void OnMode(DWORD mode) {
  Settings.removePluginMode = mode;
  StoreSettings({&Settings.removePluginMode});
}

static void OnRemove(HWND dialog) {
  HWND list = ListOf(dialog);
  PluginSelection.clear();
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row != -1;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED | LVNI_BELOW)) {
    PluginSelection.push_back({RowName(list, row), row});
  }
  if (PluginSelection.empty()) {
    ShowErrorMessage(dialog, SelectText(TextNothingSelected));
    return;
  }
  // Only a profile read to its end is written back: the rest would be lost.
  if (!View.loadedWhole) return;
  // A Mach3 started since the Load writes its profile back when it ends.
  if (CheckMach3Running(Mach3Refuse)) return;
  // The rewrite writes what the reader listed: anything else would be lost.
  if (!ProfileFileRewritable(View.loadedPath)) return;
  const std::wstring rewritten = View.loadedPath + L"ppp";
  const bool written = RewriteProfileWithout(dialog, rewritten.c_str()) != 0;
  if (written && ReplaceProfileFile(View.loadedPath, rewritten)) {
    // The removed rows are gone from the list: their references go too, so
    // a double click shows the profiles of the plug-in in that row.
    for (auto choice = PluginSelection.rbegin(); choice != PluginSelection.rend(); ++choice) {
      if (static_cast<size_t>(choice->row) < PluginReferenceTable.size()) {
        PluginReferenceTable.erase(PluginReferenceTable.begin() + choice->row);
      }
    }
    return;
  }
  // After a failure the rows and the removed marks no longer match the file
  // on disk (a refused structure changed nothing): a new Load starts over.
  if (written || ProfileSlots[FirstProfileSlot].Count() == 0) {
    ReleaseProfile(FirstProfileSlot);
    ListView_DeleteAllItems(list);
    View.loadedWhole = false;
  }
}

static void OnNoWarning(HWND dialog) {
  if (IsDlgButtonChecked(dialog, IDC_PLUGIN_NO_WARNING) != BST_CHECKED) return;
  Settings.showWarningRemovePlugin = 0;
  StoreSettings({&Settings.showWarningRemovePlugin});
}

static void OnClose(HWND dialog) {
  if (View.warningMode) {
    ShowWarningPage(false, dialog);
    return;
  }
  ReleaseAllProfiles();
  EndDialog(dialog, 1);
}

static BOOL OnRemovePluginCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_PLUGIN_MACH_BROWSE:
      OnChooseMachFolder(dialog);
      return TRUE;
    case IDC_PLUGIN_PROFILE_BROWSE:
      OnChooseProfile(dialog);
      return TRUE;
    case IDC_PLUGIN_LOAD:
      OnLoad(dialog);
      return TRUE;
    case IDC_PLUGIN_MODE_ALL:
    case IDC_PLUGIN_MODE_ENABLED:
    case IDC_PLUGIN_MODE_DISABLED:
      OnMode(static_cast<DWORD>(id - IDC_PLUGIN_MODE_ALL));
      return TRUE;
    case IDC_PLUGIN_REMOVE:
      OnRemove(dialog);
      return TRUE;
    case IDC_PLUGIN_NO_WARNING:
      OnNoWarning(dialog);
      return TRUE;
    case IDC_PLUGIN_CLOSE:
    case IDCANCEL:
      OnClose(dialog);
      return TRUE;
  }
  return FALSE;
}

static BOOL OnPluginNotify(HWND dialog, const NMHDR* header) {
  if (header->idFrom != IDC_PLUGIN_LIST) return FALSE;
  const NMITEMACTIVATE* activated = reinterpret_cast<const NMITEMACTIVATE*>(header);
  if (header->code == LVN_ITEMACTIVATE) {
    SetDlgItemTextW(dialog, IDC_PLUGIN_ROW, FormatText(L"%d", activated->iItem).c_str());
    return TRUE;
  }
  if (header->code == NM_DBLCLK && activated->iItem >= 0) {
    DialogBoxParamW(Instance, MAKEINTRESOURCEW(IDD_REFERENCING_PROFILES), dialog, ReferencingProfilesDialogProc,
                    activated->iItem);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK RemovePluginDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitRemovePlugin(dialog);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_PLUGIN_WARNING) {
        HDC context = reinterpret_cast<HDC>(wParam);
        SetTextColor(context, RGB(240, 0, 0));
        SetBkColor(context, RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
      }
      return FALSE;
    case WM_COMMAND:
      return OnRemovePluginCommand(dialog, LOWORD(wParam));
    case WM_NOTIFY:
      return OnPluginNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:
      ReleaseAllProfiles();
      EndDialog(dialog, 2);
      return TRUE;
  }
  return FALSE;
}

static void OnInitReferencing(HWND dialog, int row) {
  StartDialog(dialog, {&TextReferencingTitle, ReferencingControls, false});
  SendDlgItemMessageW(dialog, IDC_REFERENCING_LIST, LB_RESETCONTENT, 0, 0);
  if (row < 0 || static_cast<size_t>(row) >= PluginReferenceTable.size()) return;
  const PluginReference& reference = PluginReferenceTable[static_cast<size_t>(row)];
  for (size_t k = 0; k < reference.inFile.size() && k < ScannedProfileFiles.size(); ++k) {
    if (!reference.inFile[k]) continue;
    SendDlgItemMessageW(dialog, IDC_REFERENCING_LIST, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(ScannedProfileFiles[k].c_str()));
  }
}

INT_PTR CALLBACK ReferencingProfilesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitReferencing(dialog, static_cast<int>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      break;
  }
  return FALSE;
}
