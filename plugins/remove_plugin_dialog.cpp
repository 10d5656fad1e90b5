// Remove plug-ins from a profile: the warning page, the plug-in rows with
// their reference counts, and the removal, which writes the profile anew.
#include <windows.h>
#include <commctrl.h>
#include <direct.h>
#include <shlobj.h>

#include <string>

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/mach3_check.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "plugins/plugin_dialogs.h"
#include "plugins/plugin_references.h"
#include "plugins/plugin_rules.h"
#include "plugins/profile_replace.h"
#include "plugins/profile_rewrite.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"

static const TextTriple TextTitle = {L"Entfernen von Plugins aus dem Profile", L"Remove Plugins from a Profile",
                                     L"Remove Plugins from a Profile"};
static const TextTriple TextInstallationPath = {L"Installations Pfad", L"Installation path",
                                                L"Répertoire d'installation"};
static const TextTriple TextLoadData = {L"Daten laden", L"Load data", L"Charger les données"};
static const TextTriple TextRemove = {L"Plugin aus Profil entfernen", L"Remove Plugin from Profile",
                                      L"Remove Plugin from Profile"};
static const TextTriple TextSelection = {L"Auswahl", L"Selection", L"Selection"};
static const TextTriple TextAll = {L"Alle", L"All", L"All"};
static const TextTriple TextOnlyEnabled = {L"Nur freigegebene", L"Only Enabled", L"Only Enabled"};
static const TextTriple TextDisabledOnly = {L"Nur NICHT freigegebene", L"Disabled Only", L"Disabled Only"};
static const TextTriple TextNoWarning = {L"Warnung nicht mehr anzeigen", L"Don't show warning anymore",
                                         L"Don't show warning anymore"};
static const TextTriple TextClose = {L"Schliessen", L"Close", L"Fermer"};

static const RelabelRow RemovePluginControls[] = {
    {IDC_PLUGIN_MACH_PATH_LABEL, &TextInstallationPath},
    {IDC_PLUGIN_LOAD, &TextLoadData},
    {IDC_PLUGIN_REMOVE, &TextRemove},
    {IDC_PLUGIN_MODE_GROUP, &TextSelection},
    {IDC_PLUGIN_MODE_ALL, &TextAll},
    {IDC_PLUGIN_MODE_ENABLED, &TextOnlyEnabled},
    {IDC_PLUGIN_MODE_DISABLED, &TextDisabledOnly},
    {IDC_PLUGIN_NO_WARNING, &TextNoWarning},
    {IDC_PLUGIN_CLOSE, &TextClose},
    {0, nullptr},
};

static const TextTriple TextColumnName = {L"Name", L"Name", L"Name"};
static const TextTriple TextColumnEnabled = {L"Freigegeben / Gesperrt", L"Enabled / Disabled",
                                             L"Enabled / Disabled"};
static const TextTriple TextColumnReferenced = {L"Aufgerufen", L"Referenced", L"Referenced"};

static const TextTriple TextEnabled = {L"freigegeben", L"Enabled", L"Enabled"};
static const TextTriple TextDisabled = {L"nicht freigegeben", L"Disabled", L"Disabled"};
static const TextTriple TextNothingSelected = {L"Kein Plugin ausgewählt", L"No Plugin selected",
                                               L"No Plugin selected"};
static const TextTriple TextSpecifyFile = {L"Bitte Datei  angeben", L"Please specify file",
                                           L"Spécifiez le premier fichier"};
static const TextTriple TextOpenTitle = {L"Profile Datei Öffnen", L"Profile file to open",
                                         L"Fichier profil à ouvrir"};
static const TextTriple TextBrowseTitle = {L"Sicherungs Pfad und Dateiname", L"Storage path and filename",
                                           L"Storage path and filename"};

#define WARNING_ENGLISH                                                                                    \
  L"Attention ! The plugin entries of the profile are only updated, if a checkbox \"Enabled\" in Mach3's " \
  L"Config dialog is hit.\n\n\n\n\rTo get the actual state of the plugins in the profile shown, you must hit a " \
  L"checkbox button at least once."
static const TextTriple TextWarning = {
    L"Achtung !  Die Plugin Einträge im Profil werden nur bei einer Änderung in Mach3's Config Dialog "
    L"aktualisiert.\n\n\n\n\rUm den aktuellen Stand der Plugins im Profile anzuzeigen, muss deshalb mindestens "
    L"einmal ein Check-Button \"Enabled\" angeklickt werden",
    WARNING_ENGLISH, WARNING_ENGLISH};

