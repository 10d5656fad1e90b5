// Takes the guide's pictures: starts Kestrelwood, opens every window of it
// through its menu, as a user would, and saves each one as a bitmap.
//
//   guide_shots <Kestrelwood.exe> <output folder> <language 0|1|2> <Mach3 folder> [row]
//
// It starts the program as on a first start, with the language given and
// the sample profiles of the Mach3 folder already chosen.
//
// A menu command whose window the program does not have yet opens nothing;
// its pictures are reported as missing and the run goes on, so that adding
// them later is a re-run. Exit code: 0 all taken, 1 some missing, 2 failed.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/pins/portable/resource_list_sample.h"

namespace {

enum class Do {
  Open,       // a command of the main window; the row stops if no window opens
  Click,      // a button of the topmost window, posted; may open another
  Command,    // a WM_COMMAND (menu item) posted to the topmost window
  Type,       // text into a control of the topmost window
  Expect,     // waits for a new topmost window; the row stops without one
  Page,       // property sheet page by index
  Shot,       // saves the topmost window
  MenuShot,   // opens a top-level menu of the main window and saves it
  Close,      // Esc on the topmost dialog; it must go away
  CloseWindow,  // WM_CLOSE, for a window that is not a dialog
  Setting,    // "name=value": a text setting, as if chosen with a browse button
  Append,     // "path=text": text added to a file, as a user editing it would
  Age,        // a file's last change put back by `value` days
};

struct Step {
  Do action;
  int value;
  const wchar_t* text;
};

struct Row {
  const char* name;
  std::vector<Step> steps;
};

// Controls of windows whose ids are fixed by the program but not yet in
// its resource header.
constexpr int RemovePluginClose = 1006;
constexpr int RemovePluginProfile = 1002;
constexpr int RemovePluginLoad = 1010;

const std::vector<Row>& ShotTable() {
  static const std::vector<Row> rows = {
      {"start-page", {{Do::Shot, 0, L"start-page"}}},
      {"menu", {{Do::MenuShot, 1, nullptr}}},
      {"about", {{Do::Open, IDM_ABOUT, nullptr}, {Do::Shot, 0, L"about"}, {Do::Close, 0, nullptr}}},
      {"language",
       {{Do::Open, IDM_LANGUAGE, nullptr}, {Do::Shot, 0, L"language"}, {Do::Close, 0, nullptr}}},
      {"show-profile",
       {{Do::Open, IDM_SHOW_PROFILE, nullptr},
        {Do::Click, IDC_LOAD_PROFILE, nullptr},
        {Do::Type, IDC_SEARCH_TEXT, L"Motor*Step*"},
        {Do::Click, IDC_SEARCH_START, nullptr},
        {Do::Shot, 0, L"show-profile"},
        {Do::Click, IDC_SET_FILTER, nullptr},
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"segment-filter"},
        {Do::Close, 0, nullptr},
        {Do::Close, 0, nullptr}}},
      {"compare",
       {{Do::Open, IDM_COMPARE_PROFILES, nullptr},
        {Do::Click, IDC_LOAD_PROFILE, nullptr},
        {Do::Click, IDC_COMPARE_NEXT_DIFFERENCE, nullptr},
        {Do::Shot, 0, L"compare"},
        {Do::Click, IDC_COMPARE_COPY_TO2, nullptr},  // the confirmation; Esc cancels it
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"compare-copy"},
        {Do::Close, 0, nullptr},
        {Do::Command, IDM_COMPARE_EXPORT, nullptr},
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"compare-export"},
        {Do::Close, 0, nullptr},
        {Do::Command, IDM_COMPARE_COLOURS, nullptr},
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"colours"},
        {Do::Close, 0, nullptr},
        {Do::Close, 0, nullptr}}},
      {"check-ports",
       {{Do::Open, IDM_CHECK_PORTS, nullptr},
        {Do::Shot, 0, L"warning-64bit"},
        {Do::Close, 0, nullptr},
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"check-ports"},
        {Do::Click, IDC_CHECK_PORTS_CHECK, nullptr},
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"pin-report"},
        {Do::Close, 0, nullptr},
        {Do::Close, 0, nullptr}}},
      // The mill has the richer pages: two ports, inputs on port 2, an MPG.
      {"show-params",
       {{Do::Setting, 0, L"Filename check ports and pins2={mach}\\Mach3Mill.xml"},
        {Do::Open, IDM_SHOW_PARAMS, nullptr},
        {Do::Shot, 0, L"params-motors"},
        {Do::Page, 1, nullptr},
        {Do::Shot, 0, L"params-used"},
        {Do::Page, 2, nullptr},
        {Do::Shot, 0, L"params-inputs"},
        {Do::Page, 3, nullptr},
        {Do::Shot, 0, L"params-outputs"},
        {Do::Page, 4, nullptr},
        {Do::Shot, 0, L"params-encoders"},
        {Do::Close, 0, nullptr}}},
      {"show-settings",
       {{Do::Open, IDM_SHOW_SETTINGS, nullptr},
        {Do::Click, IDC_SETTINGS_SET_ALL, nullptr},
        {Do::Shot, 0, L"show-settings"},
        {Do::Click, IDC_SETTINGS_SHOW, nullptr},
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"output-window"},
        {Do::CloseWindow, 0, nullptr},
        {Do::Close, 0, nullptr}}},
      // Saving twice into the same backup folder brings up the question
      // about a file that is already there: the first one asked about, a
      // brain, was changed since the first save, which is days old.
      {"save",
       {{Do::Open, IDM_SAVE_PARAMS, nullptr},
        {Do::Click, IDC_SELECT_ALL, nullptr},
        {Do::Shot, 0, L"save"},
        {Do::Click, IDC_SAVE, nullptr},
        {Do::Shot, 0, L"save-done"},
        {Do::Age, 3, L"{mach} Backup\\Brains\\SpindleInterlock.brn"},
        {Do::Append, 0, L"{mach}\\Brains\\SpindleInterlock.brn=Input OEMTrig3 -> AND Spindle -> OEMCode 1002\r\n"},
        {Do::Click, IDC_SAVE, nullptr},
        {Do::Expect, 0, nullptr},
        {Do::Shot, 0, L"conflict"},
        {Do::Close, 0, nullptr},
        {Do::Close, 0, nullptr}}},
      {"restore",
       {{Do::Open, IDM_RESTORE_PARAMS, nullptr},
        {Do::Click, IDC_SELECT_ALL, nullptr},
        {Do::Shot, 0, L"restore"},
        {Do::Close, 0, nullptr}}},
      // The menu item is disabled as shipped; the command still opens it.
      {"remove-plugin",
       {{Do::Open, IDM_REMOVE_PLUGIN, nullptr},
        {Do::Shot, 0, L"remove-plugin-warning"},
        {Do::Click, RemovePluginClose, nullptr},
        {Do::Type, RemovePluginProfile, L"{mach}\\Mach3Mill.xml"},
        {Do::Click, RemovePluginLoad, nullptr},
        {Do::Shot, 0, L"remove-plugin"},
        {Do::Close, 0, nullptr}}},
  };
  return rows;
}

