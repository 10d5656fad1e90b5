// The copy of single files under the date rule and the conflict answers.
#include "backup/copy_engine.h"

#include <vector>

#include "app/file_helpers.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/texts.h"
#include "backup/conflict_dialog.h"

CopyCommand CurrentCopyCommand = {};
ConflictRecord CurrentConflict = {};
BackupLog* CopyLog = nullptr;

const TextTriple TextFilesCopied = {L"Dateien kopiert", L"Files copied", L"Files copied"};
static const TextTriple TextErrorCreatingDir = {L"Fehler Einrichten Verzeichnis", L"Error creating dir",
                                                L"Error creating dir"};

// Files are copied in pieces of this size, whatever their size.
static constexpr DWORD CopyChunk = 1 << 20;

void StartCopyCommand(HWND ownerDialog, DateRule rule, int32_t totalCount) {
  CurrentCopyCommand = {};
  CurrentCopyCommand.ownerDialog = ownerDialog;
  CurrentCopyCommand.dateRule = rule;
  CurrentCopyCommand.lastAnswer = NoAnswer;
  CurrentCopyCommand.totalCount = totalCount;
}

std::wstring CopiedStatusText() {
  return FormatText(L"%ld/%ld: %s", static_cast<long>(CurrentCopyCommand.copiedCount),
                    static_cast<long>(CurrentCopyCommand.totalCount), SelectText(TextFilesCopied));
}

std::wstring MakeKeptCopyName(const std::wstring& folder, const std::wstring& name) {
  for (int n = 2;; ++n) {
    std::wstring candidate = KeptCopyCandidate(folder, name, n);
    if (!PathExists(candidate)) return candidate;
  }
}

bool CreateFolderPath(const std::wstring& path) {
  std::vector<std::wstring> folders;
  if (!FoldersAlong(path, &folders)) return false;  // "\folder": no drive, no share
  for (const std::wstring& folder : folders) {
    if (PathExists(folder) || CreateDirectoryW(LongPathForm(folder).c_str(), nullptr)) continue;
    const std::wstring text = FormatText(L"%s: %s", SelectText(TextErrorCreatingDir), folder.c_str());
    ShowErrorMessage(nullptr, text.c_str());
    return false;
  }
  return true;
}

// The first failure of a command is shown; later ones go to the log only,
// so a bad stick does not bury the user in boxes. True: show it.
static bool FirstFailure(const std::wstring& caption, const std::wstring& text) {
  if (CurrentCopyCommand.failedCount == 0) return true;
  if (CopyLog) CopyLog->NoteMessage(caption, text);
  return false;
}

static void ShowCopyError(const std::wstring& path, DWORD error) {
  wchar_t caption[PathCapacity];
  FormatInto(caption, PathCapacity, L"Open file %s", path.c_str());
  const std::wstring text = SystemErrorText(error);
  if (FirstFailure(caption, text)) ShowFailureMessage(nullptr, text.c_str(), caption, MB_TASKMODAL);
}

static void ShowOpenError(const std::wstring& path, DWORD error) {
  if (FirstFailure(OpenFailureCaption(path.c_str()), SystemErrorText(error))) ShowOpenFailure(path.c_str(), error);
}

