// Test helpers: message-box recorder, modal dialog driver, settings key.
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/settings.h"

namespace {

std::vector<RecordedMessage> Recorded;
std::deque<int> ScriptedAnswers;

int RecordMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  Recorded.push_back({owner, text ? text : L"", caption ? caption : L"", style});
  if (ScriptedAnswers.empty()) return IDOK;
  const int answer = ScriptedAnswers.front();
  ScriptedAnswers.pop_front();
  return answer;
}

}  // namespace

MessageRecorder::MessageRecorder() {
  Recorded.clear();
  ScriptedAnswers.clear();
  SetMessageBoxFunction(RecordMessage);
}

MessageRecorder::~MessageRecorder() {
  // The test run keeps recording: a real message box would block it.
  SetMessageBoxFunction(RecordMessage);
  Recorded.clear();
  ScriptedAnswers.clear();
}

void MessageRecorder::Answer(int answer) { ScriptedAnswers.push_back(answer); }
const std::vector<RecordedMessage>& MessageRecorder::Messages() const { return Recorded; }
void MessageRecorder::Clear() { Recorded.clear(); }

std::vector<std::wstring> MessageRecorder::Texts() const {
  std::vector<std::wstring> texts;
  for (const RecordedMessage& message : Recorded) texts.push_back(message.text);
  return texts;
}

std::vector<ShownMessage> MessageRecorder::Shown() const {
  std::vector<ShownMessage> shown;
  for (const RecordedMessage& message : Recorded) shown.push_back({message.text, message.caption, message.style});
  return shown;
}

void PrintTo(const ShownMessage& message, std::ostream* out) {
  *out << testing::PrintToString(message.text) << " under " << testing::PrintToString(message.caption) << ", style "
       << message.style;
}

// Installed for the whole run by the test main: no test may block on a box.
void InstallDefaultMessageRecorder() { SetMessageBoxFunction(RecordMessage); }

namespace {

struct ModalRun {
  std::vector<DialogStep> steps;
  size_t next = 0;
  DWORD lastActivity = 0;
  DWORD timeoutMs = 0;
  bool timedOut = false;
};

ModalRun* CurrentRun = nullptr;
std::vector<HWND> CreatedDialogs;
HHOOK CreationHook = nullptr;

bool IsDialogWindow(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return wcscmp(name, L"#32770") == 0;
}

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_CREATEWND && !(reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->style & WS_CHILD) &&
      IsDialogWindow(window)) {
    CreatedDialogs.push_back(window);
  }
  return CallNextHookEx(CreationHook, code, wParam, lParam);
}

HWND TopmostLiveDialog() {
  for (auto it = CreatedDialogs.rbegin(); it != CreatedDialogs.rend(); ++it) {
    if (IsWindow(*it) && IsWindowVisible(*it) && IsDialogWindow(*it)) return *it;
  }
  return nullptr;
}

void CALLBACK OnDriverTick(HWND, UINT, UINT_PTR, DWORD) {
  ModalRun* run = CurrentRun;
  if (!run) return;
  HWND dialog = TopmostLiveDialog();
  if (!dialog) return;
  if (run->next < run->steps.size()) {
    run->lastActivity = GetTickCount();
    DialogStep step = run->steps[run->next++];
    step(dialog);
    return;
  }
  if (GetTickCount() - run->lastActivity > run->timeoutMs) {
    run->timedOut = true;
    EndDialog(dialog, -99);
  }
}

}  // namespace

INT_PTR DriveModal(const std::function<INT_PTR()>& open, std::vector<DialogStep> steps, DWORD timeoutMs) {
  ModalRun run;
  run.steps = std::move(steps);
  run.lastActivity = GetTickCount();
  run.timeoutMs = timeoutMs;
  ModalRun* outer = CurrentRun;
  CurrentRun = &run;
  CreatedDialogs.clear();
  CreationHook = SetWindowsHookExW(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, OnDriverTick);
  const INT_PTR result = open();
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(CreationHook);
  CreationHook = nullptr;
  CurrentRun = outer;
  EXPECT_FALSE(run.timedOut) << "a dialog stayed open and was closed by the driver";
  EXPECT_EQ(run.next, run.steps.size()) << "not every step ran";
  return result;
}

