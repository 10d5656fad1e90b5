// The copy of single files under the date rule and the conflict answers.
#include "backup/copy_engine.h"

#include <commctrl.h>
#include <direct.h>
#include <io.h>

#include <vector>

#include "app/file_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/text_format.h"
#include "app/texts.h"
#include "resources/resource.h"

CopyCommand CurrentCopyCommand = {};
ConflictRecord CurrentConflict = {};
BackupLog* CopyLog = nullptr;

static const TextTriple TextSkip = {L"Überspringen", L"Skip", L"Skip"};
static const TextTriple TextForAll = {L"Vorgang für alle Konflikte dieses Typs durchführen",
                                      L"Do this for all conflicts of that type", L"Do this for all conflicts of that type"};
static const TextTriple TextDontAskAgain = {L"Für diesen Vorgang nicht mehr fragen",
                                            L"Don't ask again for this copy command",
                                            L"Don't ask again for this copy command"};
static const TextTriple TextKeepBoth = {L"Kopieren, aber beide Dateien behalten", L"Copy, but keep both files",
                                        L"Copier, mais conserver les deux fichiers"};
static const TextTriple TextReplaceHeading = {
    L"Datei im Zielordner durch die zu kopierende Datei ersetzen:",
    L"Replace the file in the destination folder with the file you are copying:",
    L"Rempacer le fichier du dossier de destination par le fichier en cours de copie:"};
static const TextTriple TextLeaveHeading = {
    L"Es werden keine Dateien geändert. Die folgende Datei wird im Zielordner belassen",
    L"No files will be changed. Leave this file in the destination folder:",
    L"Aucon fichier ne sera modifie. Laisser ce fichier dans le dossier de destination:"};
static const TextTriple TextFileName = {L"Datei Name", L"File name", L"File name"};
static const TextTriple TextFileSize = {L"Datei Größe", L"File size", L"File size"};
static const TextTriple TextLastChanged = {L"Letzte Änderung", L"Last changed ", L"Last changed "};
static const TextTriple TextFilesCopied = {L"Dateien kopiert", L"Files copied", L"Files copied"};
static const TextTriple TextErrorCreatingDir = {L"Fehler Einrichten Verzeichnis", L"Error creating dir",
                                                L"Error creating dir"};

static const RelabelRow ConflictControls[] = {
    {IDC_CONFLICT_SKIP, &TextSkip},
    {IDCANCEL, &TextCancel},
    {IDC_CONFLICT_FOR_ALL, &TextForAll},
    {IDC_CONFLICT_DONT_ASK, &TextDontAskAgain},
    {IDC_CONFLICT_KEEP_BOTH, &TextKeepBoth},
    {0, nullptr},
};

// Files are copied in pieces of this size, whatever their size.
static constexpr DWORD CopyChunk = 1 << 20;

bool PathExists(const std::wstring& path) { return !path.empty() && _waccess(path.c_str(), 0) == 0; }

void StartCopyCommand(HWND ownerDialog, DateRule rule, int32_t totalCount) {
  CurrentCopyCommand.ownerDialog = ownerDialog;
  CurrentCopyCommand.dateRule = rule;
  CurrentCopyCommand.dontAsk = false;
  CurrentCopyCommand.lastAnswer = NoAnswer;
  CurrentCopyCommand.copiedCount = 0;
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
  for (size_t at = 0; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != L'\\') continue;
    if (at == 0) return false;  // a network path
    const std::wstring prefix = path.substr(0, at);
    if (PathExists(prefix) || _wmkdir(prefix.c_str()) == 0) continue;
    const std::wstring text = FormatText(L"%s: %s", SelectText(TextErrorCreatingDir), prefix.c_str());
    ShowMessageBox(nullptr, text.c_str(), SelectText(CaptionError), MB_ICONERROR);
    return false;
  }
  return true;
}

static void ShowCopyError(const std::wstring& path, DWORD error) {
  wchar_t caption[PathCapacity];
  FormatInto(caption, PathCapacity, L"Open file %s", path.c_str());
  ShowMessageBox(nullptr, SystemErrorText(error).c_str(), caption, MB_TASKMODAL | MB_ICONERROR);
}

static void ShowOpenError(const std::wstring& path, DWORD error) {
  ShowMessageBox(nullptr, SystemErrorText(error).c_str(), OpenFailureCaption(path.c_str()).c_str(),
                 MB_TASKMODAL | MB_ICONINFORMATION);
}

