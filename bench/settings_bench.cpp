// Show settings: filling the dialog table from a profile (against reading
// it), drawing all twenty dialogs into a metafile (against GDI replaying
// the same records), and the print file written and read (against writing
// and reading the same bytes).
#include <windows.h>

#include <string>
#include <vector>

#include "app/file_helpers.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "bench/bench.h"
#include "profile/profile_reader.h"
#include "settings_view/portable/dialog_table.h"
#include "settings_view/portable/settings_values.h"
#include "settings_view/print_file_io.h"
#include "settings_view/renderer.h"
#include "settings_view/settings_load.h"

static void FillSettingsTable() {
  LoadSettingsValues();
  GatherPlugins();
  PrepareLayout(false);
}

void BenchSettingsFill(const ProfileFiles& files) {
  CopyText(Settings.filenameProfile1, PathCapacity, files.first.c_str());
  const std::vector<double> times =
      MedianRuns(RepeatsFor(files.entries),
                 {[&] { ReadProfile(FirstProfileSlot, files.first.c_str()); }, FillSettingsTable});
  Record(files.entries, "Show settings: fill the table", times[1]);
  ReleaseAllProfiles();
}

static HENHMETAFILE DrawAllDialogs() {
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  DrawSelectedDialogs(DrawingTarget{dc, [] {}});
  return CloseEnhMetaFile(dc);
}

static void ReplayInto(HENHMETAFILE pictures) {
  ENHMETAHEADER header = {};
  GetEnhMetaFileHeader(pictures, sizeof(header), &header);
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  const RECT bounds = {header.rclBounds.left, header.rclBounds.top, header.rclBounds.right, header.rclBounds.bottom};
  PlayEnhMetaFile(dc, pictures, &bounds);
  DeleteEnhMetaFile(CloseEnhMetaFile(dc));
}

static std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

static size_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  return data.nFileSizeLow;
}

static HANDLE Open(const std::wstring& path, DWORD access, DWORD disposition) {
  return CreateFileW(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

static void WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes) {
  HANDLE file = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

static void ReadBytes(const std::wstring& path, std::vector<BYTE>& bytes) {
  HANDLE file = Open(path, GENERIC_READ, OPEN_EXISTING);
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
}

void BenchSettingsPictures(const ProfileFiles& files) {
  const int repeats = RepeatsFor(files.entries);
  CopyText(Settings.filenameProfile1, PathCapacity, files.first.c_str());
  FillSettingsTable();
  CreateRenderObjects();
  Render.mask = (1u << SettingsDialogCount) - 1;
  Render.printing = 0;
  Render.validOnly = 0;
  HENHMETAFILE pictures = DrawAllDialogs();
  Note("metafile of the twenty dialogs: " + std::to_string(GetEnhMetaFileBits(pictures, 0, nullptr)) + " bytes");
  const std::vector<double> drawing =
      MedianRuns(repeats, {[&] { ReplayInto(pictures); }, [] { DeleteEnhMetaFile(DrawAllDialogs()); }});
  DeleteEnhMetaFile(pictures);
  Record(0, "GDI replay of the same metafile", drawing[0]);
  Record(0, "Show settings: draw 20 dialogs into a metafile", drawing[1]);

  const std::wstring printFile = TempPath(L"kestrelwood_bench_print.kwp");
  const std::wstring plainFile = TempPath(L"kestrelwood_bench_plain.bin");
  const auto writePrintFile = [&] {
    DeleteFileW(printFile.c_str());
    WritePrintFile(printFile);
  };
  writePrintFile();
  std::vector<BYTE> bytes;
  ReadBytes(printFile, bytes);
  Note("print file: " + std::to_string(FileSize(printFile)) + " bytes");
  std::vector<BYTE> readBack;
  const std::vector<double> times = MedianRuns(
      repeats, {[&] { WriteBytes(plainFile, bytes); }, writePrintFile, [&] { ReadBytes(plainFile, readBack); },
                [&] { ReadPrintFile(Open(printFile, GENERIC_READ, OPEN_EXISTING)); }});
  Record(0, "WriteFile of the same bytes", times[0]);
  Record(0, "print file: write", times[1]);
  Record(0, "ReadFile of the same bytes", times[2]);
  Record(0, "print file: read", times[3]);
  DeleteFileW(printFile.c_str());
  DeleteFileW(plainFile.c_str());
  ReleaseAllProfiles();
}