const std::vector<HWND>& DialogsSeen() { return CreatedDialogs; }

void ClickButton(HWND dialog, int id) {
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(length + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(wcslen(text.c_str()));
  return text;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

HWND CreateTestDialog(int templateId, DLGPROC procedure, LPARAM parameter) {
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), nullptr, procedure,
                            parameter);
}

void CloseMainWindow() {
  if (IsWindow(MainWindow)) DestroyWindow(MainWindow);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  MainWindow = nullptr;
}

void DeleteSettingsKey() { RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKeyPath); }

void StoreSettingText(const wchar_t* name, const std::wstring& text) {
  RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void StoreSettingNumber(const wchar_t* name, DWORD value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, REG_DWORD, &value, sizeof(value));
}

std::wstring StoredSettingText(const wchar_t* name) {
  wchar_t text[300] = {};
  DWORD bytes = sizeof(text);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, RRF_RT_REG_SZ, nullptr, text, &bytes);
  return text;
}

DWORD StoredSettingNumber(const wchar_t* name) {
  DWORD value = 0xDEADBEEF, bytes = sizeof(value);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes);
  return value;
}

DWORD StoredSettingCount() {
  HKEY key = nullptr;
  DWORD count = 0;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  return count;
}

HWND LiveDialogWith(int id) {
  const std::vector<HWND>& seen = DialogsSeen();
  for (auto it = seen.rbegin(); it != seen.rend(); ++it) {
    if (IsWindow(*it) && GetDlgItem(*it, id)) return *it;
  }
  return nullptr;
}

std::wstring MenuItemText(HMENU menu, UINT item, bool byPosition) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, item, text, 256, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
  return text;
}

// The idle helper lies beside the test program or one folder above it.
static std::wstring IdleHelperPath() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder = self;
  for (int up = 0; up < 2; ++up) {
    folder = folder.substr(0, folder.find_last_of(L'\\'));
    const std::wstring helper = folder + L"\\kw_idle_process.exe";
    if (GetFileAttributesW(helper.c_str()) != INVALID_FILE_ATTRIBUTES) return helper;
  }
  return {};
}

RunningProcess::RunningProcess(const std::wstring& folder, const wchar_t* exeName)
    : path_(folder + L"\\" + exeName) {
  const std::wstring helper = IdleHelperPath();
  if (helper.empty() || !CopyFileW(helper.c_str(), path_.c_str(), FALSE)) return;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  std::wstring commandLine = L"\"" + path_ + L"\"";
  started_ = CreateProcessW(path_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process_);
  if (started_) CloseHandle(process_.hThread);
}

RunningProcess::~RunningProcess() {
  if (started_) {
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess);
  }
  DeleteFileW(path_.c_str());
}

std::wstring ListViewText(HWND list, int item, int column) {
  wchar_t text[1024] = {};
  LVITEMW request = {};
  request.iSubItem = column;
  request.pszText = text;
  request.cchTextMax = 1024;
  SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&request));
  return text;
}

int ListViewCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::wstring> ListViewRow(HWND list, int item, int columns) {
  std::vector<std::wstring> row;
  for (int column = 0; column < columns; ++column) row.push_back(ListViewText(list, item, column));
  return row;
}

std::vector<std::wstring> ListViewColumn(HWND list, int column) {
  std::vector<std::wstring> cells;
  for (int item = 0; item < ListViewCount(list); ++item) cells.push_back(ListViewText(list, item, column));
  return cells;
}

std::wstring ListViewColumnTitle(HWND list, int column) {
  wchar_t text[600] = {};
  LVCOLUMNW header = {};
  header.mask = LVCF_TEXT;
  header.pszText = text;
  header.cchTextMax = 600;
  SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
  return text;
}

std::vector<std::wstring> ListBoxItems(HWND dialog, int id) {
  std::vector<std::wstring> items;
  const LRESULT count = SendDlgItemMessageW(dialog, id, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    SendDlgItemMessageW(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}
