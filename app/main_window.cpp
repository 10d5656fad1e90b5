// Start-up, the main window and its command dispatch.
#include "app/main_window.h"

#include <commctrl.h>
#include <prsht.h>

#include "app/dialogs.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "app/start_page.h"
#include "app/texts.h"
#include "backup/backup_dialogs.h"
#include "pins/check_ports_dialog.h"
#include "pins/show_params_sheet.h"
#include "plugins/remove_plugin_dialog.h"
#include "resources/resource.h"
#include "settings_view/output_window.h"
#include "settings_view/show_settings_dialog.h"
#include "view/view_dialogs.h"

HINSTANCE Instance = nullptr;
HWND MainWindow = nullptr;
bool Is64BitWindows = false;
HFONT CompareFont = nullptr;
HFONT SmallPrintFont = nullptr;
HFONT HeadingFont = nullptr;
wchar_t WindowTitle[StartupStringCapacity];
wchar_t MainWindowClass[StartupStringCapacity];
wchar_t OutputWindowClass[StartupStringCapacity];

static const TextTriple Warning64Bit = {
    L"Dies ist ein 64 Bit - Betriebssystem!\r\nDer Mach3  LPT - Treiber wird unter diesem Betriebsystem nicht "
    L"funktionieren.",
    L"This is a 64 bit operating system!\r\nThe Mach3 LPT - driver will not work on that OS.",
    L"Système d'exploitation 64 bit !\r\nLe pilote de Mach3 ne fonctionne pas en environnement 64 bits."};

void LoadStartupStrings(HINSTANCE instance) {
  LoadStringW(instance, IDS_APP_TITLE, WindowTitle, StartupStringCapacity);
  LoadStringW(instance, IDS_MAIN_WINDOW_CLASS, MainWindowClass, StartupStringCapacity);
  LoadStringW(instance, IDS_OUTPUT_WINDOW_CLASS, OutputWindowClass, StartupStringCapacity);
}

static ATOM RegisterClassWith(HINSTANCE instance, const wchar_t* name, int menu, WNDPROC procedure) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KESTRELWOOD));
  // Shared: both classes show the same small icon, made once.
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KESTRELWOOD), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszMenuName = MAKEINTRESOURCEW(menu);
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass);
}

int RegisterWindowClasses(HINSTANCE instance) {
  const ATOM main = RegisterClassWith(instance, MainWindowClass, IDR_MAIN_MENU, MainWindowProc);
  const ATOM output = RegisterClassWith(instance, OutputWindowClass, IDR_OUTPUT_MENU, SettingsOutputWindowProc);
  return main != 0 && output != 0;
}

static HFONT MakeFont(int height, int width, int weight, DWORD quality, const wchar_t* face) {
  return CreateFontW(height, width, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, face);
}

int CreateMainWindow(HINSTANCE instance, int showCommand) {
  Instance = instance;
  HWND window = CreateWindowExW(0, MainWindowClass, WindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
  if (!window) return 0;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  INITCOMMONCONTROLSEX controls = {sizeof(controls),
                                   ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS |
                                       ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  CompareFont = MakeFont(15, 6, 600, DEFAULT_QUALITY, L"Arial");
  SmallPrintFont = MakeFont(10, 4, 400, DEFAULT_QUALITY, L"Arial");

  SetWindowTextW(window, FormatText(L"%s  %s", ProgramName, VersionText).c_str());
  return 1;
}

int RunMessageLoop() {
  HACCEL accelerators = LoadAcceleratorsW(Instance, MAKEINTRESOURCEW(IDR_MAIN_ACCELERATORS));
  MSG message;
  for (;;) {
    // The start page reads its folder while nothing else waits. The zero
    // wait first tells Windows (and Wine) that the program is idle: a
    // program that only peeks counts as busy until all is read.
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) &&
        MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE) == WAIT_TIMEOUT &&
        StartPageIdleStep()) {
      continue;
    }
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) break;
    if (!TranslateAcceleratorW(message.hwnd, accelerators, &message) && !StartPageKey(&message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

// The NtVdm64 key exists (with sub-keys) only on 64-bit Windows. Where it
// is missing altogether the platform answers for itself.
bool Detect64BitWindows() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NtVdm64", 0, KEY_READ,
                    &key) == ERROR_SUCCESS) {
    wchar_t subKey[260];
    const bool hasSubKey = RegEnumKeyW(key, 0, subKey, 260) == ERROR_SUCCESS;
    RegCloseKey(key);
    return hasSubKey;
  }
#ifdef _WIN64
  return true;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