DWORD ProgramThread = 0;
HWND ProgramMain = nullptr;
std::wstring OutputFolder;
std::wstring MachFolder;
int Missing = 0;
FILE* LogFile = nullptr;

// Every line goes to the console and to shots.log in the output folder:
// under Wine's virtual desktop the console may be out of reach.
void Log(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  vfwprintf(stdout, format, args);
  va_end(args);
  if (LogFile) {
    va_start(args, format);
    vfwprintf(LogFile, format, args);
    va_end(args);
    fflush(LogFile);
  }
}

// The program's visible top-level windows, topmost first.
std::vector<HWND> ProgramWindows() {
  std::vector<HWND> windows;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetWindowThreadProcessId(w, nullptr) == ProgramThread && IsWindowVisible(w)) windows.push_back(w);
  }
  return windows;
}

// The window a user would be looking at: the enabled one on top. A modal
// window disables its owner, so there is only one.
HWND TopWindow() {
  for (HWND w : ProgramWindows()) {
    if (IsWindowEnabled(w)) return w;
  }
  return nullptr;
}

// Every wait and pause is this many times longer (KW_SLOW, for a program
// that runs emulated).
DWORD Slowness = 1;

void Settle(DWORD ms = 500) { Sleep(ms * Slowness); }

// Waits for a topmost window other than `before`.
HWND WaitForNewTop(HWND before, DWORD timeoutMs) {
  timeoutMs *= Slowness;
  for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
    HWND top = TopWindow();
    if (top && top != before && top != ProgramMain) {
      Settle();
      return TopWindow();
    }
    Sleep(50);
  }
  return nullptr;
}