// A file opened for reading, closed on every path; a failure is reported
// with the path as the user knows it.
class OpenedFile {
 public:
  bool Open(const std::wstring& path) {
    handle_ = CreateFileW(LongPathForm(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) return true;
    ShowOpenError(path, GetLastError());
    return false;
  }
  ~OpenedFile() { CloseFileHandle(&handle_); }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// -1, 0 or 1 as the source's last write compares with the target's; false
// when the target cannot be opened (reported).
static bool CompareWithTarget(HANDLE source, const std::wstring& target, int* comparison) {
  OpenedFile targetFile;
  if (!targetFile.Open(target)) return false;
  BY_HANDLE_FILE_INFORMATION sourceInfo = {}, targetInfo = {};
  GetFileInformationByHandle(source, &sourceInfo);
  GetFileInformationByHandle(targetFile.get(), &targetInfo);
  *comparison = CompareFileTime(&sourceInfo.ftLastWriteTime, &targetInfo.ftLastWriteTime);
  return true;
}

static std::wstring LocalDateText(const FILETIME& written) {
  SYSTEMTIME universal = {}, local = {};
  FileTimeToSystemTime(&written, &universal);
  SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
  return FormatText(L"%02d.%02d.%d %02d:%02d", local.wDay, local.wMonth, local.wYear, local.wHour, local.wMinute);
}

static void SizeAndDate(HANDLE file, int64_t* size, std::wstring* dateText) {
  FILETIME written = {};
  LARGE_INTEGER bytes = {};
  GetFileTime(file, nullptr, nullptr, &written);
  GetFileSizeEx(file, &bytes);
  *size = bytes.QuadPart;
  *dateText = LocalDateText(written);
}

static bool FillConflictRecord(HANDLE source, const std::wstring& sourcePath, const std::wstring& target) {
  std::wstring ignored;
  SplitAtLastBackslash(target, &CurrentConflict.targetFolder, &ignored);
  SplitAtLastBackslash(sourcePath, &CurrentConflict.sourceFolder, &CurrentConflict.fileName);
  OpenedFile targetFile;
  if (!targetFile.Open(target)) return false;
  SizeAndDate(targetFile.get(), &CurrentConflict.size, &CurrentConflict.dateText);
  SizeAndDate(source, &CurrentConflict.sourceSize, &CurrentConflict.sourceDateText);
  return true;
}

// The answer to a conflict goes into *setAnswer: the set's own, or the
// dialog's, or the command's last. False when the target could not be
// looked at (reported).
static bool DecideConflict(HANDLE source, const std::wstring& sourcePath, const std::wstring& target,
                           uint32_t* setAnswer) {
  if (*setAnswer & AnswersForAll) return true;
  if (CurrentCopyCommand.unattended) {  // nothing overwritten, nothing lost
    *setAnswer = KeepBothAll;
    return true;
  }
  if (!FillConflictRecord(source, sourcePath, target)) return false;
  if (!CurrentCopyCommand.dontAsk) {
    CurrentCopyCommand.lastAnswer = ConflictDialog();
  }
  *setAnswer = CurrentCopyCommand.lastAnswer;
  return true;
}

// Copies all bytes in bounded pieces; on failure *failedPath names the file
// that failed, the reason is in GetLastError.
static bool CopyBytes(HANDLE source, const std::wstring& sourcePath, HANDLE target, const std::wstring& targetPath,
                      std::wstring* failedPath) {
  static std::vector<BYTE> chunk(CopyChunk);  // one buffer for every copy
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(source, chunk.data(), CopyChunk, &read, nullptr)) {
      *failedPath = sourcePath;
      return false;
    }
    if (read == 0) return true;
    if (!WriteFileData(target, chunk.data(), read)) {
      *failedPath = targetPath;
      return false;
    }
  }
}

static bool WriteTarget(HANDLE source, const std::wstring& sourcePath, const std::wstring& target) {
  std::wstring failedPath = target;
  const InPlaceStep step =
      WriteFileInPlace(target, [&](HANDLE written) { return CopyBytes(source, sourcePath, written, target, &failedPath); });
  if (step == InPlaceStep::Done) return true;
  const DWORD error = GetLastError();
  if (step == InPlaceStep::Open) {
    ShowOpenError(target, error);
  } else {
    ShowCopyError(failedPath, error);
  }
  return false;
}

// The folder that keeps what this restore replaces, made at its first file:
// beside the backup, or in the user's local folder when the backup cannot
// be written. Empty when neither can be made (reported).
static std::wstring KeptFolder() {
  CopyCommand& command = CurrentCopyCommand;
  if (!command.keptFolder.empty()) return command.keptFolder;
  for (const std::wstring& folder : command.keepFolders) {
    if (folder.empty()) continue;
    std::vector<std::wstring> along;  // made quietly: a failure here tries the next folder
    bool made = FoldersAlong(folder, &along);
    for (size_t i = 0; made && i < along.size(); ++i) {
      made = PathExists(along[i]) || CreateDirectoryW(LongPathForm(along[i]).c_str(), nullptr);
    }
    if (made) {
      command.keptFolder = folder;
      if (CopyLog) CopyLog->SetKeptFolder(folder);
      return folder;
    }
  }
  const std::wstring text = FormatText(L"%s: %s", SelectText(TextErrorCreatingDir), command.keepFolders[0].c_str());
  if (FirstFailure(SelectText(CaptionError), text)) ShowErrorMessage(nullptr, text.c_str());
  return std::wstring();
}

