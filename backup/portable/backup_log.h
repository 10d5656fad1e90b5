// The log of one save or restore: what became of every file, set by set,
// and the text of the log file. Needs no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class FileOutcome {
  Copied,
  DateSkipped,  // not copied by the date rule
  Left,         // not copied by an answer of the conflict dialog
  Kept,         // copied under a new name beside the target
  Failed,
  Cancelled,    // Cancel answered: the file is left and the command stops
  Added,        // a restore's file where there was none: nothing kept, nothing to undo
  LinkSkipped,  // a junction or symbolic link the walk did not follow
};

struct LoggedFile {
  FileOutcome outcome;
  std::wstring source;
  std::wstring target;
  std::wstring message;  // what was shown for a failure
};

struct LoggedSet {
  uint32_t bit;
  std::vector<LoggedFile> files;
  std::vector<std::wstring> messages;  // shown during the set but not for one file
};

// Local time of the start of a command.
struct LogTime {
  int year, month, day, hour, minute, second;
};

// Collects what the copy engine reports during one command.
class BackupLog {
 public:
  BackupLog(bool restore, std::wstring sourceRoot, std::wstring targetRoot, LogTime started);

  void StartSet(uint32_t bit);
  // Messages noted from now on belong to the next file that ends.
  void StartFile();
  void NoteMessage(const std::wstring& caption, const std::wstring& text);
  void EndFile(FileOutcome outcome, const std::wstring& source, const std::wstring& target);
  // A link found by a walk; listed once however often it is found.
  void LinkSkipped(const std::wstring& path);
  // Where the files a restore replaced are kept.
  void SetKeptFolder(const std::wstring& folder) { keptFolder_ = folder; }

  const std::vector<LoggedSet>& Sets() const { return sets_; }
  // "Kestrelwood-save-YYYYMMDD-HHMMSS.log" or "Kestrelwood-restore-...".
  std::wstring FileName() const;
  // The whole log in the language in force, lines ended by CR LF.
  std::wstring Text() const;

 private:
  bool restore_;
  std::wstring sourceRoot_, targetRoot_;
  LogTime started_;
  std::vector<LoggedSet> sets_;
  std::wstring pendingMessage_;
  bool inFile_ = false;
  std::wstring keptFolder_;
  std::vector<std::wstring> links_;
};

// UTF-8 with a byte-order mark, as the log file holds it.
std::string Utf8WithBom(const std::wstring& text);

// The status text after a command: the copy status, where the log is, where
// the replaced files are kept (if anywhere) and, last, how many files failed
// (if any).
std::wstring StatusWithLog(const std::wstring& status, const std::wstring& logName, const std::wstring& keptFolder,
                           int failed);

// The message for a log that could not be written: its path and the
// system's text.
std::wstring LogNotWrittenText(const std::wstring& path, const std::wstring& systemText);

// Reading save logs back, for the start page's "last backup" column.

// True for "Kestrelwood-save-YYYYMMDD-HHMMSS.log" (any case); `when`
// receives the start as "YYYY-MM-DD HH:MM:SS". Such names sort by time.
bool SaveLogTime(std::wstring_view name, std::wstring* when);

// The profile files (lower case) that the backup holds after the save
// logged in `text`: those of the profile set copied, kept or skipped by
// the date rule. The log may be in any of the three languages.
std::vector<std::wstring> ProfilesHeldBySaveLog(std::wstring_view text);
