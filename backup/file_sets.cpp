// The set routines: trees, brains and plug-ins by pattern, macros, fixture
// and tool tables of the selected profiles, and the profiles themselves.
#include "backup/file_sets.h"

#include "app/file_helpers.h"
#include "app/settings.h"
#include "backup/copy_engine.h"
#include "backup/walk_tree.h"
#include "resources/resource.h"

// The entries of a walk of `folder` with `pattern`; empty when there is no
// such folder.
static std::vector<WalkEntry> Walk(const std::wstring& folder, const wchar_t* pattern) {
  if (!FolderPathExists(folder)) return {};
  int32_t count = 0;
  WalkTree(folder, &count, pattern);
  return std::vector<WalkEntry>(WalkList.begin(), WalkList.begin() + count);
}

std::vector<std::wstring> FoldersBelow(const std::wstring& folder) {
  std::vector<std::wstring> folders;
  if (!PathExists(folder)) return folders;
  for (const WalkEntry& entry : Walk(folder, L"*.*")) {
    if (entry.IsFolder()) folders.push_back(entry.folder);
  }
  return folders;
}

static std::wstring Translated(const CopyDirection& direction, const std::wstring& folder) {
  return TranslateFolder(folder, direction.sourceRoot, direction.targetRoot);
}

// The folder made sure of last: files of one folder come one after another.
static std::wstring LastFolderMade;

static void CreateIfMissing(const std::wstring& folder) {
  if (folder == LastFolderMade) return;
  if (!PathExists(folder)) CreateFolderPath(folder);
  LastFolderMade = folder;
}

// Counts the file, or copies it to the same name in `targetFolder`.
static bool CountOrCopy(bool counting, const std::wstring& folder, const std::wstring& name,
                        const std::wstring& targetFolder, uint32_t* setAnswer) {
  if (counting) {
    ++CurrentCopyCommand.totalCount;
    return true;
  }
  // A file's folder is there before it is copied, even where the set's
  // folder rules created none (files directly in a set's top folder).
  CreateIfMissing(targetFolder);
  std::wstring target = JoinPath(targetFolder, name);
  return CopyFileUnderRules(JoinPath(folder, name), &target, setAnswer);
}

static bool CountOrCopyEntries(const CopyDirection& direction, bool counting, const std::vector<WalkEntry>& entries,
                               uint32_t* setAnswer) {
  for (const WalkEntry& entry : entries) {
    if (entry.IsFolder()) continue;
    if (!CountOrCopy(counting, entry.folder, entry.name, Translated(direction, entry.folder), setAnswer)) {
      return false;
    }
  }
  return true;
}

static bool CopyTreeSet(const CopyDirection& direction, bool counting, const wchar_t* name) {
  const std::wstring top = JoinPath(direction.sourceRoot, name);
  if (!FolderPathExists(top)) return false;
  const std::vector<WalkEntry> entries = Walk(top, L"*.*");
  for (const WalkEntry& entry : entries) {
    if (entry.IsFolder()) CreateFolderPath(Translated(direction, entry.folder));
  }
  if (!counting) CreateIfMissing(JoinPath(direction.targetRoot, name));
  uint32_t setAnswer = 0;
  return CountOrCopyEntries(direction, counting, entries, &setAnswer);
}

// Brains and plug-ins: files of one pattern in the top folder and in its
// subfolders (on a restore only the subfolders of selected profiles).
static bool CopyPatternSet(const CopyDirection& direction, bool counting, const wchar_t* name,
                           const wchar_t* pattern) {
  const std::wstring top = JoinPath(direction.sourceRoot, name);
  if (!FolderPathExists(top)) return false;
  std::vector<std::wstring> folders = {top};
  for (const WalkEntry& entry : Walk(top, L"*.*")) {
    if (!entry.IsFolder()) {
      CreateIfMissing(Translated(direction, entry.folder));
    } else if (!direction.restore) {
      folders.push_back(entry.folder);
      CreateFolderPath(Translated(direction, entry.folder));
    } else if (IsSelectedProfileFolder(entry.folder, top, direction.selectedEntries)) {
      folders.push_back(entry.folder);
      if (!counting) CreateFolderPath(Translated(direction, entry.folder));
    }
  }
  uint32_t setAnswer = 0;
  for (const std::wstring& folder : folders) {
    if (!CountOrCopyEntries(direction, counting, Walk(folder, pattern), &setAnswer)) return false;
  }
  return true;
}

static bool CopyBrains(const CopyDirection& direction, bool counting, const wchar_t*) {
  return CopyPatternSet(direction, counting, L"Brains", L"*.brn");
}

static bool CopyPlugins(const CopyDirection& direction, bool counting, const wchar_t*) {
  return CopyPatternSet(direction, counting, L"Plugins", L"*.dll");
}