bool WaitGone(HWND window, DWORD timeoutMs) {
  timeoutMs *= Slowness;
  for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    Sleep(50);
  }
  return false;
}

bool SaveBitmap(const std::wstring& path, HBITMAP bitmap, int width, int height) {
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  const DWORD stride = ((width * 3) + 3) & ~3u;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* out = _wfopen(path.c_str(), L"wb");
  if (!out) return false;
  bool written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
                 fwrite(pixels.data(), pixels.size(), 1, out) == 1;
  return fclose(out) == 0 && written;
}

// Copies a part of the screen: what the user sees, frame and all.
bool SaveScreenRect(const RECT& rect, const wchar_t* name) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  const bool saved = SaveBitmap(OutputFolder + L"\\" + name + L".bmp", bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (saved) Log(L"took %ls (%ld,%ld %dx%d)\n", name, rect.left, rect.top, width, height);
  return saved;
}

bool ShootTop(const wchar_t* name) {
  HWND top = TopWindow();
  if (!top) return false;
  SetForegroundWindow(top);
  // Only what is on the screen can be copied: a window hanging over its
  // edge is moved fully onto it first.
  RECT rect, screen;
  GetWindowRect(top, &rect);
  GetWindowRect(GetDesktopWindow(), &screen);
  const LONG left = std::max(screen.left, std::min(rect.left, screen.right - (rect.right - rect.left)));
  const LONG topEdge = std::max(screen.top, std::min(rect.top, screen.bottom - (rect.bottom - rect.top)));
  if (left != rect.left || topEdge != rect.top) SetWindowPos(top, nullptr, left, topEdge, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Settle(400);
  GetWindowRect(top, &rect);
  return SaveScreenRect(rect, name);
}

void PressKey(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void TapKey(WORD key) {
  PressKey(key, false);
  PressKey(key, true);
  Sleep(150);
}

// Opens the main window's menu number `index` with the keyboard, as a user
// without a mouse would, and saves the window with the menu hanging from it.
bool ShootMenu(int index) {
  SetForegroundWindow(ProgramMain);
  Settle(300);
  TapKey(VK_MENU);
  for (int i = 0; i < index; ++i) TapKey(VK_RIGHT);
  TapKey(VK_DOWN);
  Settle(400);
  RECT rect;
  GetWindowRect(ProgramMain, &rect);
  if (HWND popup = FindWindowW(L"#32768", nullptr)) {
    RECT menu;
    GetWindowRect(popup, &menu);
    UnionRect(&rect, &rect, &menu);
  }
  const bool saved = SaveScreenRect(rect, L"menu");
  TapKey(VK_ESCAPE);
  TapKey(VK_ESCAPE);
  Settle(300);
  return saved;
}

const wchar_t* const SettingsKey = L"Software\\Brannoc\\Kestrelwood";

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring WithMachFolder(const wchar_t* text) {
  std::wstring result = text;
  if (size_t at = result.find(L"{mach}"); at != std::wstring::npos) result.replace(at, 6, MachFolder);
  return result;
}

// Runs the steps of one row; stops it at the first window that does not
// open and counts the pictures it did not take.
void RunRow(const Row& row) {
  size_t step = 0;
  auto missRest = [&](const char* why) {
    for (; step < row.steps.size(); ++step) {
      if (row.steps[step].action == Do::Shot) {
        Log(L"missing %ls (%hs)\n", row.steps[step].text, why);
        ++Missing;
      }
    }
  };
  // The window on top before the last click, command or close: the one a
  // newly opened window must differ from.
  HWND before = nullptr;
  for (; step < row.steps.size(); ++step) {
    const Step& s = row.steps[step];
    HWND top = TopWindow();
    if (s.action == Do::Click || s.action == Do::Command || s.action == Do::Close || s.action == Do::CloseWindow)
      before = top;
    switch (s.action) {
      case Do::Open:
        PostMessageW(ProgramMain, WM_COMMAND, MAKEWPARAM(s.value, 0), 0);
        if (!WaitForNewTop(ProgramMain, 3000)) return missRest("the program has no such window yet");
        break;
      case Do::Click:
        PostMessageW(top, WM_COMMAND, MAKEWPARAM(s.value, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(top, s.value)));
        Settle(800);
        break;
      case Do::Command:
        PostMessageW(top, WM_COMMAND, MAKEWPARAM(s.value, 0), 0);
        Settle(300);
        break;
      case Do::Type:
        SendMessageW(GetDlgItem(top, s.value), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WithMachFolder(s.text).c_str()));
        break;
      case Do::Setting: {
        const std::wstring text = WithMachFolder(s.text);
        const size_t equals = text.find(L'=');
        HKEY key = nullptr;
        if (!RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, KEY_SET_VALUE, &key)) {
          SetText(key, text.substr(0, equals).c_str(), text.substr(equals + 1));
          RegCloseKey(key);
        }
        break;
      }
      case Do::Append: {
        const std::wstring text = WithMachFolder(s.text);
        const size_t equals = text.find(L'=');
        const std::string added(text.begin() + static_cast<std::ptrdiff_t>(equals) + 1, text.end());  // ASCII
        HANDLE file = CreateFileW(text.substr(0, equals).c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        DWORD written = 0;
        if (file == INVALID_HANDLE_VALUE || !WriteFile(file, added.data(), static_cast<DWORD>(added.size()), &written,
                                                       nullptr))
          Log(L"could not change %ls\n", text.substr(0, equals).c_str());
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        break;
      }
      case Do::Age: {
        const std::wstring path = WithMachFolder(s.text);
        HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME now = {};
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER then = {{now.dwLowDateTime, now.dwHighDateTime}};
        then.QuadPart -= static_cast<ULONGLONG>(s.value) * 24 * 3600 * 10000000ULL;
        const FILETIME time = {then.LowPart, then.HighPart};
        if (file == INVALID_HANDLE_VALUE || !SetFileTime(file, nullptr, nullptr, &time))
          Log(L"could not date back %ls\n", path.c_str());
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        break;
      }
      case Do::Expect:
        if (!WaitForNewTop(before, 5000)) return missRest("no window opened");
        break;
      case Do::Page:
        SendMessageW(top, PSM_SETCURSEL, s.value, 0);
        Settle(400);
        break;
      case Do::Shot:
        if (!ShootTop(s.text)) {
          Log(L"missing %ls (could not save it)\n", s.text);
          ++Missing;
        }
        break;
      case Do::MenuShot:
        if (!ShootMenu(s.value)) {
          Log(L"missing menu\n");
          ++Missing;
        }
        break;
      case Do::CloseWindow:
        PostMessageW(top, WM_CLOSE, 0, 0);
        WaitGone(top, 3000);
        Settle(300);
        break;
      case Do::Close:
        // Esc, as a user without a mouse would; a window that ignores it is
        // reported and closed the hard way.
        SetForegroundWindow(top);
        Settle(200);
        TapKey(VK_ESCAPE);
        if (!WaitGone(top, 2000)) {
          Log(L"window of %hs does not close on Esc\n", row.name);
          ++Missing;
          PostMessageW(top, WM_CLOSE, 0, 0);
          if (!WaitGone(top, 3000)) return;
        }
        Settle(300);
        break;
    }
  }
}

// The settings a user would have after choosing the sample files once.
bool PrepareSettings(DWORD language, const std::wstring& mach) {
  RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  RegSetValueExW(key, L"Language", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&language), sizeof language);
  SetText(key, L"Filename profile", mach + L"\\Mach3Mill.xml");
  SetText(key, L"Filename profile 1", mach + L"\\Mach3Mill.xml");
  SetText(key, L"Filename profile 2", mach + L"\\SmallRouter.xml");
  SetText(key, L"Filename check ports and pins2", mach + L"\\SmallRouter.xml");
  SetText(key, L"Save Mach install path", mach);
  SetText(key, L"Restore Mach install path", mach);
  SetText(key, L"Remove plugin Mach install path", mach);
  SetText(key, L"Save Parameter store path", mach + L" Backup");
  SetText(key, L"Restore Parameter store path", mach + L" Backup");
  RegCloseKey(key);
  return true;
}

