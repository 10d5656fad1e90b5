// Start-up until the main window is idle: Kestrelwood.exe against the
// minimal window program, both started the same way and closed through
// their window.
#include <windows.h>

#include <string>
#include <vector>

#include "bench/bench.h"

static BOOL CALLBACK CloseWindowOf(HWND window, LPARAM processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId)) PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

// Milliseconds from CreateProcess until the program waits for input, then
// closed; negative when it did not start or did not get idle.
static double StartUntilIdle(const std::wstring& program) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  const bool idle = WaitForInputIdle(process.hProcess, StartTimeoutMs) == 0;
  QueryPerformanceCounter(&end);
  EnumWindows(CloseWindowOf, static_cast<LPARAM>(process.dwProcessId));
  if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return idle ? ElapsedMilliseconds(start, end) : -1;
}

void BenchStartup() {
  const std::wstring programs[] = {Bench.programFolder + L"\\kestrelwood_minimal_window.exe",
                                   Bench.programFolder + L"\\Kestrelwood.exe"};
  std::vector<double> times[2];
  for (int round = 0; round <= Bench.repeats; ++round) {
    for (int i = 0; i < 2; ++i) {
      const double ms = StartUntilIdle(programs[i]);
      if (ms < 0) {
        Note("a program did not start or did not get idle: no start-up times");
        return;
      }
      if (round > 0) times[i].push_back(ms);  // the first round warms the file cache
    }
  }
  Record(0, "minimal window program: start until idle", MedianOf(times[0]));
  Record(0, "Kestrelwood.exe: start until idle", MedianOf(times[1]));
}
