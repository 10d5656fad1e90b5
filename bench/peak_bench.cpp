// Peak working set of Kestrelwood.exe itself, each time in a fresh process:
// started and idle, with Compare profiles opened through its menu, and with
// two profiles compared and listed there; the minimal window program
// started and idle is the floor.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "resources/resource.h"

struct ProcessWindow {
  DWORD processId;
  const wchar_t* className;  // null: any
  HWND found;
};

static BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ProcessWindow*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  if (search->className && std::wstring(name) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

static HWND WaitForWindow(DWORD processId, const wchar_t* className) {
  for (int tries = 0; tries < 500; ++tries) {
    ProcessWindow search = {processId, className, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(10);
  }
  return nullptr;
}

static double PeakMegabytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return -1;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

enum class PeakStep { Idle, CompareOpen, Compared };

// The peak once the program got to the step; negative when something did
// not answer.
static double PeakAt(const std::wstring& program, PeakStep step, const ProfileFiles& files) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = L"\"" + program + L"\"";
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  double peak = -1;
  HWND main =
      WaitForInputIdle(process.hProcess, StartTimeoutMs) == 0 ? WaitForWindow(process.dwProcessId, nullptr) : nullptr;
  if (main && step == PeakStep::Idle) peak = PeakMegabytes(process.hProcess);
  if (main && step != PeakStep::Idle) {
    PostMessageW(main, WM_COMMAND, IDM_COMPARE_PROFILES, 0);
    if (HWND compare = WaitForWindow(process.dwProcessId, L"#32770")) {
      if (step == PeakStep::Compared) {
        SetDlgItemTextW(compare, IDC_COMPARE_PATH1, files.first.c_str());
        SetDlgItemTextW(compare, IDC_COMPARE_PATH2, files.second.c_str());
        SendMessageW(compare, WM_COMMAND, MAKEWPARAM(IDC_LOAD_PROFILE, BN_CLICKED), 0);
      }
      UpdateWindow(compare);
      peak = PeakMegabytes(process.hProcess);
      SendMessageW(compare, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_VIEW, BN_CLICKED), 0);
    }
  }
  if (main) PostMessageW(main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return peak;
}

void BenchPeakWorkingSet(const ProfileFiles& files) {
  const std::wstring kestrelwood = Bench.programFolder + L"\\Kestrelwood.exe";
  const double minimal = PeakAt(Bench.programFolder + L"\\kestrelwood_minimal_window.exe", PeakStep::Idle, files);
  const double idle = PeakAt(kestrelwood, PeakStep::Idle, files);
  const double open = PeakAt(kestrelwood, PeakStep::CompareOpen, files);
  const double compared = PeakAt(kestrelwood, PeakStep::Compared, files);
  if (minimal < 0 || idle < 0 || open < 0 || compared < 0) {
    Note("Peak working set: a program did not answer, or the system gave no memory counters");
    return;
  }
  char line[400];
  std::snprintf(line, sizeof(line),
                "Peak working set of Kestrelwood.exe: %.1f MB with two %zu-entry profiles compared and listed "
                "(target < 40 MB: %s); %.1f MB with Compare profiles open and empty; %.1f MB started and idle; "
                "minimal window program started and idle (floor): %.1f MB",
                compared, files.entries, compared < 40 ? "met" : "MISSED", open, idle, minimal);
  Note(line);
}