// The parallel ports of the PC in the pictures, as Windows lists them: an
// on-board port at 0x378 (with its ECP range, IRQ and DMA) and a PCI Express
// card at 0xE010 (the router's), a multi-function device.
void PrepareParallelPorts() {
  using namespace resource_sample;
  struct Device {
    const wchar_t* path;
    const wchar_t* service;
    const wchar_t* friendlyName;
    const wchar_t* portName;
    std::vector<uint8_t> resources;
  };
  BOOL wow64 = FALSE;  // the descriptor width follows the Windows, not this program
  const size_t width = sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) ? 20 : 16;
  const Device ports[] = {
      {L"ACPI\\PNP0400\\0", L"Parport", L"ECP Printer Port (LPT1)", L"LPT1", PrinterPort(0x378, width)},
      {L"MF\\PCI#VEN_1C00&DEV_3050\\0", L"Parport", L"PCI Express Parallel Port (LPT3)", L"LPT3",
       ResourceList({{Interrupt, 17, 17}, {Port, 0xE010, 8}, {Port, 0xE000, 8}}, width, 5 /* PCI */)}};
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0400");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Enum\\MF");
  for (const Device& port : ports) {
    const std::wstring path = std::wstring(L"System\\CurrentControlSet\\Enum\\") + port.path;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
      continue;
    SetText(key, L"Service", port.service);
    SetText(key, L"Class", L"Ports");
    SetText(key, L"FriendlyName", port.friendlyName);
    RegCloseKey(key);
    if (!RegCreateKeyExW(HKEY_LOCAL_MACHINE, (path + L"\\Control").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                         &key, nullptr)) {
      RegSetValueExW(key, L"AllocConfig", 0, REG_RESOURCE_LIST, port.resources.data(),
                     static_cast<DWORD>(port.resources.size()));
      RegCloseKey(key);
    }
    if (!RegCreateKeyExW(HKEY_LOCAL_MACHINE, (path + L"\\Device Parameters").c_str(), 0, nullptr, 0,
                         KEY_ALL_ACCESS, nullptr, &key, nullptr)) {
      SetText(key, L"PortName", port.portName);
      RegCloseKey(key);
    }
  }
}

