// The save and the restore dialog: one dialog run in two directions. A
// BackupMode holds what differs; the file sets do the copying.
#include "backup/backup_dialogs.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cwchar>
#include <utility>

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/mach3_check.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "backup/copy_engine.h"
#include "backup/file_sets.h"
#include "backup/portable/backup_log.h"
#include "backup/walk_tree.h"
#include "resources/resource.h"

static const TextTriple TextSaveTitle = {L"Mach3 Daten    SICHERN", L"   SAVE    Mach3 data",
                                         L"   SAVE    Mach3 data"};
static const TextTriple TextRestoreTitle = {L"Mach3 Daten    ZURÜCKSCHREIBEN", L"   RESTORE    Mach3 data",
                                            L"   RESTORE    Mach3 data"};
static const TextTriple TextBackupMissing = {L"Sicherung Laufwerk / Pfad nicht gefunden", L"Restore path not existing",
                                             L"Restore path not existing"};
static const TextTriple TextMachMissing = {L"Angegebenes Mach3 Installationsverzeichnis nicht vorhanden",
                                           L"Specified Mach3 installation dir not existing",
                                           L"Specified Mach3 installation dir not existing"};
static const TextTriple TextNothingChosen = {L"Kein Sicherungstype ausgewählt", L"No save type selected",
                                             L"No save type selected"};
static const TextTriple TextProfileNeeded = {
    L"Um die ausgwählten Dateien speichern zu können, muss mindestens ein Profil ausgewählt sein",
    L"in order to copy the selected file types, you need to select at least 1 profile",
    L"in order to copy the selected file types, you need to select at least 1 profile"};
static const TextTriple TextNoMachPath = {L"Ausgewählter Pfad ist vermutlich kein Mach Pfad!",
                                          L"Selected path is likely no Mach path!",
                                          L"Selected path is likely no Mach path!"};
static const TextTriple TextUnused = {L"Ungenutzt", L"Unused", L"Unused"};

static const TextTriple TextProfileFiles = {L"Profil Datein", L"Profile files", L"Profil files"};
static const TextTriple TextStorePath = {L"Sicherungs Pfad", L"Restore path", L"Restore path"};
static const TextTriple TextFilesToSave = {L"Zu sichernde Dateien", L"Files to save", L"Files to save"};
static const TextTriple TextFilesToRestore = {L"Rückzusichernde Dateien", L"Files to restore", L"Files to restore"};
static const TextTriple TextProfiles = {L"Profile", L"Profiles", L"Profils"};
static const TextTriple TextFixtures = {L"Fixtures", L"Fixtures", L"Fixtures"};
static const TextTriple TextMacros = {L"Makros", L"Macros", L"Macros"};
static const TextTriple TextToolTable = {L"Werkzeug Tabelle", L"Tooltable", L"Tooltable"};
static const TextTriple TextBrains = {L"Brains", L"Brains", L"Brains"};
static const TextTriple TextPlugins = {L"Plugins", L"Plugins", L"Plugins"};
static const TextTriple TextSave = {L"Speichern", L"Save", L"Save"};
static const TextTriple TextRestore = {L"Zurück speichern", L"Restore", L"Restore"};
static const TextTriple TextSaveDateRule = {L"Ziel Datei nur überschreiben wenn Datum >= Ziel Datei Datum",
                                            L"Overwrite file only if source file date >= trg file date",
                                            L"Overwrite file only if source file date >= trg file date"};
static const TextTriple TextRestoreDateRule = {
    L"Ziel Datei nur überschreiben wenn Quell Datei Datum <= Ziel Datei Datum",
    L"Overwrite file only if source file date <= trg file date",
    L"Overwrite file only if source file date <= trg file date"};

const RelabelRow SaveControls[] = {
    {IDC_MACH_LABEL, &TextInstallationPath}, {IDC_PROFILES_LABEL, &TextProfileFiles},
    {IDC_STORE_LABEL, &TextStorePath},       {IDC_FILES_GROUP, &TextFilesToSave},
    {IDC_SET_PROFILES, &TextProfiles},       {IDC_SET_FIXTURES, &TextFixtures},
    {IDC_SET_MACROS, &TextMacros},           {IDC_SET_TOOLTABLES, &TextToolTable},
    {IDC_SET_BRAINS, &TextBrains},           {IDC_SET_PLUGINS, &TextPlugins},
    {IDC_SAVE, &TextSave},                   {IDC_SAVE_DATE_RULE, &TextSaveDateRule},
    {IDC_BACKUP_CLOSE, &TextClose},          {0, nullptr},
};