// A file opened for reading through the guarded open, closed on every path.
class OpenedFile {
 public:
  bool Open(const std::wstring& path, DWORD access, DWORD disposition) {
    return OpenFileHandle(path.c_str(), access, disposition, &handle_);
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
  if (!targetFile.Open(target, GENERIC_READ, OPEN_EXISTING)) return false;
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

static bool FillConflictRecord(const std::wstring& source, const std::wstring& target) {
  std::wstring ignored;
  SplitAtLastBackslash(target, &CurrentConflict.targetFolder, &ignored);
  SplitAtLastBackslash(source, &CurrentConflict.sourceFolder, &CurrentConflict.fileName);
  OpenedFile targetFile;
  if (!targetFile.Open(target, GENERIC_READ, OPEN_EXISTING)) return false;
  FILETIME written = {};
  LARGE_INTEGER size = {};
  GetFileTime(targetFile.get(), nullptr, nullptr, &written);
  GetFileSizeEx(targetFile.get(), &size);
  CurrentConflict.size = size.QuadPart;
  CurrentConflict.dateText = LocalDateText(written);
  return true;
}

// The answer to a conflict goes into *setAnswer: the set's own, or the
// dialog's, or the command's last. False when the target could not be
// looked at (reported).
static bool DecideConflict(const std::wstring& source, const std::wstring& target, uint32_t* setAnswer) {
  if (*setAnswer & AnswersForAll) return true;
  if (!FillConflictRecord(source, target)) return false;
  if (!CurrentCopyCommand.dontAsk) {
    CurrentCopyCommand.lastAnswer = ConflictDialog();
  }
  *setAnswer = CurrentCopyCommand.lastAnswer;
  return true;
}

// Copies all bytes in bounded pieces; reports a failure with its path.
static bool CopyBytes(HANDLE source, const std::wstring& sourcePath, HANDLE target, const std::wstring& targetPath) {
  static std::vector<BYTE> chunk(CopyChunk);  // one buffer for every copy
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(source, chunk.data(), CopyChunk, &read, nullptr)) {
      ShowCopyError(sourcePath, GetLastError());
      return false;
    }
    if (read == 0) return true;
    if (!WriteFileData(target, chunk.data(), read)) {
      ShowCopyError(targetPath, GetLastError());
      return false;
    }
  }
}

// A new file in the target's folder: "<target>.kw~", or a name of the
// system's own when a file of that name is already there.
static HANDLE CreateTemporaryBeside(const std::wstring& target, std::wstring* temporary) {
  *temporary = target + L".kw~";
  HANDLE file = CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  return CreateFileBeside(target, temporary);
}

// The new content goes into a temporary file beside the target and takes
// the target's name only when complete, so a failed copy leaves the old
// target as it was.
static bool WriteTarget(HANDLE source, const std::wstring& sourcePath, const std::wstring& target,
                        bool targetExists) {
  if (targetExists) {
    // Windows refuses to open a read-only file for writing; Wine run by an
    // administrator does not. Refuse it here, so the replace below never
    // overwrites a file the user protected, on either.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      ShowOpenError(target, ERROR_ACCESS_DENIED);
      return false;
    }
    OpenedFile check;  // a locked target is reported as such
    if (!check.Open(target, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING)) return false;
  }
  std::wstring temporary;
  HANDLE written = CreateTemporaryBeside(target, &temporary);
  if (written == INVALID_HANDLE_VALUE) {
    ShowOpenError(target, GetLastError());
    return false;
  }
  const bool copied = CopyBytes(source, sourcePath, written, target);
  CloseHandle(written);
  if (copied && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (copied) ShowCopyError(target, GetLastError());
  DeleteFileW(temporary.c_str());
  return false;
}

static void ShowCopied() {
  HWND owner = CurrentCopyCommand.ownerDialog;
  if (!owner) return;
  SendDlgItemMessageW(owner, IDC_BACKUP_PROGRESS, PBM_STEPIT, 0, 0);
  SetDlgItemTextW(owner, IDC_BACKUP_STATUS, CopiedStatusText().c_str());
}

// Tells the command's log what became of the file; passes `result` on.
static bool Logged(FileOutcome outcome, const std::wstring& source, const std::wstring& target, bool result) {
  if (CopyLog) CopyLog->EndFile(outcome, source, target);
  return result;
}

