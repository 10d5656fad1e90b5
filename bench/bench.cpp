// Kestrelwood's benchmark: times the program's work on generated profiles of
// realistic size. Each measurement is one row of the table below.
#include "bench/bench.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <fstream>

#include "app/main_window.h"
#include "tools/profile_generator.h"

static const BenchMeasurement Measurements[] = {
    {"Profile reader", BenchProfileReader},
    {"Show profile", BenchShowProfile},
    {"Compare profiles", BenchCompareProfiles},
    {"Save params", BenchSaveParams},
};

std::vector<double> TimeRuns(int runs, std::initializer_list<std::function<void()>> functions) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (const auto& run : functions) run();
  const int batches = 8, perBatch = runs / batches > 0 ? runs / batches : 1;
  std::vector<double> best(functions.size(), 0.0);
  for (int batch = 0; batch < batches; ++batch) {
    size_t index = 0;
    for (const auto& run : functions) {
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      for (int i = 0; i < perBatch; ++i) run();
      QueryPerformanceCounter(&end);
      const double milliseconds = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                  static_cast<double>(frequency.QuadPart) / perBatch;
      if (batch == 0 || milliseconds < best[index]) best[index] = milliseconds;
      ++index;
    }
  }
  return best;
}

void PrintTime(const char* name, double milliseconds) { std::printf("  %-44s %9.3f ms\n", name, milliseconds); }

void PrintRatio(const char* name, double ratio, double target) {
  std::printf("  %-44s %9.2f   (target <= %.2f: %s)\n", name, ratio, target, ratio <= target ? "met" : "MISSED");
}

static std::wstring WriteTempFile(const wchar_t* name, const std::string& text) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + name;
  std::ofstream(path.c_str(), std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Instance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"Riched20.dll");
  BenchFiles files;
  const std::string profile = MakeProfileText(ProfileShape{});
  files.profile = WriteTempFile(L"kestrelwood_bench_1.xml", profile);
  files.secondProfile = WriteTempFile(L"kestrelwood_bench_2.xml", MakeProfileText(ProfileShape{6000, 2}));
  std::printf("Generated profile: %zu bytes, 6000 entries\n", profile.size());
  for (const BenchMeasurement& measurement : Measurements) {
    std::printf("%s\n", measurement.title);
    measurement.run(files);
  }
  DeleteFileW(files.profile.c_str());
  DeleteFileW(files.secondProfile.c_str());
  CoUninitialize();
  return 0;
}