const RelabelRow RestoreControls[] = {
    {IDC_MACH_LABEL, &TextInstallationPath}, {IDC_PROFILES_LABEL, &TextProfileFiles},
    {IDC_STORE_LABEL, &TextStorePath},       {IDC_SET_PROFILES, &TextProfiles},
    {IDC_SET_FIXTURES, &TextFixtures},       {IDC_SET_MACROS, &TextMacros},
    {IDC_SET_TOOLTABLES, &TextToolTable},    {IDC_SET_BRAINS, &TextBrains},
    {IDC_SET_PLUGINS, &TextPlugins},         {IDC_BACKUP_CLOSE, &TextClose},
    {IDC_FILES_GROUP, &TextFilesToRestore},  {IDC_RESTORE, &TextRestore},
    {IDC_RESTORE_DATE_RULE, &TextRestoreDateRule}, {0, nullptr},
};

struct BackupMode {
  bool restore;
  const TextTriple* title;
  const RelabelRow* controls;
  wchar_t* machPath;
  wchar_t* storePath;
  int dateRuleBox;
  DateRule dateRule;
  void (*fillList)(HWND dialog);
};

static const BackupMode SaveMode = {false,          &TextSaveTitle,     SaveControls,
                                    Settings.saveMachPath, Settings.saveStorePath, IDC_SAVE_DATE_RULE,
                                    SourceNotOlder, FillSaveProfileList};
static const BackupMode RestoreMode = {true,           &TextRestoreTitle,     RestoreControls,
                                       Settings.restoreMachPath, Settings.restoreStorePath, IDC_RESTORE_DATE_RULE,
                                       SourceNotNewer, FillRestoreProfileList};

// The texts of the selected entries of the profile list.
static std::vector<std::wstring> SelectedEntries(HWND dialog) {
  std::vector<std::wstring> entries;
  const LRESULT selected = SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_GETSELCOUNT, 0, 0);
  if (selected <= 0) return entries;
  std::vector<int> indices(static_cast<size_t>(selected));
  const LRESULT got = SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_GETSELITEMS, indices.size(),
                                          reinterpret_cast<LPARAM>(indices.data()));
  for (LRESULT i = 0; i < got; ++i) {
    const LRESULT length = SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_GETTEXTLEN, indices[i], 0);
    if (length < 0) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_GETTEXT, indices[i], reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    entries.push_back(text);
  }
  return entries;
}

static void ShowBackupProgress(HWND dialog, bool counted) {
  if (counted) {
    SendDlgItemMessageW(dialog, IDC_BACKUP_PROGRESS, PBM_SETRANGE32, 0, CurrentCopyCommand.totalCount);
    SendDlgItemMessageW(dialog, IDC_BACKUP_PROGRESS, PBM_SETPOS, 0, 0);
    return;
  }
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROGRESS, PBM_STEPIT, 0, 0);
  SetDlgItemTextW(dialog, IDC_BACKUP_STATUS, CopiedStatusText().c_str());
}

static void AddListEntry(HWND dialog, const std::wstring& text) {
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Warns when the folder holds no Mach3.exe; true when it does.
static bool CheckMachFolder(HWND dialog, const wchar_t* machPath) {
  if (PathExists(JoinPath(machPath, L"Mach3.exe"))) return true;
  ShowErrorMessage(dialog, SelectText(TextNoMachPath), MB_ICONWARNING);
  return false;
}

void FillSaveProfileList(HWND dialog) {
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_RESETCONTENT, 0, 0);
  if (!CheckMachFolder(dialog, Settings.saveMachPath)) return;
  const std::vector<std::wstring> macroFolders = FoldersBelow(JoinPath(Settings.saveMachPath, L"macros"));
  if (!FolderPathExists(Settings.saveMachPath)) return;
  int32_t count = 0;
  WalkTree(Settings.saveMachPath, &count, L"*.xml");
  for (int32_t i = 0; i < count; ++i) {
    const WalkEntry& entry = WalkList[static_cast<size_t>(i)];
    if (entry.IsFolder()) continue;
    if (HasMacroFolder(entry.name, macroFolders)) {
      AddListEntry(dialog, entry.name);
    } else {
      AddListEntry(dialog, FormatText(L"%s \t%s", entry.name.c_str(), SelectText(TextUnused)));
    }
  }
}

