// The save and restore dialogs end to end, on Mach3 folders and backups
// that the tests build in temporary folders.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "backup/backup_dialogs.h"
#include "backup/portable/copy_rules.h"
#include "resources/resource.h"
#include "tests/backup/backup_test_support.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

const std::pair<int, const wchar_t*> SetSettings[] = {
    {IDC_SET_ADDONS, L"Store addon files"},        {IDC_SET_BRAINS, L"Store brains files"},
    {IDC_SET_FIXTURES, L"Store fixture files"},    {IDC_SET_FLASH, L"Store flash files"},
    {IDC_SET_GCODE, L"Store gcode files"},         {IDC_SET_MACROS, L"Store macro files"},
    {IDC_SET_PLUGINS, L"Store plugin files"},      {IDC_SET_PROFILES, L"Store profile files"},
    {IDC_SET_SUBROUTINES, L"Store subroutine files"}, {IDC_SET_TURNADDONS, L"Store turn addons files"},
    {IDC_SET_TOOLTABLES, L"Store tooltable files"},
};

// The fixture files hold their own names, so expected contents follow from them.
std::string Content(const std::wstring& name) { return std::string(name.begin(), name.end()); }

std::map<std::wstring, std::string> Named(std::initializer_list<std::wstring> names) {
  std::map<std::wstring, std::string> files;
  for (const std::wstring& name : names) files[name] = Content(name);
  return files;
}

// The logs of the commands lie directly in the backup folder.
bool IsLogName(const std::wstring& name) {
  return name.rfind(L"Kestrelwood-", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, L".log") == 0;
}

std::vector<std::wstring> LogsIn(const std::wstring& folder) {
  std::vector<std::wstring> logs;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (IsLogName(entry.path().filename().wstring())) logs.push_back(entry.path().filename().wstring());
  }
  return logs;
}

// The log's text after its byte-order mark.
std::wstring ReadLog(const std::wstring& path) {
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  if (bytes.size() < 3) return std::wstring();
  std::wstring text(bytes.size(), L'\0');
  text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size()) - 3,
                                                      text.data(), static_cast<int>(text.size()))));
  return text;
}

// The log's text after its header.
std::wstring LogBody(const std::wstring& path) {
  const std::wstring text = ReadLog(path);
  const size_t body = text.find(L"\r\n\r\n");
  return body == std::wstring::npos ? text : text.substr(body + 4);
}

// Every file below `root` with its bytes, by relative path, but the logs.
std::map<std::wstring, std::string> FilesBelow(const std::wstring& root) {
  std::map<std::wstring, std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
    const std::wstring relative = entry.path().lexically_relative(root).wstring();
    if (entry.is_regular_file() && !IsLogName(relative)) files[relative] = ReadBytes(entry.path().wstring());
  }
  return files;
}

class BackupDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    mach = folder.Path(L"Mach3");
    backup = folder.Path(L"Backup");
    for (const wchar_t* name : {L"Save Mach install path", L"Restore Mach install path"}) StoreSettingText(name, mach);
    for (const wchar_t* name : {L"Save Parameter store path", L"Restore Parameter store path"}) StoreSettingText(name, backup);
    ChooseSets({});
    // Every test starts with a Mach3 folder and a folder to save into.
    folder.Write(L"Mach3\\Mach3.exe", Content(L"Mach3.exe"));
    folder.MakeFolder(L"Backup");
  }
  void TearDown() override { DeleteSettingsKey(); }

  // A Mach3 folder with two profiles that have macro folders (one named in
  // lower case), one without, and a file in every set.
  void MakeMach3Folder() {
    for (const wchar_t* name :
         {L"Mill.xml", L"Router.xml", L"Test.xml", L"macros\\Global.m1s", L"macros\\Mill\\M6Start.m1s",
          L"macros\\Mill\\M1001.M1S", L"macros\\Mill\\fixtures.dat", L"macros\\Mill\\tools3.dat",
          L"macros\\Mill\\notes.txt", L"macros\\router\\M6End.m1s", L"macros\\router\\fixtures.dat",
          L"macros\\router\\tools3.dat", L"macros\\Other\\M9.m1s", L"Brains\\Spindle.brn", L"Brains\\readme.txt",
          L"Plugins\\Probe.dll", L"Plugins\\Probe.txt", L"Addons\\Facing\\Facing.txt", L"Flash\\screen.swf",
          L"GCode\\Bracket.tap", L"GCode\\Parts\\Deep\\Gear.tap", L"SubRoutines\\Peck.tap", L"TurnAddons\\Thread.txt"}) {
      folder.Write(L"Mach3\\" + std::wstring(name), Content(name));
    }
  }

  void ChooseSets(std::vector<int> ticked) {
    for (const auto& [checkBox, setting] : SetSettings) {
      StoreSettingNumber(setting, std::find(ticked.begin(), ticked.end(), checkBox) != ticked.end() ? 1 : 0);
    }
  }

  INT_PTR RunSave(std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(nullptr, IDD_SAVE, SaveDialogProc); }, std::move(steps));
  }
  INT_PTR RunRestore(std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(nullptr, IDD_RESTORE, RestoreDialogProc); }, std::move(steps));
  }

  // Steps that act on the save or restore dialog, whichever dialog is on top.
  static DialogStep OnBackupDialog(std::function<void(HWND)> action) {
    return [action](HWND) {
      HWND dialog = LiveDialogWith(IDC_BACKUP_PROFILES);
      ASSERT_NE(dialog, nullptr);
      action(dialog);
    };
  }
  static DialogStep Select(std::vector<std::wstring> entries) {
    return OnBackupDialog([entries](HWND dialog) {
      for (const std::wstring& entry : entries) {
        const LRESULT at = SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_FINDSTRINGEXACT, -1,
                                               reinterpret_cast<LPARAM>(entry.c_str()));
        ASSERT_NE(at, LB_ERR) << "no list entry";
        SendDlgItemMessageW(dialog, IDC_BACKUP_PROFILES, LB_SETSEL, TRUE, at);
      }
    });
  }
  static DialogStep Click(int id) {
    return OnBackupDialog([id](HWND dialog) { ClickButton(dialog, id); });
  }
  static DialogStep Tick(int id) {
    return OnBackupDialog([id](HWND dialog) { CheckDlgButton(dialog, id, BST_CHECKED); });
  }
  // The copy status, and apart from it the log named after it.
  DialogStep ReadStatusAndClose() {
    return OnBackupDialog([this](HWND dialog) {
      status = ItemText(dialog, IDC_BACKUP_STATUS);
      const size_t logAt = status.find(L", ");
      logShown = logAt == std::wstring::npos ? L"" : status.substr(logAt + 2);
      status.resize(std::min(logAt, status.size()));
      progress = SendDlgItemMessageW(dialog, IDC_BACKUP_PROGRESS, PBM_GETPOS, 0, 0);
      ClickButton(dialog, IDC_BACKUP_CLOSE);
    });
  }

  TempFolder folder;
  MessageRecorder messages;
  ScriptedDialogs dialogs;
  std::wstring mach, backup;
  std::wstring status, logShown;
  LRESULT progress = -1;
};

TEST_F(BackupDialogTest, SaveRefusesWhatCannotWork) {
  MakeMach3Folder();
  const struct {
    std::vector<int> ticked;
    bool backupThere;
    const wchar_t* message;
  } cases[] = {
      {{IDC_SET_ADDONS}, false, L"Restore path not existing"},
      {{}, true, L"No save type selected"},
      {{IDC_SET_FIXTURES, IDC_SET_ADDONS}, true,
       L"in order to copy the selected file types, you need to select at least 1 profile"},
  };
  for (const auto& c : cases) {
    StoreSettingText(L"Save Parameter store path", c.backupThere ? backup : folder.Path(L"Nowhere"));
    messages.Clear();
    RunSave({OnBackupDialog([&](HWND dialog) {
               for (const auto& set : SetSettings) CheckDlgButton(dialog, set.first, BST_UNCHECKED);
               for (int id : c.ticked) CheckDlgButton(dialog, id, BST_CHECKED);
               ClickButton(dialog, IDC_SAVE);
             }),
             ReadStatusAndClose()});
    EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{c.message});
    // A save without a window refuses the same settings, and says why in its
    // log where there is a backup folder to hold one.
    messages.Clear();
    EXPECT_EQ(RunSaveWithoutWindow(), 2);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_TRUE(FilesBelow(backup).empty());
    const std::vector<std::wstring> logs = LogsIn(backup);
    ASSERT_EQ(logs.size(), c.backupThere ? 1u : 0u);
    if (c.backupThere) {
      EXPECT_NE(ReadLog(JoinPath(backup, logs[0])).find(c.message), std::wstring::npos);
    }
    RemoveTree(backup);
    folder.MakeFolder(L"Backup");
  }
  // The ticked sets and the (empty) selection were stored before the
  // profile check refused.
  EXPECT_EQ(StoredSettingNumber(L"Store fixture files"), 1u);
  EXPECT_EQ(StoredSettingNumber(L"Store addon files"), 1u);
  EXPECT_EQ(StoredSettingNumber(L"Store macro files"), 0u);
  EXPECT_EQ(StoredSettingText(L"Save selected profiles"), L"");
  StoreSettingText(L"Save selected profiles", L"Mill.xml");
  StoreSettingText(L"Save Mach install path", folder.Path(L"Nowhere"));
  EXPECT_EQ(RunSaveWithoutWindow(), 2);
  EXPECT_TRUE(FilesBelow(backup).empty());
  EXPECT_NE(ReadLog(JoinPath(backup, LogsIn(backup).at(0))).find(L"Specified Mach3 installation dir not existing"),
            std::wstring::npos);
}

