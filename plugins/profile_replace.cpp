// The old profile is kept in memory until the new one has its name, so a
// failure at any step can put it back byte for byte.
#include "plugins/profile_replace.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/handles.h"
#include "app/message_box.h"
#include "app/text_format.h"
#include "app/text_triple.h"

static const TextTriple TextCannotReplace = {
    L"Das Profil kann nicht ersetzt werden:\r\n%s\r\n%s\r\nEs wurde nichts geändert.",
    L"The profile cannot be replaced:\r\n%s\r\n%s\r\nNothing was changed.",
    L"Le profil ne peut pas être remplacé :\r\n%s\r\n%s\r\nRien n'a été modifié."};
static const TextTriple TextRecycleFailed = {
    L"Das alte Profil konnte nicht in den Papierkorb verschoben werden:\r\n%s\r\n%s\r\nEs wurde nichts geändert.",
    L"The old profile could not be moved to the recycle bin:\r\n%s\r\n%s\r\nNothing was changed.",
    L"L'ancien profil n'a pas pu être déplacé dans la corbeille :\r\n%s\r\n%s\r\nRien n'a été modifié."};
static const TextTriple TextRenameFailed = {
    L"Das neue Profil konnte nicht umbenannt werden in\r\n%s\r\n%s\r\nDas alte Profil wurde wiederhergestellt. Es "
    L"wurde nichts geändert.",
    L"The new profile could not be renamed to\r\n%s\r\n%s\r\nThe old profile was put back. Nothing was changed.",
    L"Le nouveau profil n'a pas pu être renommé en\r\n%s\r\n%s\r\nL'ancien profil a été remis en place. Rien n'a "
    L"été modifié."};
static const TextTriple TextRestoreFailed = {
    L"Das neue Profil konnte nicht umbenannt werden in\r\n%s\r\n%s\r\nDas alte Profil konnte nicht "
    L"wiederhergestellt werden: %s\r\nEs liegt im Papierkorb; das neue Profil ist\r\n%s",
    L"The new profile could not be renamed to\r\n%s\r\n%s\r\nThe old profile could not be put back: %s\r\nIt is "
    L"in the recycle bin; the new profile is\r\n%s",
    L"Le nouveau profil n'a pas pu être renommé en\r\n%s\r\n%s\r\nL'ancien profil n'a pas pu être remis en place : "
    L"%s\r\nIl se trouve dans la corbeille ; le nouveau profil est\r\n%s"};

static BOOL RenameFile(const wchar_t* from, const wchar_t* to) {
  return MoveFileExW(from, to, MOVEFILE_WRITE_THROUGH);  // never over a file that appeared meanwhile
}

static FileRenameFunction Rename = RenameFile;

FileRenameFunction SetFileRenameFunction(FileRenameFunction rename) {
  const FileRenameFunction before = Rename;
  Rename = rename ? rename : RenameFile;
  return before;
}

static bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// The system's text, or the bare number where the system has none (the
// shell's own codes).
static std::wstring ReasonText(DWORD code) {
  std::wstring text = SystemErrorText(code);
  return text.empty() ? FormatText(L"%lu (0x%08lx)", code, code) : text;
}

static void ShowFailure(HWND owner, const TextTriple& text, const wchar_t* path, DWORD code) {
  ShowErrorMessage(owner, FormatText(SelectText(text), path, ReasonText(code).c_str()).c_str());
}

// A longer path would be cut, and the cut path could name another file.
inline constexpr size_t MaxShellPath = 259;

int MoveFileToRecycleBin(const wchar_t* path, DWORD* error) {
  DWORD code = 0;
  std::wstring from(path);
  if (from.size() > MaxShellPath) {
    code = ERROR_FILENAME_EXCED_RANGE;
  } else {
    from.push_back(L'\0');  // the list ends with a second zero
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    code = static_cast<DWORD>(SHFileOperationW(&operation));
    if (code == 0 && operation.fAnyOperationsAborted) code = ERROR_CANCELLED;
    if (code == 0 && Exists(path)) code = ERROR_ACCESS_DENIED;
  }
  if (error) *error = code;
  return code == 0;
}

bool CheckProfileReplaceable(HWND owner, const wchar_t* profile) {
  // Write and delete access fail for a read-only file and for one another
  // program holds without sharing them. The attribute is asked for itself
  // where an administrator's rights would open the file anyway.
  const DWORD attributes = GetFileAttributesW(profile);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ShowFailure(owner, TextCannotReplace, profile, ERROR_ACCESS_DENIED);
    return false;
  }
  UniqueFile file(CreateFileW(profile, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return true;
  ShowFailure(owner, TextCannotReplace, profile, GetLastError());
  return false;
}

namespace {

// The old profile as it was: bytes, attributes and times.
struct SavedFile {
  std::vector<char> bytes;
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  FILETIME created = {}, accessed = {}, written = {};
};

}  // namespace

static DWORD SaveFile(const wchar_t* path, SavedFile& saved) {
  UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
  LARGE_INTEGER size = {};
  if (!file || !GetFileSizeEx(file.get(), &size) ||
      !GetFileTime(file.get(), &saved.created, &saved.accessed, &saved.written)) {
    return GetLastError();
  }
  if (size.QuadPart > 0x7FFFFFFF) return ERROR_FILE_TOO_LARGE;
  saved.bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!saved.bytes.empty() &&
      !ReadFile(file.get(), saved.bytes.data(), static_cast<DWORD>(saved.bytes.size()), &read, nullptr)) {
    return GetLastError();
  }
  if (read != saved.bytes.size()) return ERROR_READ_FAULT;
  saved.attributes = GetFileAttributesW(path);
  return 0;
}

static DWORD RestoreFile(const wchar_t* path, const SavedFile& saved) {
  DWORD code = 0;
  {
    UniqueFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    DWORD written = 0;
    if (!saved.bytes.empty()) {
      if (!WriteFile(file.get(), saved.bytes.data(), static_cast<DWORD>(saved.bytes.size()), &written, nullptr)) {
        code = GetLastError();
      } else if (written != saved.bytes.size()) {
        code = ERROR_WRITE_FAULT;
      }
    }
    if (code == 0 && (!SetFileTime(file.get(), &saved.created, &saved.accessed, &saved.written) ||
                      !FlushFileBuffers(file.get()))) {
      code = GetLastError();
    }
  }
  if (code != 0) {
    DeleteFileW(path);  // a part of the profile is not the profile
    return code;
  }
  if (saved.attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(path, saved.attributes);
  return 0;
}

bool ReplaceProfileFile(HWND owner, const wchar_t* profile, const wchar_t* newFile) {
  SavedFile saved;
  DWORD code = SaveFile(profile, saved);
  if (code != 0) {
    DeleteFileW(newFile);
    ShowFailure(owner, TextCannotReplace, profile, code);
    return false;
  }
  if (!MoveFileToRecycleBin(profile, &code)) {
    if (!Exists(profile)) RestoreFile(profile, saved);
    DeleteFileW(newFile);
    ShowFailure(owner, TextRecycleFailed, profile, code);
    return false;
  }
  if (Rename(newFile, profile)) return true;
  code = GetLastError();
  const DWORD restore = RestoreFile(profile, saved);
  if (restore == 0) {
    DeleteFileW(newFile);
    ShowFailure(owner, TextRenameFailed, profile, code);
    return false;
  }
  // The new profile is all that is left outside the recycle bin: keep it.
  ShowErrorMessage(owner, FormatText(SelectText(TextRestoreFailed), profile, ReasonText(code).c_str(),
                                     ReasonText(restore).c_str(), newFile)
                              .c_str());
  return false;
}