static const TextTriple TextReferencingTitle = {L"Aufrufende Profile", L"Referencing profiles",
                                                L"Referencing profiles"};
static const TextTriple TextReferencedFrom = {L"Plugin aufgerufen von", L"Plugin referenced from",
                                              L"Plugin referenced from"};

static const RelabelRow ReferencingControls[] = {
    {IDC_REFERENCING_LABEL, &TextReferencedFrom},
    {IDOK, &TextClose},
    {0, nullptr},
};

static const COLORREF WarningTextColour = RGB(240, 0, 0);

// The path of the last load, and whether the warning page is up.
static std::wstring LoadedPath;
static bool WarningMode = false;

static HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_PLUGIN_LIST); }

static std::wstring Title(const TextTriple& title) {
  return FormatText(L"Kestrelwood%s %s", VersionText, SelectText(title));
}

void ShowPluginControls(bool show, HWND dialog) {
  static const int Controls[] = {IDC_PLUGIN_LIST, IDC_PLUGIN_LOAD, IDC_PLUGIN_REMOVE, IDC_PLUGIN_MODE_ALL,
                                 IDC_PLUGIN_MODE_ENABLED, IDC_PLUGIN_MODE_DISABLED};
  for (int id : Controls) ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

static void InsertColumns(HWND list) {
  const struct {
    const TextTriple* text;
    int width;
  } columns[] = {{&TextColumnName, 250}, {&TextColumnEnabled, 150}, {&TextColumnReferenced, 500}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(SelectText(*columns[i].text));
    column.cx = columns[i].width;
    column.iSubItem = i;
    ListView_InsertColumn(list, i, &column);
  }
}

static void AddPluginRow(HWND list, const ProfileEntry& entry) {
  const std::wstring name(entry.name);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = ListView_GetItemCount(list);
  item.pszText = const_cast<wchar_t*>(name.c_str());
  const int row = ListView_InsertItem(list, &item);
  if (row < 0) return;
  ListView_SetItemText(list, row, 1,
                       const_cast<wchar_t*>(SelectText(IsEnabledPlugin(entry.value) ? TextEnabled : TextDisabled)));
}

int LoadPluginList(const wchar_t* path, HWND dialog) {
  if (CheckMach3Running(Mach3Refuse)) return 0;
  LoadedPath = path;
  SetDlgItemTextW(dialog, IDC_PLUGIN_PROFILE_PATH, path);
  HWND list = ListOf(dialog);
  ListView_DeleteAllItems(list);
  PluginReferenceTable.clear();
  if (!ReadProfile(FirstProfileSlot, path)) {
    // What follows a break in the file is not in the list: such a profile
    // is never written back.
    ReleaseProfile(FirstProfileSlot);
    return 1;
  }
  const ProfileList& profile = ProfileSlots[FirstProfileSlot];
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (uint32_t i = 0; i < profile.Count(); ++i) {
    if (IsListedPlugin(profile.records[i], Settings.removePluginMode)) AddPluginRow(list, profile.records[i]);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  return 1;
}

static void CheckModeButton(HWND dialog) {
  static const int Buttons[] = {IDC_PLUGIN_MODE_ALL, IDC_PLUGIN_MODE_ENABLED, IDC_PLUGIN_MODE_DISABLED};
  const uint32_t mode = ValidPluginMode(Settings.removePluginMode);
  for (uint32_t i = 0; i < 3; ++i) CheckDlgButton(dialog, Buttons[i], i == mode ? BST_CHECKED : BST_UNCHECKED);
}

static void ShowWarningPage(HWND dialog, bool show) {
  WarningMode = show;
  HWND warning = GetDlgItem(dialog, IDC_PLUGIN_WARNING);
  if (show) {
    SendMessageW(warning, WM_SETFONT, reinterpret_cast<WPARAM>(HeadingFont), TRUE);
    SetWindowTextW(warning, SelectText(TextWarning));
  }
  ShowWindow(warning, show ? SW_SHOW : SW_HIDE);
  ShowWindow(GetDlgItem(dialog, IDC_PLUGIN_NO_WARNING), show ? SW_SHOW : SW_HIDE);
  ShowPluginControls(!show, dialog);
}

static void OnInitDialog(HWND dialog) {
  LoadAllSettings();  // first, so the caption too is in the language in force
  SetWindowTextW(dialog, Title(TextTitle).c_str());
  RelabelControls(RemovePluginControls, dialog);
  SetDlgItemTextW(dialog, IDC_PLUGIN_MACH_PATH, Settings.removePluginMachPath);
  HWND list = ListOf(dialog);
  ListView_SetExtendedListViewStyle(
      list, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_BORDERSELECT | LVS_EX_DOUBLEBUFFER);
  InsertColumns(list);
  CheckModeButton(dialog);
  SendDlgItemMessageW(dialog, IDC_PLUGIN_PROGRESS, PBM_SETSTATE, PBST_NORMAL, 0);
  SendDlgItemMessageW(dialog, IDC_PLUGIN_PROGRESS, PBM_SETPOS, 0, 0);
  SendDlgItemMessageW(dialog, IDC_PLUGIN_PROGRESS, PBM_SETSTEP, 1, 0);
  LoadedPath.clear();
  PluginReferenceTable.clear();
  ScannedProfiles.clear();
  ShowWarningPage(dialog, Settings.showWarningRemovePlugin != 0);
}

// The reference scan reads the Mach3 folder; without it there is nothing
// to count in.
static void LoadFrom(HWND dialog, const wchar_t* path) {
  wchar_t machFolder[PathCapacity] = L"";
  GetDlgItemTextW(dialog, IDC_PLUGIN_MACH_PATH, machFolder, PathCapacity);
  const bool inMachFolder = machFolder[0] && _wchdir(machFolder) == 0;
  if (LoadPluginList(path, dialog) && inMachFolder) CountPluginReferences(dialog);
}

static void OnBrowseFolder(HWND dialog) {
  wchar_t displayName[PathCapacity + 1] = L"";
  BROWSEINFOW request = {};
  request.hwndOwner = dialog;
  request.pszDisplayName = displayName;
  request.lpszTitle = SelectText(TextBrowseTitle);
  request.ulFlags = BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = Dialogs().BrowseForFolder(&request);
  if (!chosen) return;
  wchar_t folder[MAX_PATH] = L"";
  const bool known = SHGetPathFromIDListW(chosen, folder) != FALSE;
  CoTaskMemFree(chosen);  // the shell's allocator
  if (!known) return;
  CopyText(Settings.removePluginMachPath, PathCapacity, folder);
  SetDlgItemTextW(dialog, IDC_PLUGIN_MACH_PATH, Settings.removePluginMachPath);
  StoreSettings({Settings.removePluginMachPath});
}

static void OnBrowseProfile(HWND dialog) {
  wchar_t path[PathCapacity] = L"";
  if (!ChooseOpenFile(path, nullptr, L"*.xml\0*.xml\0", SelectText(TextOpenTitle))) return;
  LoadFrom(dialog, path);
}

static void OnLoad(HWND dialog) {
  ReleaseAllProfiles();
  wchar_t path[PathCapacity] = L"";
  GetDlgItemTextW(dialog, IDC_PLUGIN_PROFILE_PATH, path, PathCapacity);
  if (!path[0]) {
    ShowErrorMessage(dialog, SelectText(TextSpecifyFile));
    return;
  }
  ListView_DeleteAllItems(ListOf(dialog));
  LoadFrom(dialog, path);
}

static void OnMode(uint32_t mode) {
  Settings.removePluginMode = mode;
  StoreSettings({&Settings.removePluginMode});
}

static void OnNoWarning(HWND dialog) {
  if (IsDlgButtonChecked(dialog, IDC_PLUGIN_NO_WARNING) != BST_CHECKED) return;
  Settings.showWarningRemovePlugin = 0;
  StoreSettings({&Settings.showWarningRemovePlugin});
}

static void FillSelection(HWND list) {
  PluginSelection.entries.clear();
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED | LVNI_BELOW)) {
    PluginSelection.entries.push_back({ListCellText(list, row, 0), row});
  }
}

