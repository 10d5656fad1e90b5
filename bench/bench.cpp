// Kestrelwood's benchmark suite: every measurement in one run, each action
// beside its floor measured in the same run, then the scaling of the
// profile actions from 1,000 to 50,000 entries.
//
//   kestrelwood_bench [--repeats N] [--quick] [--only PART]
//
// --quick measures 1,000 and 6,000 entries only (no 50,000); --only runs
// one part: startup, peak, settings, save, profiles or reader (the profile
// reader alone, at every size).
#include "bench/bench.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <map>
#include <utility>

#include "app/main_window.h"
#include "app/message_box.h"
#include "tools/profile_generator.h"

BenchSettings Bench;

static std::map<std::pair<size_t, std::string>, double> Results;
static std::vector<std::string> Notes;

double ElapsedMilliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    return value;
  }();
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double MedianOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::vector<double> MedianRuns(int repeats, const std::function<void()>& untimed,
                               std::initializer_list<std::function<void()>> functions) {
  for (const auto& run : functions) {
    untimed();
    run();
  }
  std::vector<std::vector<double>> times(functions.size());
  for (int round = 0; round < repeats; ++round) {
    size_t index = 0;
    for (const auto& run : functions) {
      untimed();
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      run();
      QueryPerformanceCounter(&end);
      times[index++].push_back(ElapsedMilliseconds(start, end));
    }
  }
  std::vector<double> medians;
  for (const auto& runs : times) medians.push_back(MedianOf(runs));
  return medians;
}

std::vector<double> MedianRuns(int repeats, std::initializer_list<std::function<void()>> functions) {
  return MedianRuns(repeats, [] {}, functions);
}

int RepeatsFor(size_t entries) {
  if (entries >= 20000) return std::max(3, Bench.repeats / 2);
  if (entries <= 2000) return Bench.repeats * 2;
  return Bench.repeats;
}

void Record(size_t entries, const std::string& action, double milliseconds) {
  Results[{entries, action}] = milliseconds;
  std::printf("  %6zu  %-52s %10.3f ms\n", entries, action.c_str(), milliseconds);
  std::fflush(stdout);
}

double Recorded(size_t entries, const std::string& action) {
  const auto found = Results.find({entries, action});
  return found == Results.end() ? -1 : found->second;
}

void Note(const std::string& line) {
  Notes.push_back(line);
  std::printf("  %s\n", line.c_str());
  std::fflush(stdout);
}

static int SilentMessageBox(HWND, const wchar_t*, const wchar_t*, UINT) { return IDOK; }

void SilenceMessageBoxes() { SetMessageBoxFunction(SilentMessageBox); }

// ---------------------------------------------------------------- the table

inline constexpr size_t TableSize = 6000;

// One row: an action, the floor it is held against, and its targets. The
// program's own time is the action less the named part (0 ms: none).
struct TableRow {
  const char* action;
  const char* floor;     // null: shown for information
  double ratioTarget;    // 0: none
  const char* minus;     // null: the own time is the whole action
  double ownTarget;      // ms; 0: none
};

static const TableRow Table[] = {
    {"Kestrelwood.exe: start until idle", "minimal window program: start until idle", 1.5, nullptr, 0},
    {"ReadProfile", "bare XmlLite Read loop", 1.5, nullptr, 0},
    {"bare XmlLite Read loop, file in memory", nullptr, 0, nullptr, 0},
    {"Show profile: load, list and paint", "ReadProfile", 0, "ReadProfile", 100},
    {"Show profile: one search", "ReadProfile", 0, nullptr, 100},
    {"Compare: load, pair, list and paint", "two ReadProfile", 0, "two ReadProfile", 100},
    {"list view copying the texts, 3 columns", nullptr, 0, nullptr, 0},
    {"list view copying the texts, 4 columns", nullptr, 0, nullptr, 0},
    {"pairing of the two lists", nullptr, 0, nullptr, 0},
    {"Show settings: fill the table", "ReadProfile", 0, nullptr, 0},
    {"Show settings: draw 20 dialogs into a metafile", "GDI replay of the same metafile", 0, nullptr, 0},
    {"print file: write", "WriteFile of the same bytes", 0, nullptr, 0},
    {"print file: read", "ReadFile of the same bytes", 0, nullptr, 0},
    {"Save params: every set", "CopyFileW loop over the same files", 1.5, nullptr, 0},
    {"Save params over the last backup", "Save params over the last backup, no flush", 0, nullptr, 0},
    {"Restore params over the Mach3 folder", "Restore params over the Mach3 folder, no flush", 0, nullptr, 0},
};

static double TableValue(const char* action) {
  const double sized = Recorded(TableSize, action);
  return sized >= 0 ? sized : Recorded(0, action);
}

static const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

static void PrintTable() {
  std::printf("\n| Action (6,000 entries) | Median ms | Floor | Floor ms | Ratio | Own ms | Target |\n");
  std::printf("|---|---:|---|---:|---:|---:|---|\n");
  for (const TableRow& row : Table) {
    const double ms = TableValue(row.action);
    if (ms < 0) continue;
    std::printf("| %s | %.1f |", row.action, ms);
    const double floor = row.floor ? TableValue(row.floor) : -1;
    if (floor > 0) {
      std::printf(" %s | %.1f | %.2f |", row.floor, floor, ms / floor);
    } else {
      std::printf(" | | |");
    }
    const double own = row.minus ? ms - TableValue(row.minus) : ms;
    if (row.ownTarget > 0) {
      std::printf(" %.1f |", own);
    } else {
      std::printf(" |");
    }
    if (row.ratioTarget > 0 && floor > 0) {
      std::printf(" ratio <= %.1f: %s |\n", row.ratioTarget, Verdict(ms / floor <= row.ratioTarget));
    } else if (row.ownTarget > 0) {
      std::printf(" own < %.0f ms: %s |\n", row.ownTarget, Verdict(own < row.ownTarget));
    } else {
      std::printf(" |\n");
    }
  }
}