// The macro folders of the selected profiles (full paths).
static std::vector<std::wstring> SelectedMacroFolders(const CopyDirection& direction, const std::wstring& macros) {
  std::vector<std::wstring> folders;
  for (const WalkEntry& entry : Walk(macros, L"*.*")) {
    if (entry.IsFolder() && IsSelectedProfileFolder(entry.folder, macros, direction.selectedEntries)) {
      folders.push_back(entry.folder);
    }
  }
  return folders;
}

static bool CopyMacros(const CopyDirection& direction, bool counting, const wchar_t*) {
  const std::wstring macros = JoinPath(direction.sourceRoot, L"macros");
  if (!FolderPathExists(macros)) return false;
  std::vector<std::wstring> folders = {macros};
  for (const std::wstring& folder : SelectedMacroFolders(direction, macros)) {
    folders.push_back(folder);
    if (!counting || !direction.restore) CreateFolderPath(Translated(direction, folder));
  }
  uint32_t setAnswer = 0;
  for (const std::wstring& folder : folders) {
    if (!CountOrCopyEntries(direction, counting, Walk(folder, L"*.m*s"), &setAnswer)) return false;
  }
  return true;
}

static bool CopyProfileFile(const CopyDirection& direction, bool counting, const wchar_t* file) {
  const std::wstring macros = JoinPath(direction.sourceRoot, L"macros");
  if (!FolderPathExists(macros)) return false;
  uint32_t setAnswer = 0;
  for (const std::wstring& folder : SelectedMacroFolders(direction, macros)) {
    if (!PathExists(JoinPath(folder, file))) continue;
    if (!CountOrCopy(counting, folder, file, Translated(direction, folder), &setAnswer)) return false;
  }
  return true;
}

static bool CopyFixtures(const CopyDirection& direction, bool counting, const wchar_t*) {
  return CopyProfileFile(direction, counting, L"fixtures.dat");
}

static bool CopyToolTables(const CopyDirection& direction, bool counting, const wchar_t*) {
  return CopyProfileFile(direction, counting, L"tools3.dat");
}

static bool CopyProfiles(const CopyDirection& direction, bool counting, const wchar_t*) {
  uint32_t setAnswer = 0;
  for (const std::wstring& entry : direction.selectedEntries) {
    const std::wstring name = FileNameOfEntry(entry);
    if (counting) {
      ++CurrentCopyCommand.totalCount;
      continue;
    }
    std::wstring target = JoinPath(direction.targetRoot, name);
    if (!CopyFileUnderRules(JoinPath(direction.sourceRoot, name), &target, &setAnswer)) return false;
  }
  return true;
}

const FileSet FileSets[] = {
    {0x001, IDC_SET_ADDONS, &Settings.storeAddons, CopyTreeSet, L"Addons"},
    {0x002, IDC_SET_BRAINS, &Settings.storeBrains, CopyBrains, nullptr},
    {0x004, IDC_SET_FIXTURES, &Settings.storeFixtures, CopyFixtures, nullptr},
    {0x008, IDC_SET_FLASH, &Settings.storeFlash, CopyTreeSet, L"Flash"},
    {0x010, IDC_SET_GCODE, &Settings.storeGcode, CopyTreeSet, L"GCode"},
    {0x040, IDC_SET_MACROS, &Settings.storeMacros, CopyMacros, nullptr},
    {0x080, IDC_SET_PLUGINS, &Settings.storePlugins, CopyPlugins, nullptr},
    {0x100, IDC_SET_PROFILES, &Settings.storeProfiles, CopyProfiles, nullptr},
    {0x200, IDC_SET_SUBROUTINES, &Settings.storeSubroutines, CopyTreeSet, L"SubRoutines"},
    {0x400, IDC_SET_TURNADDONS, &Settings.storeTurnAddons, CopyTreeSet, L"TurnAddons"},
    {0x800, IDC_SET_TOOLTABLES, &Settings.storeToolTables, CopyToolTables, nullptr},
    {0, 0, nullptr, nullptr, nullptr},
};

void RunFileSets(const CopyDirection& direction) {
  LastFolderMade.clear();
  ResetWalkList();
  CurrentCopyCommand.dateRule = direction.dateRule;
  CurrentCopyCommand.totalCount = 0;
  for (const FileSet* set = FileSets; set->bit; ++set) {
    if (direction.sets & set->bit) set->routine(direction, true, set->folder);
  }
  if (CurrentCopyCommand.showProgress) CurrentCopyCommand.showProgress(CurrentCopyCommand.ownerDialog, true);
  for (const FileSet* set = FileSets; set->bit && !CurrentCopyCommand.cancelled; ++set) {
    if (!(direction.sets & set->bit)) continue;
    if (CopyLog) CopyLog->StartSet(set->bit);
    set->routine(direction, false, set->folder);
  }
}