void FillRestoreProfileList(HWND dialog) {
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_RESETCONTENT, 0, 0);
  CheckMachFolder(dialog, Settings.restoreMachPath);
  if (FolderPathExists(Settings.restoreStorePath)) {
    int32_t count = 0;
    WalkTree(Settings.restoreStorePath, &count, L"*.xml");
    bool found = false;
    for (int32_t i = 0; i < count; ++i) {
      const WalkEntry& entry = WalkList[static_cast<size_t>(i)];
      if (entry.IsFolder()) continue;
      AddListEntry(dialog, entry.name);
      found = true;
    }
    if (found) return;
  }
  // A backup without profiles: its macro folders name the profiles.
  const std::wstring macros = JoinPath(Settings.restoreStorePath, L"macros");
  for (const std::wstring& folder : FoldersBelow(macros)) {
    AddListEntry(dialog, folder.substr(macros.size() + 1));
  }
}

static void ShowStatusZero(HWND dialog) {
  SetDlgItemTextW(dialog, IDC_BACKUP_STATUS, FormatText(L"%ld: %s", 0L, SelectText(TextFilesCopied)).c_str());
}

static void OnInitBackup(HWND dialog, const BackupMode& mode) {
  StartDialog(dialog, {mode.title, mode.controls});
  SetDlgItemTextW(dialog, IDC_MACH_PATH, mode.machPath);
  SetDlgItemTextW(dialog, IDC_STORE_PATH, mode.storePath);
  for (const FileSet* set = FileSets; set->bit; ++set) {
    CheckDlgButton(dialog, set->checkBox, *set->setting ? BST_CHECKED : BST_UNCHECKED);
  }
  const int tabStops[] = {80, 130};
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(tabStops));
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROGRESS, PBM_SETRANGE32, 0, 100);
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROGRESS, PBM_SETSTEP, 1, 0);
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROGRESS, PBM_SETPOS, 0, 0);
  if (PathExists(mode.restore ? mode.storePath : mode.machPath)) mode.fillList(dialog);
  ShowStatusZero(dialog);
  CurrentCopyCommand.dontAsk = false;
}


static void OnBrowseMach(HWND dialog, const BackupMode& mode) {
  if (!ChooseFolder(dialog, mode.machPath)) return;
  SetDlgItemTextW(dialog, IDC_MACH_PATH, mode.machPath);
  StoreSettings({mode.machPath});
  mode.fillList(dialog);
}

static void OnBrowseStore(HWND dialog, const BackupMode& mode) {
  if (!ChooseFolder(dialog, mode.storePath)) return;
  SetDlgItemTextW(dialog, IDC_STORE_PATH, mode.storePath);
  if (mode.restore && PathExists(mode.storePath)) mode.fillList(dialog);
  StoreSettings({mode.storePath});
}

static void SelectAllEntries(HWND dialog, BOOL select) {
  SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_SETSEL, select, -1);
}

// Reads and stores the ticked sets; 0 when the settings key cannot be opened.
static uint32_t StoreChosenSets(HWND dialog) {
  UniqueKey key(OpenSettingsKey());
  if (!key) return 0;
  uint32_t mask = 0;
  for (const FileSet* set = FileSets; set->bit; ++set) {
    const bool ticked = IsDlgButtonChecked(dialog, set->checkBox) == BST_CHECKED;
    *set->setting = ticked ? 1 : 0;
    if (const SettingRow* row = FindSettingRow(set->setting)) StoreSetting(key.get(), *row, sizeof(DWORD));
    if (ticked) mask |= set->bit;
  }
  return mask;
}