bool CopyFileUnderRules(const std::wstring& source, std::wstring* target, uint32_t* setAnswer) {
  if (!PathExists(source)) return true;
  if (CopyLog) CopyLog->StartFile();
  OpenedFile sourceFile;
  if (!sourceFile.Open(source, GENERIC_READ, OPEN_EXISTING)) {
    return Logged(FileOutcome::Failed, source, *target, false);
  }
  bool targetExists = PathExists(*target);
  if (CurrentCopyCommand.dateRule != NoDateRule && targetExists) {
    int comparison = 0;
    if (!CompareWithTarget(sourceFile.get(), *target, &comparison)) {
      return Logged(FileOutcome::Failed, source, *target, false);
    }
    if (SkippedByDateRule(CurrentCopyCommand.dateRule, comparison)) {
      return Logged(FileOutcome::DateSkipped, source, *target, true);
    }
  }
  FileOutcome copied = FileOutcome::Copied;
  if (targetExists) {
    if (!DecideConflict(source, *target, setAnswer)) return Logged(FileOutcome::Failed, source, *target, false);
    const uint32_t answer = *setAnswer;
    if (answer == DontCopy || answer == DontCopyAll) return Logged(FileOutcome::Left, source, *target, true);
    if (answer == Cancel) return Logged(FileOutcome::Cancelled, source, *target, false);
    if (answer == KeepBoth || answer == KeepBothAll) {
      std::wstring folder, name;
      SplitAtLastBackslash(*target, &folder, &name);
      *target = MakeKeptCopyName(folder, name);
      targetExists = false;
      copied = FileOutcome::Kept;
    }
  }
  if (!WriteTarget(sourceFile.get(), source, *target, targetExists)) {
    return Logged(FileOutcome::Failed, source, *target, false);
  }
  ++CurrentCopyCommand.copiedCount;
  ShowCopied();
  return Logged(copied, source, *target, true);
}

static const wchar_t BlankRun[] = L"                              ";  // 30 blanks

static std::wstring ConflictButtonText(const TextTriple& heading, const std::wstring& folder) {
  wchar_t text[1024];
  FormatInto(text, 1024, L"%s\r\n\r\n%s%s    %s(%s)\r\n%s%s    %I64d\r\n%s%s%s", SelectText(heading), BlankRun,
             SelectText(TextFileName), CurrentConflict.fileName.c_str(), folder.c_str(), BlankRun,
             SelectText(TextFileSize), static_cast<long long>(CurrentConflict.size), BlankRun,
             SelectText(TextLastChanged), CurrentConflict.dateText.c_str());
  return text;
}

static void OnInitConflict(HWND dialog) {
  RelabelControls(ConflictControls, dialog);
  CheckDlgButton(dialog, IDC_CONFLICT_DONT_ASK, BST_UNCHECKED);
  SetDlgItemTextW(dialog, IDC_CONFLICT_REPLACE,
                  ConflictButtonText(TextReplaceHeading, CurrentConflict.sourceFolder).c_str());
  SetDlgItemTextW(dialog, IDC_CONFLICT_LEAVE,
                  ConflictButtonText(TextLeaveHeading, CurrentConflict.targetFolder).c_str());
}

static BOOL OnConflictCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_CONFLICT_REPLACE:
    case IDC_CONFLICT_LEAVE:
    case IDC_CONFLICT_SKIP:
    case IDC_CONFLICT_KEEP_BOTH: {
      const bool forAll = IsDlgButtonChecked(dialog, IDC_CONFLICT_FOR_ALL) == BST_CHECKED;
      CurrentCopyCommand.dontAsk = IsDlgButtonChecked(dialog, IDC_CONFLICT_DONT_ASK) == BST_CHECKED;
      EndDialog(dialog, AnswerOfButton(id, forAll));
      return TRUE;
    }
    case IDCANCEL:
      CurrentCopyCommand.dontAsk = true;
      EndDialog(dialog, Cancel);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK ConflictDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitConflict(dialog);
      return TRUE;
    case WM_COMMAND:
      return OnConflictCommand(dialog, LOWORD(wParam));
  }
  return FALSE;
}

ConflictAnswer ConflictDialog() {
  const INT_PTR answer = RunModalDialog(CurrentCopyCommand.ownerDialog, IDD_CONFLICT, ConflictDialogProc);
  if (answer <= 0) {  // the dialog could not be shown: stop rather than guess
    CurrentCopyCommand.dontAsk = true;
    return Cancel;
  }
  return static_cast<ConflictAnswer>(answer);
}