// Kestrelwood.exe /save backs up what Save in the dialog backed up last,
// with the same settings; a conflict keeps both files, a file that cannot
// be read fails the run.
TEST_F(BackupDialogTest, ASaveWithoutAWindowCopiesWhatTheDialogCopies) {
  MakeMach3Folder();
  ChooseSets({IDC_SET_BRAINS, IDC_SET_FIXTURES, IDC_SET_MACROS, IDC_SET_PROFILES, IDC_SET_GCODE});
  RunSave({Select({L"Mill.xml", L"Test.xml \tUnused"}), Click(IDC_SAVE), ReadStatusAndClose()});
  EXPECT_EQ(StoredSettingText(L"Save selected profiles"), L"Mill.xml|Test.xml");
  const std::map<std::wstring, std::string> saved = FilesBelow(backup);
  ASSERT_EQ(saved.size(), 9u);

  const std::wstring unattended = folder.Path(L"Unattended");
  folder.MakeFolder(L"Unattended");
  StoreSettingText(L"Save Parameter store path", unattended);
  messages.Clear();
  EXPECT_EQ(RunSaveWithoutWindow(), 0);
  EXPECT_EQ(FilesBelow(unattended), saved);

  folder.Write(L"Mach3\\Mill.xml", "changed");
  HANDLE lock = CreateFileW(folder.Path(L"Mach3\\GCode\\Bracket.tap").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(RunSaveWithoutWindow(), 1);
  CloseHandle(lock);
  EXPECT_TRUE(messages.Messages().empty());
  std::map<std::wstring, std::string> twice = FilesBelow(unattended);
  EXPECT_EQ(twice.size(), 2 * saved.size() - 1);
  EXPECT_EQ(twice[L"Mill.xml"], "Mill.xml");
  EXPECT_EQ(twice[L"Mill(2).xml"], "changed");
  EXPECT_EQ(twice[L"macros\\Mill\\fixtures(2).dat"], "macros\\Mill\\fixtures.dat");
  std::wstring logs;
  for (const std::wstring& log : LogsIn(unattended)) logs += ReadLog(JoinPath(unattended, log));
  EXPECT_NE(logs.find(L"  Failed:\r\n    GCode\\Bracket.tap  ("), std::wstring::npos) << logs;
}

// Profiles: keep both for Mill.xml, then skip for all of the set. A later
// set without conflicts copies; the next one asks again, and Cancel stops it
// and, unasked, the rest of the command at its first conflict.
TEST_F(BackupDialogTest, ConflictsOfASecondSaveAreAnsweredPerFileSetAndCommand) {
  MakeMach3Folder();
  for (const wchar_t* name : {L"Mill.xml", L"Router.xml", L"Test.xml", L"TurnAddons\\Thread.txt",
                              L"macros\\Mill\\tools3.dat"}) {
    folder.Write(L"Backup\\" + std::wstring(name), "old");
  }
  ChooseSets({IDC_SET_PROFILES, IDC_SET_SUBROUTINES, IDC_SET_TURNADDONS, IDC_SET_TOOLTABLES});
  RunSave({Select({L"Mill.xml", L"Router.xml", L"Test.xml \tUnused"}), Click(IDC_SAVE),
           AnswerConflict(IDC_CONFLICT_KEEP_BOTH), AnswerConflict(IDC_CONFLICT_LEAVE, true), AnswerConflict(IDCANCEL),
           ReadStatusAndClose()});
  EXPECT_EQ(FilesBelow(backup), (std::map<std::wstring, std::string>{
                                    {L"Mill.xml", "old"},
                                    {L"Mill(2).xml", "Mill.xml"},
                                    {L"Router.xml", "old"},
                                    {L"SubRoutines\\Peck.tap", "SubRoutines\\Peck.tap"},
                                    {L"Test.xml", "old"},
                                    {L"TurnAddons\\Thread.txt", "old"},
                                    {L"macros\\Mill\\tools3.dat", "old"},
                                }));
  EXPECT_EQ(status, L"2/7: Files copied");
}

TEST_F(BackupDialogTest, TheLogListsEachFileOnceUnderWhatBecameOfIt) {
  MakeMach3Folder();
  const FILETIME now = WriteTime(folder.Path(L"Mach3\\Router.xml"));
  const std::pair<const wchar_t*, LONGLONG> backedUp[] = {
      {L"Backup\\Router.xml", -60}, {L"Backup\\Test.xml", 60}, {L"Backup\\macros\\Mill\\tools3.dat", 60}};
  for (const auto& [file, secondsOlder] : backedUp) {
    folder.Write(file, "backed up");
    SetWriteTime(folder.Path(file), TimeBefore(now, secondsOlder));
  }
  const std::wstring locked = folder.Path(L"Backup\\Addons\\Facing\\Facing.txt");
  folder.Write(L"Backup\\Addons\\Facing\\Facing.txt", "locked");
  HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ChooseSets({IDC_SET_ADDONS, IDC_SET_PROFILES, IDC_SET_TOOLTABLES});
  RunSave({Select({L"Mill.xml", L"Router.xml", L"Test.xml \tUnused"}), Tick(IDC_SAVE_DATE_RULE), Click(IDC_SAVE),
           AnswerConflict(IDC_CONFLICT_KEEP_BOTH), AnswerConflict(IDC_CONFLICT_LEAVE), ReadStatusAndClose()});
  CloseHandle(lock);

  const std::vector<std::wstring> logs = LogsIn(backup);
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0].rfind(L"Kestrelwood-save-", 0), 0u);
  EXPECT_EQ(logShown, L"Log: " + logs[0] + L", Failed: 1");
  EXPECT_EQ(status, L"3/6: Files copied");
  const std::wstring failure = L"CreateFile:   " + locked + L": " + SystemErrorText(ERROR_SHARING_VIOLATION);
  // Up to the totals, which are the log's own sums.
  const std::wstring body = LogBody(JoinPath(backup, logs[0]));
  EXPECT_EQ(body.substr(0, body.find(L"Totals\r\n")), FormatText(L"Addons\r\n"
                                                                 L"  Failed:\r\n"
                                                                 L"    Addons\\Facing\\Facing.txt  (%s)\r\n\r\n"
                                                                 L"Profiles\r\n"
                                                                 L"  Copied:\r\n"
                                                                 L"    Mill.xml\r\n"
                                                                 L"  Skipped by the date rule:\r\n"
                                                                 L"    Router.xml\r\n"
                                                                 L"  Kept as a copy under a new name:\r\n"
                                                                 L"    Test.xml  ->  Test(2).xml\r\n\r\n"
                                                                 L"Tooltable\r\n"
                                                                 L"  Copied:\r\n"
                                                                 L"    macros\\router\\tools3.dat\r\n"
                                                                 L"  Not copied by an answer:\r\n"
                                                                 L"    macros\\Mill\\tools3.dat\r\n\r\n",
                                                                 failure.c_str()));
  EXPECT_EQ(ReadBytes(locked), "locked");
}