// Loaded with the first dialog rather than at start-up, which it would slow
// down; it stays loaded, for templates that use "RichEdit20W".
static void LoadRichEdit() {
  static const HMODULE richEdit = LoadLibraryW(L"Riched20.dll");
  (void)richEdit;
}

INT_PTR RunModalDialog(HWND owner, int templateId, DLGPROC procedure) {
  LoadRichEdit();
  return DialogBoxParamW(Instance, MAKEINTRESOURCEW(templateId), owner, procedure, 0);
}

INT_PTR RunPropertySheet(HWND owner, const std::wstring& caption, const std::vector<SheetPage>& pages,
                         DLGPROC procedure) {
  std::vector<PROPSHEETPAGEW> sheets(pages.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    PROPSHEETPAGEW& page = sheets[i];
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_USETITLE;
    page.hInstance = Instance;
    page.pszTemplate = MAKEINTRESOURCEW(pages[i].templateId);
    page.pfnDlgProc = procedure;
    page.pszTitle = pages[i].title.c_str();
    page.lParam = pages[i].data;
  }
  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  header.hwndParent = owner;
  header.hInstance = Instance;
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(sheets.size());
  header.nStartPage = 0;
  header.ppsp = sheets.data();
  return PropertySheetW(&header);
}

static void OnAbout(HWND window) { RunModalDialog(window, IDD_ABOUT, AboutDialogProc); }

static void OnExit(HWND window) { DestroyWindow(window); }

static void OnLanguage(HWND window) { RunModalDialog(window, IDD_LANGUAGE, LanguageDialogProc); }

static void OnSaveParams(HWND window) { RunModalDialog(window, IDD_SAVE, SaveDialogProc); }

static void OnRestoreParams(HWND window) { RunModalDialog(window, IDD_RESTORE, RestoreDialogProc); }

static void OnRemovePlugin(HWND window) { RunModalDialog(window, IDD_REMOVE_PLUGIN, RemovePluginDialogProc); }

// Mach3's parallel-port driver does not work on 64-bit Windows: say so
// each time before the port check.
static void OnCheckPortsAndPins(HWND window) {
  if (Is64BitWindows) ShowWarningMessage(window, SelectText(Warning64Bit), MB_OK);
  RunModalDialog(window, IDD_CHECK_PORTS, CheckPortsDialogProc);
}

static void OnShowProfile(HWND window) { RunModalDialog(window, IDD_SHOW_PROFILE, ShowProfileDialogProc); }

static void OnCompareProfiles(HWND window) { RunModalDialog(window, IDD_COMPARE_PROFILES, CompareDialogProc); }
static void OnShowParams(HWND window) { ShowParamsSheet(window); }

static void OnShowSettings(HWND window) { RunModalDialog(window, IDD_SHOW_SETTINGS, ShowSettingsDialogProc); }

struct CommandRow {
  int command;
  void (*handler)(HWND window);
};

static const CommandRow CommandTable[] = {
    {IDM_ABOUT, OnAbout},
    {IDM_EXIT, OnExit},
    {IDM_LANGUAGE, OnLanguage},
    {IDM_CHECK_PORTS, OnCheckPortsAndPins},
    {IDM_SHOW_PROFILE, OnShowProfile},
    {IDM_COMPARE_PROFILES, OnCompareProfiles},
    {IDM_SHOW_PARAMS, OnShowParams},
    {IDM_SAVE_PARAMS, OnSaveParams},
    {IDM_RESTORE_PARAMS, OnRestoreParams},
    {IDM_SHOW_SETTINGS, OnShowSettings},
    {IDM_REMOVE_PLUGIN, OnRemovePlugin},
    {0, nullptr},
};

static const CommandRow* FindCommand(int command) {
  for (const CommandRow* row = CommandTable; row->handler; ++row) {
    if (row->command == command) return row;
  }
  return nullptr;
}

static void OnCreate(HWND window) {
  MainWindow = window;
  LoadAllSettings();
  RelabelMainMenu(window);
  Is64BitWindows = Detect64BitWindows();
  HeadingFont = MakeFont(28, 15, 700, DRAFT_QUALITY, L"MS Shell");
  CreateStartPage(window);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT pageResult = 0;
  if (StartPageMessage(window, message, wParam, lParam, &pageResult)) return pageResult;
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_COMMAND:
      if (const CommandRow* row = FindCommand(LOWORD(wParam))) {
        row->handler(window);
        // The action may have changed folders, files or the language.
        if (IsWindow(window)) RefreshStartPage();
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
