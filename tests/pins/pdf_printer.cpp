// Test access to the PDF printer: Wine runs the Unix tools directly when
// given their Unix file as a Windows path.
#include "tests/pins/pdf_printer.h"

#include <algorithm>

#include "tests/support/temp_folder.h"

static std::wstring Replaced(std::wstring path, wchar_t from, wchar_t to) {
  std::replace(path.begin(), path.end(), from, to);
  return path;
}

// KW_PDF_DIR (a Unix path) when set, else the PDF folder in the Unix home,
// which Wine passes as WINEHOMEDIR (for example \??\Z:\root).
std::wstring PdfFolder() {
  wchar_t value[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"KW_PDF_DIR", value, MAX_PATH)) return L"Z:" + Replaced(value, L'/', L'\\');
  if (!GetEnvironmentVariableW(L"WINEHOMEDIR", value, MAX_PATH)) return std::wstring();
  std::wstring home = value;
  if (home.rfind(L"\\??\\", 0) == 0) home = home.substr(4);
  return home + L"\\PDF";
}

std::set<std::wstring> PdfFiles(const std::wstring& folder, const wchar_t* prefix) {
  std::set<std::wstring> files;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\" + prefix + L"*.pdf").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    files.insert(folder + L"\\" + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return files;
}

static LONGLONG FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Waits until the file exists and its size has stopped changing (cups-pdf
// and the Unix tools may still be writing it).
static bool WaitForSettledFile(const std::wstring& path, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  LONGLONG last = -1;
  while (GetTickCount() - start < timeoutMs) {
    const LONGLONG size = FileSize(path);
    if (size > 0 && size == last) return true;
    last = size;
    Sleep(300);
  }
  return false;
}

std::wstring WaitForNewPdf(const std::wstring& folder, const std::set<std::wstring>& before, DWORD timeoutMs,
                           const wchar_t* prefix) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    for (const std::wstring& file : PdfFiles(folder, prefix)) {
      if (!before.count(file)) return WaitForSettledFile(file, timeoutMs) ? file : std::wstring();
    }
    Sleep(200);
  }
  return std::wstring();
}

// Wine starts a Unix program without a process to wait for, so the caller
// waits for the file the program writes.
static bool StartUnixTool(const std::wstring& tool, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + tool + L"\" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The Unix form of a Z: path, as the tools want it.
static std::wstring UnixPath(const std::wstring& windowsPath) {
  return L"\"" + Replaced(windowsPath.substr(2), L'\\', L'/') + L"\"";
}

std::vector<std::string> PdfPageTexts(const std::wstring& pdf) {
  const std::wstring text = pdf + L".txt";
  DeleteFileW(text.c_str());
  if (!StartUnixTool(L"Z:\\usr\\bin\\pdftotext", L"-layout " + UnixPath(pdf) + L" " + UnixPath(text))) return {};
  if (!WaitForSettledFile(text, 20000)) return {};
  const std::string read = ReadBytes(text);
  // The printer driver names the hyphen glyph "hyphen", which pdftotext
  // reads back as a soft hyphen (UTF-8 C2 AD); pages end with a form feed.
  DeleteFileW(text.c_str());
  std::vector<std::string> pages(1);
  for (size_t i = 0; i < read.size(); ++i) {
    if (read.compare(i, 2, "\xC2\xAD") == 0) {
      pages.back() += '-';
      ++i;
    } else if (read[i] == '\f') {
      pages.emplace_back();
    } else {
      pages.back() += read[i];
    }
  }
  if (pages.back().find_first_not_of(" \r\n") == std::string::npos) pages.pop_back();
  return pages;
}
