// Shared helpers around the open-file dialog, the colour chooser and raw
// file access. They keep no state apart from what the caller passes.
#include "app/file_helpers.h"

#include "app/common_dialogs.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"

#include <new>

bool ChooseOpenFile(wchar_t* file, const wchar_t* initialFolder, const wchar_t* filter, const wchar_t* title) {
  OPENFILENAMEW request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = MainWindow;
  request.hInstance = Instance;
  request.lpstrFilter = filter;
  request.lpstrFile = file;
  // The caller's buffer holds PathCapacity characters; telling the dialog
  // more would let a long typed name run past it.
  request.nMaxFile = static_cast<DWORD>(PathCapacity);
  request.lpstrInitialDir = initialFolder;
  request.lpstrTitle = title;
  request.lpstrDefExt = L"xml";
  request.Flags = OFN_EXPLORER;
  return Dialogs().OpenFileName(&request) != FALSE;
}

std::wstring FileChangeDate(const wchar_t* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  SYSTEMTIME utc, local;
  if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data) ||
      !FileTimeToSystemTime(&data.ftLastWriteTime, &utc) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    return L"";
  }
  return FormatText(L"%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
                    local.wMinute, local.wSecond);
}

struct ColourErrorRow {
  DWORD code;
  const wchar_t* format;
};

static const ColourErrorRow ColourErrorTable[] = {
    {1, L"%s CDERR_STRUCTSIZE"},      {2, L"%s CDERR_INITIALIZITATION"}, {3, L"%s CDERR_NOTEMPLATE"},
    {4, L"%s CDERR_NOHINSTANCE"},     {5, L"%s CDERR_LOADSTRFAILURE"},   {6, L"%s CDERR_FINDRESFAILURE"},
    {7, L"%s CDERR_LOADRESFAILURE"},  {8, L"%s CDERR_LOCKRESFAILURE"},   {10, L"%s CDERR_MEMLOCKFAILURE"},
    {11, L"%s CDERR_NOHOOK"},         {0, nullptr},
};

std::wstring ColourChooserErrorText(DWORD code) {
  for (const ColourErrorRow* row = ColourErrorTable; row->format; ++row) {
    if (row->code == code) return FormatText(row->format, L"Choosecolor");
  }
  return FormatText(L"%s unknown error nmb:%ld", L"Choosecolor", static_cast<long>(code));
}

bool ChooseColour(COLORREF* colour, HWND owner) {
  COLORREF customColours[16] = {};  // fresh and black for every call
  CHOOSECOLORW request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.rgbResult = *colour;
  request.lpCustColors = customColours;
  request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (Dialogs().ChooseColour(&request)) {
    *colour = request.rgbResult;
    return true;
  }
  const DWORD code = Dialogs().ExtendedError();
  if (code != 0) {
    ShowErrorMessage(nullptr, ColourChooserErrorText(code).c_str(), MB_TASKMODAL);
  }
  return false;
}

std::wstring OpenFailureCaption(const wchar_t* path) {
  wchar_t caption[PathCapacity];
  FormatInto(caption, PathCapacity, L"%s:   %s", L"CreateFile", path);
  return caption;
}

void ShowOpenFailure(const wchar_t* path, DWORD code) {
  ShowMessageBox(nullptr, SystemErrorText(code).c_str(), OpenFailureCaption(path).c_str(),
                 MB_TASKMODAL | MB_ICONINFORMATION);
}

