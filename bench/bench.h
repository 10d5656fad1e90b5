// The benchmark's shared helpers: a timer and the generated profile files
// every measurement works on.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

struct BenchFiles {
  std::wstring profile;        // about 150 KB, 6,000 entries, one line
  std::wstring secondProfile;  // same keys, other values
};

// Milliseconds per run of each function: after one warm-up run each, the
// functions take turns in batches, and each gets its best batch average.
// Taking turns lets the load of other programs fall on all of them alike.
std::vector<double> TimeRuns(int runs, std::initializer_list<std::function<void()>> functions);

// "name: 12.345 ms"
void PrintTime(const char* name, double milliseconds);
void PrintRatio(const char* name, double ratio, double target);

// One measurement; each prints its own lines.
struct BenchMeasurement {
  const char* title;
  void (*run)(const BenchFiles& files);
};

void BenchProfileReader(const BenchFiles& files);
void BenchShowProfile(const BenchFiles& files);
void BenchCompareProfiles(const BenchFiles& files);
void BenchSaveParams(const BenchFiles& files);