// Without a backup folder a restore asks for one first and stores it; it
// logs into that folder, in the user's language.
TEST_F(BackupDialogTest, ARestoreAsksForTheBackupFolderAndLogsIntoItInTheUsersLanguage) {
  folder.Write(L"Backup\\Mill.xml", "mill");
  folder.Write(L"Backup\\Addons\\a.txt", "addon");
  StoreSettingText(L"Restore Parameter store path", L"");
  StoreSettingNumber(L"Language", German);
  ChooseSets({IDC_SET_ADDONS});
  dialogs.BrowseAnswer(backup);
  std::wstring shown;
  RunRestore({Click(IDC_RESTORE), OnBackupDialog([&](HWND dialog) { shown = ItemText(dialog, IDC_STORE_PATH); }),
              ReadStatusAndClose()});
  EXPECT_EQ(dialogs.browseCalls, 1);
  EXPECT_EQ(dialogs.lastBrowseTitle, L"Sicherungs Pfad und Dateiname");
  EXPECT_EQ(shown, backup);
  EXPECT_EQ(ReadBytes(folder.Path(L"Mach3\\Addons\\a.txt")), "addon");
  LoadAllSettings();
  EXPECT_EQ(std::wstring(Settings.restoreStorePath), backup);
  LanguageIndex = English;
  const std::vector<std::wstring> logs = LogsIn(backup);
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0].rfind(L"Kestrelwood-restore-", 0), 0u);
  EXPECT_EQ(status, L"1/1: Dateien kopiert");
  EXPECT_EQ(logShown, L"Protokoll: " + logs[0]);
  EXPECT_TRUE(LogsIn(mach).empty());
  const std::wstring text = ReadLog(JoinPath(backup, logs[0]));
  EXPECT_NE(text.find(L"Quelle: " + backup + L"\r\nZiel: " + mach + L"\r\n"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"\r\nAddons\r\n  Hinzugefügt (Rückgängigmachen entfernt sie nicht):\r\n    Addons\\a.txt\r\n"),
            std::wstring::npos) << text;
  EXPECT_TRUE(messages.Messages().empty());
}

