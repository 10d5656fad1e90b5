// The benchmark's shared helpers: the median timer, the results of one run
// and the generated profile files every measurement works on.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Two generated profiles of one size: same keys, other values.
struct ProfileFiles {
  size_t entries = 0;
  std::wstring first;
  std::wstring second;
};

// How often each action runs; the machine is shared, so medians of
// interleaved runs are what the table shows.
struct BenchSettings {
  int repeats = 11;  // at the 6,000-entry size; more at 1,000, fewer at 50,000
  std::wstring programFolder;  // where Kestrelwood.exe and the bench programs are
};
extern BenchSettings Bench;

// How long a started program may take to get idle: the 32-bit build runs
// emulated, many times slower.
constexpr DWORD StartTimeoutMs = sizeof(void*) == 8 ? 10000 : 120000;

// Median milliseconds per run of each function: one warm-up run each, then
// `repeats` rounds in which every function runs once in turn, so that the
// load of other programs falls on all of them alike.
std::vector<double> MedianRuns(int repeats, std::initializer_list<std::function<void()>> functions);
// The same with `untimed` run before every timed run (clearing up after the
// last one, say).
std::vector<double> MedianRuns(int repeats, const std::function<void()>& untimed,
                               std::initializer_list<std::function<void()>> functions);

double MedianOf(std::vector<double> values);
double ElapsedMilliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end);

// Repeats for a profile size: enough for a stable median, few at 50,000.
int RepeatsFor(size_t entries);

// Results of this run: the median of an action at a profile size (0 for
// actions that do not depend on the profile size).
void Record(size_t entries, const std::string& action, double milliseconds);
double Recorded(size_t entries, const std::string& action);  // negative: not measured
void Note(const std::string& line);  // printed under the table

// Measurements over one profile size; each records its actions.
void BenchProfileReader(const ProfileFiles& files);
void BenchShowProfile(const ProfileFiles& files);
void BenchCompareProfiles(const ProfileFiles& files);
void BenchSettingsFill(const ProfileFiles& files);

// Measurements that do not depend on the profile size.
void BenchStartup();
void BenchSettingsPictures(const ProfileFiles& files);
void BenchSaveParams();
void BenchPeakWorkingSet(const ProfileFiles& files);

// Messages boxes answered at once, so nothing waits for a click.
void SilenceMessageBoxes();

// The list view floor: the same rows straight into a bare report list view,
// redraw off, count set ahead, as the dialogs fill theirs.
HWND MakeBareList(int columns);
void FillBareList(HWND list, int rows, int columns, const std::vector<std::wstring>& cells);
