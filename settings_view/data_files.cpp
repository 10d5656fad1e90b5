// Mach3's data files beside the profile: opened read-only, shared with
// Mach3, read whole and handed to the byte readers.
#include "settings_view/data_files.h"

#include <windows.h>

#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "settings_view/portable/settings_values.h"

// Far beyond any Mach3 table; a larger file is not one.
static constexpr LONGLONG MaxDataFileBytes = 16 * 1024 * 1024;

static void ReportFileError(DWORD code, const std::wstring& caption) {
  ShowMessageBox(nullptr, SystemErrorText(code).c_str(), caption.c_str(), MB_TASKMODAL | MB_ICONINFORMATION);
}

DataFileRead ReadDataFile(const std::wstring& path, std::vector<unsigned char>& bytes) {
  bytes.clear();
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return DataFileRead::Missing;
    ShowOpenFailure(path.c_str(), code);
    return DataFileRead::Failed;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    ReportFileError(GetLastError(), L"GetFileSize");
    return DataFileRead::Failed;
  }
  const LONGLONG wanted = size.QuadPart < MaxDataFileBytes ? size.QuadPart : MaxDataFileBytes;
  bytes.resize(static_cast<size_t>(wanted));
  size_t filled = 0;
  while (filled < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled), &read, nullptr)) {
      ReportFileError(GetLastError(), L"ReadFile");
      bytes.clear();
      return DataFileRead::Failed;
    }
    if (read == 0) break;  // the file shrank while we read it
    filled += read;
  }
  bytes.resize(filled);
  return DataFileRead::Read;
}

std::wstring DecodeAnsi(std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(length > 0 ? length : 0, L'\0');
  if (length > 0) {
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
  }
  return text;
}

std::wstring MacroFilePath(const wchar_t* fileName) {
  return FormatText(L"%s\\macros\\%s\\%s", MachDir.c_str(), ProfileName.c_str(), fileName);
}

void LoadFixtureFile() {
  MarkFixturesEmpty();
  std::vector<unsigned char> bytes;
  if (ReadDataFile(MacroFilePath(L"fixtures.dat"), bytes) != DataFileRead::Read) return;
  ReadFixtureBytes(bytes.data(), bytes.size(), DecodeAnsi);
}

void LoadToolFile() {
  MarkToolsInvalid();
  std::vector<unsigned char> bytes;
  if (ReadDataFile(MacroFilePath(L"tools3.dat"), bytes) != DataFileRead::Read) return;
  ReadToolBytes(bytes.data(), bytes.size(), DecodeAnsi);
}