// A backup folder that cannot be written (here: every name the log could
// take is held by another program) sends the log to the local logs folder;
// the status names it in full, and the copy stands.
TEST_F(BackupDialogTest, ALogThatCannotGoBesideTheBackupGoesToTheLocalLogsFolder) {
  folder.Write(L"Backup\\Mill.xml", "mill");
  folder.Write(L"Backup\\Addons\\a.txt", "addon");
  folder.Write(L"Backup\\Addons\\b.txt", "addon b");
  ChooseSets({IDC_SET_ADDONS});
  SYSTEMTIME local = {};
  GetLocalTime(&local);
  FILETIME now = {};
  SystemTimeToFileTime(&local, &now);
  std::vector<HANDLE> locks;
  for (LONGLONG second = -1; second < 20; ++second) {
    const FILETIME then = TimeBefore(now, -second);
    SYSTEMTIME t = {};
    FileTimeToSystemTime(&then, &t);
    const std::wstring name = FormatText(L"Kestrelwood-restore-%04d%02d%02d-%02d%02d%02d.log", t.wYear, t.wMonth,
                                         t.wDay, t.wHour, t.wMinute, t.wSecond);
    locks.push_back(CreateFileW(JoinPath(backup, name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  }
  RunRestore({Click(IDC_RESTORE), ReadStatusAndClose()});
  for (HANDLE lock : locks) CloseHandle(lock);
  EXPECT_EQ(ReadBytes(folder.Path(L"Mach3\\Addons\\a.txt")), "addon");
  EXPECT_EQ(ReadBytes(folder.Path(L"Mach3\\Addons\\b.txt")), "addon b");
  EXPECT_EQ(status, L"2/2: Files copied");
  EXPECT_TRUE(messages.Messages().empty());
  wchar_t appData[MAX_PATH] = L"";
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
  const std::wstring logs = JoinPath(appData, L"Kestrelwood\\logs");
  ASSERT_EQ(logShown.rfind(L"Log: " + logs + L"\\Kestrelwood-restore-", 0), 0u) << logShown;
  const std::wstring written = logShown.substr(5);
  EXPECT_NE(ReadLog(written).find(L"Addons\\b.txt"), std::wstring::npos);
  DeleteFileW(written.c_str());
  for (const std::wstring& log : LogsIn(backup)) EXPECT_EQ(ReadBytes(JoinPath(backup, log)), "") << log;
}

// Each selected profile keeps its own tables, macros and brains, the
// lower-case macro folder included, and empty folders of the sets are kept.
// A brains folder without brains shows the find error in the counting and
// the copying pass.
TEST_F(BackupDialogTest, SaveThenRestoreGivesBackEveryFileTheSetsCover) {
  MakeMach3Folder();
  folder.MakeFolder(L"Mach3\\Addons\\Empty");
  folder.Write(L"Mach3\\Brains\\Old\\notes.txt", "old");
  folder.Write(L"Mach3\\Brains\\Mill\\Feed.brn", "Brains\\Mill\\Feed.brn");
  std::vector<int> all;
  for (const auto& set : SetSettings) all.push_back(set.first);
  ChooseSets(all);
  RunSave({Click(IDC_SELECT_ALL), Click(IDC_SAVE), ReadStatusAndClose()});
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>(2, L"_tfindfirst File not found"));
  EXPECT_TRUE(FolderExists(folder.Path(L"Backup\\Addons\\Empty")));
  EXPECT_TRUE(FolderExists(folder.Path(L"Backup\\Brains\\Old")));
  EXPECT_EQ(status, L"20/20: Files copied");  // every file the sets cover
  EXPECT_EQ(progress, 20);
  messages.Clear();

  const std::wstring restored = folder.Path(L"Restored");
  folder.MakeFolder(L"Restored");
  StoreSettingText(L"Restore Mach install path", restored);
  std::vector<std::wstring> entries;
  RunRestore({OnBackupDialog([&](HWND dialog) { entries = ListBoxItems(dialog, IDC_BACKUP_PROFILES); }), Click(IDC_SELECT_ALL),
              Click(IDC_RESTORE), ReadStatusAndClose()});
  EXPECT_EQ(entries, (std::vector<std::wstring>{L"Mill.xml", L"Router.xml", L"Test.xml"}));
  // No Mach3.exe in the empty folder: warned, and the restore goes on.
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"Selected path is likely no Mach path!"});

  std::map<std::wstring, std::string> expected = FilesBelow(mach);
  for (const wchar_t* uncovered : {L"Mach3.exe", L"Brains\\readme.txt", L"Brains\\Old\\notes.txt",
                                   L"Plugins\\Probe.txt", L"macros\\Mill\\notes.txt", L"macros\\Other\\M9.m1s"}) {
    EXPECT_EQ(expected.erase(uncovered), 1u) << uncovered;
  }
  EXPECT_EQ(FilesBelow(restored), expected);
  EXPECT_EQ(FilesBelow(backup), expected);
}