static std::wstring ItemTextOf(HWND dialog, int id) {
  wchar_t text[PathCapacity] = L"";
  GetDlgItemTextW(dialog, id, text, PathCapacity);
  return text;
}

// The backup folder of a restore, asked for when none is given; empty when
// the user cancelled.
static std::wstring RestoreStoreFolder(HWND dialog, const BackupMode& mode) {
  std::wstring folder = ItemTextOf(dialog, IDC_STORE_PATH);
  if (!folder.empty()) return folder;
  if (!ChooseFolder(dialog, mode.storePath)) return std::wstring();
  StoreSettings({mode.storePath});
  SetDlgItemTextW(dialog, IDC_STORE_PATH, mode.storePath);
  return mode.storePath;
}

static LogTime LocalLogTime() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// Every message shown while a log is kept is noted in it (a failed file's
// log line carries what the user saw), then shown as it would be anyway.
static void NoteInLog(const wchar_t* caption, const wchar_t* text) {
  if (CopyLog) CopyLog->NoteMessage(caption, text);
}

class LogRecording {
 public:
  explicit LogRecording(BackupLog* log) {
    CopyLog = log;
    SetMessageObserver(NoteInLog);
  }
  ~LogRecording() {
    SetMessageObserver(nullptr);
    CopyLog = nullptr;
  }
  LogRecording(const LogRecording&) = delete;
  LogRecording& operator=(const LogRecording&) = delete;
};

// The program's folder below the user's local application data, where what
// cannot go beside the backup goes; empty if Windows names none.
static std::wstring LocalProgramFolder() {
  wchar_t folder[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return L"";
  return JoinPath(folder, L"Kestrelwood");
}

// Writes the log; a log of the same name (a command in the same second) is
// added to rather than lost. ERROR_SUCCESS or the system's error code.
static DWORD WriteLogFile(const std::wstring& path, const std::wstring& text) {
  std::string bytes = Utf8WithBom(text);
  std::vector<BYTE> before;
  HANDLE old = CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (old != INVALID_HANDLE_VALUE) {
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(old, &size) && size.QuadPart > 0 && size.QuadPart < (64 << 20)) {
      std::string kept(static_cast<size_t>(size.QuadPart), '\0');
      DWORD read = 0;
      if (ReadFile(old, kept.data(), static_cast<DWORD>(kept.size()), &read, nullptr)) {
        kept.resize(read);
        bytes = kept + bytes.replace(0, 3, "\r\n");  // one mark, at the start of the file
      }
    }
    CloseHandle(old);
  }
  return WriteBytesInPlace(path, bytes.data(), bytes.size()) == InPlaceStep::Done ? ERROR_SUCCESS : GetLastError();
}

// Writes the log into the backup folder, or where the backup cannot be
// written (a protected stick, a CD) into the local logs folder; *shownName
// is how to name it to the user. ERROR_SUCCESS or the error of the write
// into the backup folder.
static DWORD WriteLog(const BackupLog& log, const std::wstring& backupFolder, std::wstring* shownName) {
  DWORD error = WriteLogFile(JoinPath(backupFolder, log.FileName()), log.Text());
  *shownName = log.FileName();
  const std::wstring local = LocalProgramFolder();
  if (error != ERROR_SUCCESS && !local.empty()) {
    const std::wstring logs = JoinPath(local, L"logs");
    std::vector<std::wstring> along;
    bool made = FoldersAlong(logs, &along);
    for (size_t i = 0; made && i < along.size(); ++i) {
      made = PathExists(along[i]) || CreateDirectoryW(along[i].c_str(), nullptr);
    }
    if (made && WriteLogFile(JoinPath(logs, log.FileName()), log.Text()) == ERROR_SUCCESS) {
      error = ERROR_SUCCESS;
      *shownName = JoinPath(logs, log.FileName());  // not where the user looks first: the whole path
    }
  }
  return error;
}