// The list no longer matches a profile in slot 0: a new Load starts over.
static void ForgetProfile(HWND dialog) {
  ReleaseProfile(FirstProfileSlot);
  ListView_DeleteAllItems(ListOf(dialog));
  PluginReferenceTable.clear();
}

// The new profile is written beside the old one; only when it is complete
// does it take the old one's place, which goes to the recycle bin.
static void OnRemove(HWND dialog) {
  HWND list = ListOf(dialog);
  if (ListView_GetSelectedCount(list) == 0) {
    ShowErrorMessage(dialog, SelectText(TextNothingSelected));
    return;
  }
  if (CheckMach3Running(Mach3Refuse)) return;  // Mach3 would write its own copy over the new one
  if (!CheckProfileReplaceable(dialog, LoadedPath.c_str())) return;
  FillSelection(list);
  const std::wstring newFile = LoadedPath + L"ppp";
  if (!RewriteProfileWithout(dialog, newFile.c_str())) {
    if (ProfileSlots[FirstProfileSlot].Count() == 0) ForgetProfile(dialog);
    return;
  }
  if (!ReplaceProfileFile(dialog, LoadedPath.c_str(), newFile.c_str())) ForgetProfile(dialog);
}

static void OnClose(HWND dialog) {
  if (WarningMode) {
    ShowWarningPage(dialog, false);
    return;
  }
  ReleaseAllProfiles();
  EndDialog(dialog, 1);
}