static const char* const ScaledActions[] = {
    "bare XmlLite Read loop",       "bare XmlLite Read loop, file in memory", "ReadProfile",
    "Show profile: load, list and paint",  "list view copying the texts, 3 columns",
    "Show profile: one search",     "Compare: load, pair, list and paint",
    "list view copying the texts, 4 columns", "pairing of the two lists",
    "Show settings: fill the table",
    // Show profile step by step (bench/show_profile_bench.cpp)
    "phase: ReadProfile", "phase: store the path", "phase: segments and rows",
    "phase: fill the list", "phase: first paint", "phase: match",
    "phase: match and scroll to the first hit", "phase: match, scroll and paint the hits",
    // ReadProfile step by step (bench/profile_reader_bench.cpp)
    "reader: the file's bytes", "reader: and prepared", "reader: and markup checked", "reader: and parsed",
    "reader: and names and values taken", "reader: ReadProfile",
};

static void PrintScaling(const std::vector<size_t>& sizes) {
  std::printf("\n| Action |");
  for (size_t size : sizes) std::printf(" ms at %zu | us/entry |", size);
  std::printf(" Growth per entry, %zu to %zu |\n|---|", sizes[sizes.size() - 2], sizes.back());
  for (size_t i = 0; i < sizes.size(); ++i) std::printf("---:|---:|");
  std::printf("---|\n");
  for (const char* action : ScaledActions) {
    if (Recorded(sizes.back(), action) < 0) continue;
    std::printf("| %s |", action);
    for (size_t size : sizes) {
      const double ms = Recorded(size, action);
      std::printf(" %.1f | %.2f |", ms, 1000.0 * ms / static_cast<double>(size));
    }
    const size_t from = sizes[sizes.size() - 2], to = sizes.back();
    const double growth = (Recorded(to, action) / static_cast<double>(to)) /
                          (Recorded(from, action) / static_cast<double>(from));
    std::printf(" %.2f (<= 1.5: %s) |\n", growth, Verdict(growth <= 1.5));
  }
}

// ---------------------------------------------------------------- main

static std::wstring WriteTempFile(const std::wstring& name, const std::string& text) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + name;
  std::ofstream(path.c_str(), std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

static ProfileFiles MakeProfiles(size_t entries) {
  ProfileFiles files;
  files.entries = entries;
  const std::wstring size = std::to_wstring(entries);
  files.first = WriteTempFile(L"kestrelwood_bench_" + size + L"_1.xml", MakeProfileText(ProfileShape{entries, 1}));
  files.second = WriteTempFile(L"kestrelwood_bench_" + size + L"_2.xml", MakeProfileText(ProfileShape{entries, 2}));
  return files;
}

static std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.rfind(L'\\'));
}

static void StartWindowing() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Instance = GetModuleHandleW(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  LoadLibraryW(L"Riched20.dll");
  SilenceMessageBoxes();
}

static void Heading(const char* title) {
  std::printf("%s\n", title);
  std::fflush(stdout);
}

int wmain(int argc, wchar_t** argv) {
  bool quick = false;
  std::wstring only;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--repeats") == 0 && i + 1 < argc) Bench.repeats = std::max(3, _wtoi(argv[++i]));
    if (std::wcscmp(argv[i], L"--quick") == 0) quick = true;
    if (std::wcscmp(argv[i], L"--only") == 0 && i + 1 < argc) only = argv[++i];
  }
  StartWindowing();
  Bench.programFolder = ProgramFolder();
  std::printf("Kestrelwood benchmark: medians of %d interleaved runs at 6,000 entries\n", Bench.repeats);

  std::vector<size_t> sizes = {1000, 6000, 50000};
  if (quick) sizes.pop_back();
  const ProfileFiles table = MakeProfiles(TableSize);
  const auto part = [&only](const wchar_t* name, const char* title) {
    if (!only.empty() && only != name) return false;
    Heading(title);
    return true;
  };
  if (part(L"startup", "Start-up")) BenchStartup();
  if (part(L"peak", "Peak working set")) BenchPeakWorkingSet(table);
  if (part(L"settings", "Settings pictures and print file")) BenchSettingsPictures(table);
  if (part(L"save", "Save params")) BenchSaveParams();
  const bool readerOnly = only == L"reader";
  if (readerOnly || part(L"profiles", "Profile actions")) {
    for (size_t size : sizes) {
      const ProfileFiles files = size == TableSize ? table : MakeProfiles(size);
      BenchProfileReader(files);
      if (readerOnly) continue;
      BenchShowProfile(files);
      BenchCompareProfiles(files);
      BenchSettingsFill(files);
      if (size != TableSize) {
        DeleteFileW(files.first.c_str());
        DeleteFileW(files.second.c_str());
      }
    }
  }
  DeleteFileW(table.first.c_str());
  DeleteFileW(table.second.c_str());

  PrintTable();
  if (Recorded(TableSize, "ReadProfile") >= 0) PrintScaling(sizes);
  if (!Notes.empty()) std::printf("\n");
  for (const std::string& line : Notes) std::printf("%s\n", line.c_str());
  CoUninitialize();
  return 0;
}