// Writes the log and names it in the status text; a log that cannot be
// written anywhere is reported, and what was copied stays.
static void FinishLog(HWND dialog, const BackupLog& log, const std::wstring& backupFolder) {
  std::wstring shownName;
  const DWORD error = WriteLog(log, backupFolder, &shownName);
  if (error != ERROR_SUCCESS) {
    const std::wstring text = LogNotWrittenText(JoinPath(backupFolder, log.FileName()), SystemErrorText(error));
    ShowWarningMessage(dialog, text.c_str());
    return;
  }
  const std::wstring status = StatusWithLog(ItemTextOf(dialog, IDC_BACKUP_STATUS), shownName,
                                            CurrentCopyCommand.keptFolder, CurrentCopyCommand.failedCount);
  SetDlgItemTextW(dialog, IDC_BACKUP_STATUS, status.c_str());
}

static void OnCopyCommand(HWND dialog, const BackupMode& mode) {
  const bool dated = IsDlgButtonChecked(dialog, mode.dateRuleBox) == BST_CHECKED;
  StartCopyCommand(dialog, dated ? mode.dateRule : NoDateRule, 0);
  CurrentCopyCommand.showProgress = ShowBackupProgress;
  ShowStatusZero(dialog);
  // Mach3 writes its profile back when it ends and would undo the restore.
  if (mode.restore && CheckMach3Running(Mach3Refuse)) return;
  const wchar_t* mustExist = mode.restore ? mode.machPath : mode.storePath;
  if (!PathExists(mustExist)) {
    ShowErrorMessage(dialog, SelectText(mode.restore ? TextMachMissing : TextBackupMissing));
    return;
  }
  const uint32_t mask = StoreChosenSets(dialog);
  if (mask == 0) {
    ShowErrorMessage(dialog, SelectText(TextNothingChosen), MB_ICONWARNING);
    return;
  }
  CopyDirection direction;
  direction.restore = mode.restore;
  direction.sets = mask;
  direction.dateRule = CurrentCopyCommand.dateRule;
  direction.selectedEntries = SelectedEntries(dialog);
  if (!mode.restore) {  // stored with the sets: a save without a window does what this one does
    const std::wstring names = JoinProfileNames(direction.selectedEntries, ProfileListCapacity);
    wcsncpy(Settings.saveProfiles, names.c_str(), ProfileListCapacity - 1);
    Settings.saveProfiles[ProfileListCapacity - 1] = L'\0';
    StoreSettings({Settings.saveProfiles});
  }
  if ((mask & ProfileSets) && direction.selectedEntries.empty()) {
    ShowErrorMessage(dialog, SelectText(TextProfileNeeded));
    return;
  }
  const std::wstring store = mode.restore ? RestoreStoreFolder(dialog, mode) : ItemTextOf(dialog, IDC_STORE_PATH);
  if (store.empty()) return;
  const std::wstring mach = mode.machPath;
  direction.sourceRoot = TrimTrailingBackslashes(mode.restore ? store : mach);
  direction.targetRoot = TrimTrailingBackslashes(mode.restore ? mach : store);
  const LogTime started = LocalLogTime();
  if (mode.restore) {
    // What the restore replaces is kept as a backup of its own: undoing the
    // restore is a restore from there.
    const std::wstring kept = FormatText(L"Replaced %04d-%02d-%02d %02d-%02d-%02d", started.year, started.month,
                                         started.day, started.hour, started.minute, started.second);
    CurrentCopyCommand.targetRoot = direction.targetRoot;
    CurrentCopyCommand.keepFolders[0] = JoinPath(direction.sourceRoot, kept);
    const std::wstring local = LocalProgramFolder();
    if (!local.empty()) CurrentCopyCommand.keepFolders[1] = JoinPath(local, kept);
  }
  BackupLog log(mode.restore, direction.sourceRoot, direction.targetRoot, started);
  {
    LogRecording recording(&log);
    RunFileSets(direction);
  }
  FinishLog(dialog, log, TrimTrailingBackslashes(store));
}