// A restore over a changed sample Mach3 folder keeps every file it replaces
// in a backup of their own beside the backup; restoring from there gives
// back every file byte for byte, and the file the restore only added stays.
TEST_F(BackupDialogTest, ARestoreOfTheSampleFolderIsUndoneByARestoreFromTheKeptFolder) {
  std::wstring samples = L"" KW_SAMPLE_MACH3;
  std::replace(samples.begin(), samples.end(), L'/', L'\\');
  for (const auto& [name, bytes] : FilesBelow(samples)) folder.Write(L"Mach3\\" + name, bytes);
  std::vector<int> all;
  for (const auto& set : SetSettings) all.push_back(set.first);
  ChooseSets(all);
  RunSave({Click(IDC_SELECT_ALL), Click(IDC_SAVE), ReadStatusAndClose()});
  folder.Write(L"Backup\\macros\\Mach3Mill\\M1234.m1s", "new macro");
  folder.Write(L"Mach3\\Mach3Mill.xml", "<profile>changed</profile>");
  folder.Write(L"Mach3\\macros\\Mach3Mill\\fixtures.dat", "changed fixtures");
  const std::map<std::wstring, std::string> before = FilesBelow(mach);

  const auto restore = [&] {
    RunRestore({Click(IDC_SELECT_ALL), Click(IDC_RESTORE), AnswerConflict(IDC_CONFLICT_REPLACE, true, true),
                ReadStatusAndClose()});
    const size_t at = logShown.find(L", Replaced files kept in: ");
    EXPECT_NE(at, std::wstring::npos) << logShown;
    return at == std::wstring::npos ? std::wstring() : logShown.substr(at + 26);
  };
  const std::wstring kept = restore();
  ASSERT_EQ(kept.rfind(backup + L"\\Replaced ", 0), 0u) << kept;
  EXPECT_EQ(kept.size(), backup.size() + 29);  // "\Replaced YYYY-MM-DD HH-MM-SS"
  EXPECT_EQ(ReadBytes(folder.Path(L"Mach3\\macros\\Mach3Mill\\fixtures.dat")),
            ReadBytes(samples + L"\\macros\\Mach3Mill\\fixtures.dat"));
  EXPECT_EQ(ReadBytes(kept + L"\\Mach3Mill.xml"), "<profile>changed</profile>");
  std::vector<std::wstring> logs = LogsIn(backup);
  std::sort(logs.begin(), logs.end());  // the restore's, then the save's
  ASSERT_EQ(logs.size(), 2u);
  const std::wstring firstLog = ReadLog(JoinPath(backup, logs[0]));
  EXPECT_NE(firstLog.find(L"Replaced files kept in: " + kept + L"\r\n"), std::wstring::npos) << firstLog;
  EXPECT_NE(firstLog.find(L"  Added (undoing the restore does not remove them):\r\n    macros\\Mach3Mill\\M1234.m1s\r\n"),
            std::wstring::npos) << firstLog;

  StoreSettingText(L"Restore Parameter store path", kept);
  const std::wstring keptAgain = restore();
  EXPECT_EQ(keptAgain.rfind(kept + L"\\Replaced ", 0), 0u) << keptAgain;
  std::map<std::wstring, std::string> expected = before;
  expected[L"macros\\Mach3Mill\\M1234.m1s"] = "new macro";
  EXPECT_EQ(FilesBelow(mach), expected);
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{});
}

