// Every file of a save or restore goes through CopyFileUnderRules: date
// rule, conflict dialog, kept-copy names, the copy itself and the progress
// display of the calling dialog.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/texts.h"
#include "backup/portable/backup_log.h"
#include "backup/portable/copy_rules.h"

// One press of the save or restore dialog's action button.
struct CopyCommand {
  HWND ownerDialog;  // owns the conflict dialog; null for a save without a window
  // Shows the count once counted, then each copied file; null shows nothing.
  void (*showProgress)(HWND ownerDialog, bool counted);
  bool unattended;  // nobody to ask: every conflict is answered "keep both"
  DateRule dateRule;
  bool dontAsk;               // the conflict dialog is not shown again in this command
  ConflictAnswer lastAnswer;  // the last answer given in this command
  int32_t copiedCount;
  int32_t totalCount;
  int32_t failedCount;  // after the first failure, further ones go to the log only
  bool cancelled;       // Cancel was answered: nothing more is copied
  // A restore keeps every file it replaces below the first of these folders
  // that can be made, at its path relative to targetRoot; empty for a save.
  std::wstring targetRoot;
  std::wstring keepFolders[2];
  std::wstring keptFolder;  // the one in use, once a file was kept
};
extern CopyCommand CurrentCopyCommand;

// The log of the command running now, told what became of every file that
// CopyFileUnderRules looks at; null when no log is kept.
extern BackupLog* CopyLog;

// A new command for `ownerDialog`: no answers, nothing copied.
void StartCopyCommand(HWND ownerDialog, DateRule rule, int32_t totalCount);

// What the conflict dialog shows: the file, and the folder, size and date
// of each of the two files, the one being copied and the one in the target
// folder.
struct ConflictRecord {
  std::wstring sourceFolder;
  std::wstring targetFolder;
  std::wstring fileName;
  std::wstring dateText;  // of the target
  int64_t size;           // of the target
  std::wstring sourceDateText;
  int64_t sourceSize;
};
extern ConflictRecord CurrentConflict;

// Copies `source` to `*target` under the rules of the current command.
// `setAnswer` belongs to one run of one file set and starts at 0. True: go
// on (copied, left alone by a rule or an answer, failed and reported, or the
// source is missing); false: the command was cancelled, copy nothing more.
// A kept copy's path is written back into `*target`. The old target is
// replaced only once the new content is complete, and in a restore only
// once it is kept.
bool CopyFileUnderRules(const std::wstring& source, std::wstring* target, uint32_t* setAnswer);

// The first free "<base>(n)<extension>" in `folder`, from n = 2 on.
std::wstring MakeKeptCopyName(const std::wstring& folder, const std::wstring& name);

// Creates every missing folder along `path` (a drive, network or long
// path); reports a failure. A path that starts with a backslash but names
// no share gives false without a message.
bool CreateFolderPath(const std::wstring& path);

extern const TextTriple TextFilesCopied;  // the status line's count, also in the log

// "%s: %s" of the status text shown by the backup dialogs.
std::wstring CopiedStatusText();