static void EndRemovePlugin(HWND dialog) {
  ReleaseAllProfiles();
  EndDialog(dialog, 0);
}

static bool OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_PLUGIN_BROWSE_FOLDER:
      OnBrowseFolder(dialog);
      return true;
    case IDC_PLUGIN_BROWSE_PROFILE:
      OnBrowseProfile(dialog);
      return true;
    case IDC_PLUGIN_LOAD:
      OnLoad(dialog);
      return true;
    case IDC_PLUGIN_MODE_ALL:
      OnMode(AllPlugins);
      return true;
    case IDC_PLUGIN_MODE_ENABLED:
      OnMode(EnabledPlugins);
      return true;
    case IDC_PLUGIN_MODE_DISABLED:
      OnMode(DisabledPlugins);
      return true;
    case IDC_PLUGIN_REMOVE:
      OnRemove(dialog);
      return true;
    case IDC_PLUGIN_NO_WARNING:
      OnNoWarning(dialog);
      return true;
    case IDC_PLUGIN_CLOSE:
      OnClose(dialog);
      return true;
    case IDCANCEL:
      EndRemovePlugin(dialog);
      return true;
  }
  return false;
}

static INT_PTR OnNotify(HWND dialog, const NMHDR* header) {
  if (header->idFrom != IDC_PLUGIN_LIST) return FALSE;
  const auto activatedRow = [header] { return reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem; };
  switch (header->code) {
    case LVN_ITEMACTIVATE:
      SetDlgItemTextW(dialog, IDC_PLUGIN_ROW, FormatText(L"%d", activatedRow()).c_str());
      return TRUE;
    case NM_DBLCLK:
      // A double click beside the rows activates none.
      if (const int row = activatedRow(); row >= 0 && static_cast<size_t>(row) < PluginReferenceTable.size()) {
        DialogBoxParamW(Instance, MAKEINTRESOURCEW(IDD_REFERENCING_PROFILES), dialog, ReferencingProfilesDialogProc,
                        row);
      }
      return TRUE;
  }
  return FALSE;
}

static INT_PTR OnColourStatic(HDC context, HWND control) {
  if (GetDlgCtrlID(control) != IDC_PLUGIN_WARNING) return FALSE;
  SetTextColor(context, WarningTextColour);
  SetBkColor(context, RGB(255, 255, 255));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

INT_PTR CALLBACK RemovePluginDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      return OnCommand(dialog, LOWORD(wParam));
    case WM_NOTIFY:
      return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
      return OnColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CLOSE:
      EndRemovePlugin(dialog);
      return TRUE;
  }
  return FALSE;
}

// ---------------------------------------------------------------- dialog 155

static void ListReferencingProfiles(HWND dialog, size_t row) {
  HWND box = GetDlgItem(dialog, IDC_REFERENCING_LIST);
  SendMessageW(box, LB_RESETCONTENT, 0, 0);
  if (row >= PluginReferenceTable.size()) return;
  const std::vector<bool>& holders = PluginReferenceTable[row].holders;
  for (size_t k = 0; k < holders.size() && k < ScannedProfiles.size(); ++k) {
    if (holders[k]) SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ScannedProfiles[k].c_str()));
  }
}

INT_PTR CALLBACK ReferencingProfilesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextW(dialog, Title(TextReferencingTitle).c_str());
      RelabelControls(ReferencingControls, dialog);
      ListReferencingProfiles(dialog, static_cast<size_t>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}