static BOOL OnBackupCommand(HWND dialog, int id, const BackupMode& mode) {
  switch (id) {
    case IDC_MACH_BROWSE:
      OnBrowseMach(dialog, mode);
      return TRUE;
    case IDC_STORE_BROWSE:
      OnBrowseStore(dialog, mode);
      return TRUE;
    case IDC_SELECT_ALL:
      SelectAllEntries(dialog, TRUE);
      return TRUE;
    case IDC_DESELECT_ALL:
      SelectAllEntries(dialog, FALSE);
      return TRUE;
    case IDC_SAVE:
    case IDC_RESTORE:
      OnCopyCommand(dialog, mode);
      return TRUE;
    case IDC_BACKUP_CLOSE:
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

static INT_PTR BackupDialogProc(HWND dialog, UINT message, WPARAM wParam, const BackupMode& mode) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitBackup(dialog, mode);
      return TRUE;
    case WM_COMMAND:
      return OnBackupCommand(dialog, LOWORD(wParam), mode);
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK SaveDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return BackupDialogProc(dialog, message, wParam, SaveMode);
}

INT_PTR CALLBACK RestoreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return BackupDialogProc(dialog, message, wParam, RestoreMode);
}

// A save without a window tells what keeps it from starting on the standard
// error, when it has one (a scheduled task has none).
static void WriteStandardError(const std::wstring& text) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  const std::wstring line = text + L"\r\n";
  DWORD written = 0;
  if (GetFileType(error) == FILE_TYPE_CHAR &&
      WriteConsoleW(error, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr)) {
    return;
  }
  const std::string bytes = ToUtf8(line);
  WriteFile(error, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Messages of a save without a window go into its log; those before the
// log exists wait here.
static std::vector<std::pair<std::wstring, std::wstring>> EarlyMessages;

static void NoteQuietly(const wchar_t* caption, const wchar_t* text) {
  if (CopyLog) {
    CopyLog->NoteMessage(caption, text);
  } else {
    EarlyMessages.emplace_back(caption, text);
  }
}

static int SaveWithoutWindow() {
  LoadAllSettings();
  const std::wstring store = TrimTrailingBackslashes(Settings.saveStorePath);
  if (!PathExists(store)) {  // no log can go there
    for (const auto& [caption, text] : EarlyMessages) WriteStandardError(caption + L": " + text);
    WriteStandardError(store.empty() ? std::wstring(SelectText(TextBackupMissing))
                                     : FormatText(L"%s: %s", SelectText(TextBackupMissing), store.c_str()));
    return 2;
  }
  CopyDirection direction;
  direction.sourceRoot = TrimTrailingBackslashes(Settings.saveMachPath);
  direction.targetRoot = store;
  direction.restore = false;
  direction.dateRule = NoDateRule;
  direction.sets = 0;
  for (const FileSet* set = FileSets; set->bit; ++set) {
    if (*set->setting) direction.sets |= set->bit;
  }
  // The dialog lists only profiles that are there.
  for (const std::wstring& name : SplitProfileNames(Settings.saveProfiles)) {
    if (PathExists(JoinPath(direction.sourceRoot, name))) direction.selectedEntries.push_back(name);
  }
  BackupLog log(false, direction.sourceRoot, direction.targetRoot, LocalLogTime());
  CopyLog = &log;
  for (const auto& [caption, text] : EarlyMessages) log.NoteMessage(caption, text);
  const TextTriple* missing = nullptr;
  if (!PathExists(direction.sourceRoot)) {
    missing = &TextMachMissing;
  } else if (direction.sets == 0) {
    missing = &TextNothingChosen;
  } else if ((direction.sets & ProfileSets) && direction.selectedEntries.empty()) {
    missing = &TextProfileNeeded;
  }
  int code = 2;
  if (missing) {
    log.NoteMessage(SelectText(CaptionError), SelectText(*missing));
  } else {
    StartCopyCommand(nullptr, NoDateRule, 0);
    CurrentCopyCommand.unattended = true;
    RunFileSets(direction);
    code = CurrentCopyCommand.failedCount > 0 ? 1 : 0;
  }
  CopyLog = nullptr;
  std::wstring shownName;
  const DWORD error = WriteLog(log, store, &shownName);
  if (error != ERROR_SUCCESS) {
    WriteStandardError(LogNotWrittenText(JoinPath(store, log.FileName()), SystemErrorText(error)));
    if (code == 0) code = 1;
  }
  return code;
}

int RunSaveWithoutWindow() {
  EarlyMessages.clear();
  SetMessageObserver(NoteQuietly, true);
  const int code = SaveWithoutWindow();
  SetMessageObserver(nullptr);
  CurrentCopyCommand.unattended = false;
  return code;
}
