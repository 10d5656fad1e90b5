// A folder of its own for one test, removed with everything in it when the
// test ends, and small helpers for the files in it.
#pragma once

#include <windows.h>

#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder itself, without a trailing backslash.
  const std::wstring& Path() const { return path_; }
  // `relative` below the folder ("a\b.txt").
  std::wstring Path(const std::wstring& relative) const { return path_ + L"\\" + relative; }

  // Creates the file and every folder on its way.
  void Write(const std::wstring& relative, const std::string& bytes) const;
  void MakeFolder(const std::wstring& relative) const;

 private:
  std::wstring path_;
};

// Whole-file helpers for absolute paths.
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
void CreateFolders(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// Last-write times of files, and a time some seconds before another.
void SetWriteTime(const std::wstring& path, const FILETIME& time);
FILETIME WriteTime(const std::wstring& path);
FILETIME TimeBefore(const FILETIME& time, LONGLONG seconds);