HWND WaitForMainWindow(DWORD processId) {
  for (DWORD i = 0; i < 200 * Slowness; ++i) {
    HWND main = FindWindowW(L"KESTRELWOOD", nullptr);
    DWORD owner = 0;
    if (main) GetWindowThreadProcessId(main, &owner);
    if (main && owner == processId && IsWindowVisible(main)) return main;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    fwprintf(stderr, L"usage: guide_shots <Kestrelwood.exe> <output folder> <language> <Mach3 folder> [row]\n");
    return 2;
  }
  SetProcessDPIAware();
  if (const wchar_t* slow = _wgetenv(L"KW_SLOW"); slow && _wtoi(slow) > 1) Slowness = static_cast<DWORD>(_wtoi(slow));
  OutputFolder = argv[2];
  LogFile = _wfopen((OutputFolder + L"\\shots.log").c_str(), L"w");
  MachFolder = argv[4];
  const wchar_t* only = argc > 5 ? argv[5] : nullptr;
  if (!PrepareSettings(static_cast<DWORD>(_wtoi(argv[3])), argv[4])) {
    fwprintf(stderr, L"cannot write the settings\n");
    return 2;
  }
  PrepareParallelPorts();

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  if (!CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    fwprintf(stderr, L"cannot start %ls (error %lu)\n", argv[1], GetLastError());
    return 2;
  }
  ProgramThread = process.dwThreadId;
  ProgramMain = WaitForMainWindow(process.dwProcessId);
  if (!ProgramMain) {
    fwprintf(stderr, L"Kestrelwood's main window did not appear\n");
    TerminateProcess(process.hProcess, 1);
    return 2;
  }
  SetWindowPos(ProgramMain, nullptr, 10, 10, 800, 600, SWP_NOZORDER);  // the whole start page
  Settle(800);

  for (const Row& row : ShotTable()) {
    if (only) {
      char name[64];
      snprintf(name, sizeof name, "%ls", only);
      if (strcmp(name, row.name) != 0) continue;
    }
    RunRow(row);
    // A row that failed half-way leaves windows open: close them before the next.
    for (int i = 0; i < 5 && TopWindow() && TopWindow() != ProgramMain; ++i) {
      HWND top = TopWindow();
      PostMessageW(top, WM_CLOSE, 0, 0);
      WaitGone(top, 2000);
    }
  }

  PostMessageW(ProgramMain, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 5000 * Slowness) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return Missing ? 1 : 0;
}