// Keeps the file a restore is about to replace at the same relative path
// below the kept folder: a second name of the same file where the volume
// allows (it costs nothing and the replace below leaves it alone), else a
// copy. False when it could not be kept (reported): then it is not
// replaced either.
static bool KeepReplacedFile(const std::wstring& target) {
  const std::wstring& root = CurrentCopyCommand.targetRoot;
  if (CurrentCopyCommand.keepFolders[0].empty()) return true;  // a save keeps nothing
  const std::wstring keptFolder = KeptFolder();
  if (keptFolder.empty()) return false;
  const bool below = target.size() > root.size() + 1 && target.compare(0, root.size(), root) == 0;
  const std::wstring kept = keptFolder + L"\\" + (below ? target.substr(root.size() + 1) : target.substr(target.rfind(L'\\') + 1));
  std::wstring folder, name;
  if (SplitAtLastBackslash(kept, &folder, &name) && !CreateFolderPath(folder)) return false;
  const std::wstring from = LongPathForm(target), to = LongPathForm(kept);
  if (CreateHardLinkW(to.c_str(), from.c_str(), nullptr) || CopyFileData(from.c_str(), to.c_str())) return true;
  const DWORD error = GetLastError();
  DeleteFileW(to.c_str());  // a cut copy is no copy
  ShowCopyError(kept, error);
  return false;
}

static void ShowCopied() {
  if (CurrentCopyCommand.showProgress) CurrentCopyCommand.showProgress(CurrentCopyCommand.ownerDialog, false);
}

// Tells the command's log what became of the file; passes `result` on.
static bool Logged(FileOutcome outcome, const std::wstring& source, const std::wstring& target, bool result) {
  if (CopyLog) CopyLog->EndFile(outcome, source, target);
  if (outcome == FileOutcome::Failed) ++CurrentCopyCommand.failedCount;
  return result;
}

bool CopyFileUnderRules(const std::wstring& source, std::wstring* target, uint32_t* setAnswer) {
  if (CurrentCopyCommand.cancelled) return false;
  if (!PathExists(source)) return true;
  if (CopyLog) CopyLog->StartFile();
  OpenedFile sourceFile;
  if (!sourceFile.Open(source)) return Logged(FileOutcome::Failed, source, *target, true);
  bool targetExists = PathExists(*target);
  if (CurrentCopyCommand.dateRule != NoDateRule && targetExists) {
    int comparison = 0;
    if (!CompareWithTarget(sourceFile.get(), *target, &comparison)) {
      return Logged(FileOutcome::Failed, source, *target, true);
    }
    if (SkippedByDateRule(CurrentCopyCommand.dateRule, comparison)) {
      return Logged(FileOutcome::DateSkipped, source, *target, true);
    }
  }
  FileOutcome copied = FileOutcome::Copied;
  if (targetExists) {
    if (!DecideConflict(sourceFile.get(), source, *target, setAnswer)) {
      return Logged(FileOutcome::Failed, source, *target, true);
    }
    const uint32_t answer = *setAnswer;
    if (answer == DontCopy || answer == DontCopyAll) return Logged(FileOutcome::Left, source, *target, true);
    if (answer == Cancel) {
      CurrentCopyCommand.cancelled = true;
      return Logged(FileOutcome::Cancelled, source, *target, false);
    }
    if (answer == KeepBoth || answer == KeepBothAll) {
      std::wstring folder, name;
      SplitAtLastBackslash(*target, &folder, &name);
      *target = MakeKeptCopyName(folder, name);
      targetExists = false;
      copied = FileOutcome::Kept;
    }
  } else if (!CurrentCopyCommand.keepFolders[0].empty()) {
    copied = FileOutcome::Added;  // nothing to keep, nothing an undo would take back
  }
  if (targetExists && !KeepReplacedFile(*target)) return Logged(FileOutcome::Failed, source, *target, true);
  if (!WriteTarget(sourceFile.get(), source, *target)) return Logged(FileOutcome::Failed, source, *target, true);
  ++CurrentCopyCommand.copiedCount;
  ShowCopied();
  return Logged(copied, source, *target, true);
}