TEST_F(BackupDialogTest, ABackupWithOnlyMacroFoldersListsThemAndRestoresTheirTables) {
  folder.Write(L"Backup\\macros\\A\\fixtures.dat", "macros\\A\\fixtures.dat");
  folder.Write(L"Backup\\macros\\B\\fixtures.dat", "macros\\B\\fixtures.dat");
  ChooseSets({IDC_SET_FIXTURES, IDC_SET_PROFILES});
  std::vector<std::wstring> entries;
  RunRestore({OnBackupDialog([&](HWND dialog) { entries = ListBoxItems(dialog, IDC_BACKUP_PROFILES); }), Select({L"A"}),
              Click(IDC_RESTORE), ReadStatusAndClose()});
  EXPECT_EQ(entries, (std::vector<std::wstring>{L"A", L"B"}));
  EXPECT_EQ(messages.Texts(), std::vector<std::wstring>{L"_tfindfirst File not found"});
  EXPECT_EQ(FilesBelow(mach), Named({L"Mach3.exe", L"macros\\A\\fixtures.dat"}));
  EXPECT_EQ(status, L"1/2: Files copied");  // the profile "A" is counted, and has no file
}

// The backup file is newer than Old.xml: not copied. Equal and older
// backups ask; both are replaced. Brains come from the top folder and the
// selected profiles' folders only.
TEST_F(BackupDialogTest, RestoreWithTheDateRuleKeepsNewerInstalledFilesAndTheSelectedProfilesBrains) {
  const std::pair<const wchar_t*, LONGLONG> installed[] = {{L"Old.xml", 60}, {L"Same.xml", 0}, {L"New.xml", -60}};
  for (const auto& [name, secondsOlder] : installed) {
    folder.Write(L"Mach3\\" + std::wstring(name), "installed");
    folder.Write(L"Backup\\" + std::wstring(name), "backup");
    SetWriteTime(folder.Path(L"Mach3\\" + std::wstring(name)),
                 TimeBefore(WriteTime(folder.Path(L"Backup\\" + std::wstring(name))), secondsOlder));
  }
  for (const wchar_t* name : {L"Unselected.xml", L"Brains\\Top.brn", L"Brains\\Gone\\Gone.brn",
                              L"Brains\\Unselected\\U.brn", L"Brains\\Same\\Same.brn"}) {
    folder.Write(L"Backup\\" + std::wstring(name), Content(name));
  }
  ChooseSets({IDC_SET_PROFILES, IDC_SET_BRAINS});
  RunRestore({Select({L"Old.xml", L"Same.xml", L"New.xml"}), Tick(IDC_RESTORE_DATE_RULE), Click(IDC_RESTORE),
              AnswerConflict(IDC_CONFLICT_REPLACE), AnswerConflict(IDC_CONFLICT_REPLACE), ReadStatusAndClose()});
  std::map<std::wstring, std::string> expected = Named({L"Mach3.exe", L"Brains\\Top.brn", L"Brains\\Same\\Same.brn"});
  expected.insert({{L"Old.xml", "installed"}, {L"Same.xml", "backup"}, {L"New.xml", "backup"}});
  EXPECT_EQ(FilesBelow(mach), expected);
}