bool PathExists(const std::wstring& path) {
  return !path.empty() && GetFileAttributesW(LongPathForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FolderPathExists(const std::wstring& path) {
  const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(LongPathForm(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool OpenFileHandle(const wchar_t* path, DWORD access, DWORD disposition, HANDLE* slot) {
  *slot = CreateFileW(path, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (*slot == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    ShowOpenFailure(path, error);
    return false;
  }
  SetFilePointer(*slot, 0, nullptr, FILE_BEGIN);
  return true;
}

static void ShowReadError(DWORD error) {
  ShowMessageBox(nullptr, SystemErrorText(error).c_str(), L"ReadFile", MB_ICONINFORMATION);
}

// The bytes from the current position to the end, or false when the size
// cannot be taken (the error is then in GetLastError).
static bool RemainingBytes(HANDLE file, ULONGLONG* remaining) {
  LARGE_INTEGER size, position, zero = {};
  if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, zero, &position, FILE_CURRENT)) return false;
  *remaining = size.QuadPart > position.QuadPart ? static_cast<ULONGLONG>(size.QuadPart - position.QuadPart) : 0;
  return true;
}

DWORD ReadFileData(HANDLE* slot, void* buffer, size_t capacity, DWORD count) {
  ULONGLONG wanted = count;
  if (count == WholeFile) {
    if (!RemainingBytes(*slot, &wanted)) {
      ShowReadError(GetLastError());
      return 0;
    }
  }
  if (wanted > capacity || wanted > MAXDWORD - 1) {
    ShowReadError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  DWORD read = 0;
  if (!ReadFile(*slot, buffer, static_cast<DWORD>(wanted), &read, nullptr)) {
    ShowReadError(GetLastError());
    return 0;
  }
  return read;
}

bool ReadWholeFile(HANDLE* slot, std::vector<BYTE>* data) {
  data->clear();
  ULONGLONG remaining = 0;
  if (!RemainingBytes(*slot, &remaining)) {
    ShowReadError(GetLastError());
    return false;
  }
  if (remaining > MAXDWORD - 1) {  // one ReadFile call cannot take more
    ShowReadError(ERROR_FILE_TOO_LARGE);
    return false;
  }
  if (remaining == 0) return true;
  try {
    data->resize(static_cast<size_t>(remaining));
  } catch (const std::bad_alloc&) {
    ShowErrorMessage(nullptr, SelectText(TextOutOfMemory));
    return false;
  }
  const DWORD read = ReadFileData(slot, data->data(), data->size(), static_cast<DWORD>(remaining));
  data->resize(read);
  return read != 0;
}

bool CloseFileHandle(HANDLE* slot) {
  if (*slot != INVALID_HANDLE_VALUE && *slot != nullptr) CloseHandle(*slot);
  *slot = INVALID_HANDLE_VALUE;
  return true;
}

static BOOL SystemWrite(HANDLE file, const void* data, DWORD size, DWORD* written) {
  return WriteFile(file, data, size, written, nullptr);
}

static BOOL SystemCopy(const wchar_t* from, const wchar_t* to, BOOL failIfExists) {
  return CopyFileW(from, to, failIfExists);
}

static BOOL SystemFlush(HANDLE file);
static FileWriteCalls FileWrites = {SystemWrite, SystemCopy, SystemFlush};

FileWriteCalls SetFileWriteCalls(FileWriteCalls calls) {
  const FileWriteCalls before = FileWrites;
  FileWrites.write = calls.write ? calls.write : SystemWrite;
  FileWrites.copy = calls.copy ? calls.copy : SystemCopy;
  FileWrites.flush = calls.flush ? calls.flush : SystemFlush;
  return before;
}

bool WriteFileData(HANDLE file, const void* data, size_t size) {
  const BYTE* bytes = static_cast<const BYTE*>(data);
  while (size > 0) {
    const DWORD piece = static_cast<DWORD>(size < (1u << 24) ? size : (1u << 24));
    DWORD written = 0;
    if (!FileWrites.write(file, bytes, piece, &written)) return false;
    if (written == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

bool CopyFileData(const wchar_t* from, const wchar_t* to) { return FileWrites.copy(from, to, FALSE) != FALSE; }

static BOOL SystemFlush(HANDLE file) { return FlushFileBuffers(file); }

// A new, empty file of a short name of its own in the folder of `path` (a
// long target name must not make the temporary one too long), open for
// writing; its name goes to *temporary.
static HANDLE CreateFileBeside(const std::wstring& path, std::wstring* temporary) {
  const size_t cut = path.find_last_of(L'\\');
  std::wstring folder = cut == std::wstring::npos ? L"." : path.substr(0, cut);
  if (folder.size() == PathRootLength(folder)) folder += L'\\';  // "C:" alone is the current folder there
  // A missing folder is named as such, as creating the file itself would.
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  static DWORD serial = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temporary = folder + (folder.back() == L'\\' ? L"" : L"\\") +
                 FormatText(L"~kw%08lX.tmp", static_cast<unsigned long>(++serial));
    HANDLE file = CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

InPlaceStep WriteFileInPlace(const std::wstring& path, const std::function<bool(HANDLE file)>& fill) {
  const std::wstring target = LongPathForm(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
  if (replacing) {
    // Windows refuses to write a read-only file, Wine run by an
    // administrator does not: refused here on both.
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return InPlaceStep::Open;
    }
    // A file another program holds would refuse the rename at the end.
    HANDLE check = CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (check == INVALID_HANDLE_VALUE) return InPlaceStep::Open;
    CloseHandle(check);
  }
  std::wstring temporary;
  HANDLE file = CreateFileBeside(target, &temporary);
  if (file == INVALID_HANDLE_VALUE) return InPlaceStep::Open;
  bool written = fill(file);
  if (written && replacing) written = FileWrites.flush(file) != FALSE;
  DWORD error = written ? ERROR_SUCCESS : GetLastError();
  CloseHandle(file);
  if (written) {
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return InPlaceStep::Done;
    }
    error = GetLastError();
  }
  DeleteFileW(temporary.c_str());
  SetLastError(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
  return InPlaceStep::Write;
}

InPlaceStep WriteBytesInPlace(const std::wstring& path, const void* bytes, size_t size) {
  return WriteFileInPlace(path, [&](HANDLE file) { return WriteFileData(file, bytes, size); });
}
