// The open-file dialog every "...." button uses, the colour chooser,
// whether a path is there, and guarded open, read and close of files that
// report failures with the system's own text.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// Shows the open-file dialog owned by the main window. `file` is a caller's
// buffer of PathCapacity characters, cleared by the caller; on true it holds
// the chosen path (which need not exist). `filter` is a double-zero-ended
// list of (description, pattern) pairs.
bool ChooseOpenFile(wchar_t* file, const wchar_t* initialFolder, const wchar_t* filter, const wchar_t* title);

// The last change of a file in local time ("2026-12-07 01:02:03"); empty
// when it cannot be read.
std::wstring FileChangeDate(const wchar_t* path);

// The colour chooser, starting at *colour. True when a colour was chosen; it
// is then written back. A cancelled chooser shows nothing; any other
// failure is reported. In both cases *colour is unchanged.
bool ChooseColour(COLORREF* colour, HWND owner);

// The text shown when the colour chooser fails with `code`.
std::wstring ColourChooserErrorText(DWORD code);

// Whether `path` names a file or folder, and whether it names a folder; at
// any length, false for an empty path.
bool PathExists(const std::wstring& path);
bool FolderPathExists(const std::wstring& path);

// Opens `path` without sharing, normal attributes, positioned at the start.
// On failure it reports the system's text under "CreateFile:   <path>",
// leaves INVALID_HANDLE_VALUE in *slot and returns false.
bool OpenFileHandle(const wchar_t* path, DWORD access, DWORD disposition, HANDLE* slot);

// Asks ReadFileData for the rest of the file.
inline constexpr DWORD WholeFile = static_cast<DWORD>(-1);

// Reads `count` bytes (or WholeFile) into a buffer of `capacity` bytes with
// one ReadFile. Returns the number of bytes read; 0 on failure (reported)
// and for an empty file. A request larger than the buffer, or a whole file
// that does not fit, fails with ERROR_INSUFFICIENT_BUFFER and reads nothing.
DWORD ReadFileData(HANDLE* slot, void* buffer, size_t capacity, DWORD count);

// Reads the whole file into `data`, sized to the file. False on failure
// (reported); an empty file gives true and no bytes.
bool ReadWholeFile(HANDLE* slot, std::vector<BYTE>* data);

// Closes the handle if the slot holds one and clears the slot. Always true.
bool CloseFileHandle(HANDLE* slot);

// Every write into a file the user keeps goes through these calls, so tests
// can make one fail midway as a full disk does. Null members stand for the
// system's own; returns the calls installed before.
struct FileWriteCalls {
  BOOL (*write)(HANDLE file, const void* data, DWORD size, DWORD* written);
  BOOL (*copy)(const wchar_t* from, const wchar_t* to, BOOL failIfExists);
  BOOL (*flush)(HANDLE file);
};
FileWriteCalls SetFileWriteCalls(FileWriteCalls calls);

// Writes all `size` bytes at the file's position. False with the reason in
// GetLastError; a write that takes nothing counts as a full disk.
bool WriteFileData(HANDLE file, const void* data, size_t size);

// CopyFileW through the calls above; false with the reason in GetLastError.
bool CopyFileData(const wchar_t* from, const wchar_t* to);

// Where WriteFileInPlace stopped.
enum class InPlaceStep {
  Done,
  Open,   // the target cannot be replaced (read-only, held by another program, folder missing): nothing written
  Write,  // writing, flushing or renaming failed
};

// Every file the program writes goes through here, so that no failure, a
// power cut included, costs the file it replaces: `fill` writes the whole
// content into a new file in the target's folder, which takes the target's
// name only when complete. Replacing a file, the new content is flushed to
// the disk first and the rename is written through; a new file needs no
// flush, as no old one is at stake. On failure the temporary file is gone,
// the old file untouched and the reason in GetLastError. Paths of any
// length and network paths are taken.
InPlaceStep WriteFileInPlace(const std::wstring& path, const std::function<bool(HANDLE file)>& fill);

// WriteFileInPlace with `bytes` as the whole content.
InPlaceStep WriteBytesInPlace(const std::wstring& path, const void* bytes, size_t size);

// Caption of the open failure: "CreateFile:   <path>", cut to 259 characters.
std::wstring OpenFailureCaption(const wchar_t* path);

// The open failure: the system's text under that caption, task-modal.
void ShowOpenFailure(const wchar_t* path, DWORD code);