// A missing Mach3 folder is refused, and so is a restore while Mach3 runs:
// Mach3 writes its profile back when it ends and would undo the restore.
TEST_F(BackupDialogTest, RestoreIsRefusedIntoAMissingMach3FolderAndWhileMach3Runs) {
  folder.Write(L"Mach3\\Addons\\a.txt", "installed");
  folder.Write(L"Backup\\Addons\\a.txt", "backup");
  ChooseSets({IDC_SET_ADDONS});
  StoreSettingText(L"Restore Mach install path", folder.Path(L"Nowhere"));
  RunRestore({Click(IDC_RESTORE), ReadStatusAndClose()});
  EXPECT_FALSE(FolderExists(folder.Path(L"Nowhere")));
  StoreSettingText(L"Restore Mach install path", mach);
  RunningProcess mach3(folder.Path(), L"Mach3.exe");
  ASSERT_TRUE(mach3.Started());
  RunRestore({Click(IDC_RESTORE), ReadStatusAndClose()});
  EXPECT_EQ(messages.Texts(),
            (std::vector<std::wstring>{L"Selected path is likely no Mach path!",
                                       L"_tfindfirst File not found",  // no profiles in the backup
                                       L"Specified Mach3 installation dir not existing", L"_tfindfirst File not found",
                                       L"Mach3 is currently running, please terminate Mach3"}));
  EXPECT_EQ(ReadBytes(folder.Path(L"Mach3\\Addons\\a.txt")), "installed");
}

// A folder without Mach3.exe lists no profiles and is warned about; the
// list marks profiles without a macro folder.
TEST_F(BackupDialogTest, BrowsingForTheMach3FolderStoresItAndRefillsTheList) {
  MakeMach3Folder();
  folder.Write(L"Backup\\Mill.xml", "");
  StoreSettingText(L"Save Mach install path", backup);
  dialogs.BrowseAnswer(mach);
  std::vector<std::wstring> before, after;
  std::wstring shown, title;
  RunSave({OnBackupDialog([&](HWND dialog) {
             before = ListBoxItems(dialog, IDC_BACKUP_PROFILES);
             title = WindowText(dialog);
             ClickButton(dialog, IDC_MACH_BROWSE);
             ClickButton(dialog, IDC_STORE_BROWSE);  // cancelled: nothing changes
             after = ListBoxItems(dialog, IDC_BACKUP_PROFILES);
             shown = ItemText(dialog, IDC_MACH_PATH);
           }),
           ReadStatusAndClose()});
  EXPECT_TRUE(before.empty());
  EXPECT_EQ(title, L"KestrelwoodV3.02    SAVE    Mach3 data");
  EXPECT_EQ(after, (std::vector<std::wstring>{L"Mill.xml", L"Router.xml", L"Test.xml \tUnused"}));
  EXPECT_EQ(shown, mach);
  EXPECT_EQ(status, L"0: Files copied");
  EXPECT_EQ(
      messages.Shown(),
      (std::vector<ShownMessage>{{L"Selected path is likely no Mach path!", L"Kestrelwood Error", MB_ICONWARNING}}));
  LoadAllSettings();
  EXPECT_EQ(std::wstring(Settings.saveMachPath), mach);
  EXPECT_EQ(std::wstring(Settings.saveStorePath), backup);
}

// "/save" in any case runs the program without a window; here it stops at
// the missing backup folder and says so on its standard error.
TEST(BackupCommands, SaveOnTheCommandLineRunsWithoutAWindow) {
  DeleteSettingsKey();
  StoreSettingText(L"Save Parameter store path", L"C:\\Nowhere");
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = L"\"" KW_PROGRAM "\" -SAVE";
  ASSERT_TRUE(
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
  CloseHandle(writeEnd);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
  DWORD code = 0, read = 0;
  GetExitCodeProcess(process.hProcess, &code);
  char bytes[200] = {};
  ReadFile(readEnd, bytes, sizeof(bytes) - 1, &read, nullptr);
  for (HANDLE handle : {readEnd, process.hThread, process.hProcess}) CloseHandle(handle);
  EXPECT_EQ(code, 2u);
  EXPECT_STREQ(bytes, "Restore path not existing: C:\\Nowhere\r\n");
  DeleteSettingsKey();
}

}  // namespace
