// Helpers for tests that drive the program's windows: a message-box
// recorder, a driver for modal dialogs, and settings-key helpers.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

struct RecordedMessage {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT style;
};

// A message as tests compare it: the owner aside.
struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  UINT style;
  bool operator==(const ShownMessage&) const = default;
};
void PrintTo(const ShownMessage& message, std::ostream* out);

// While it lives, message boxes are recorded instead of shown; each answers
// with the next scripted answer, or IDOK when none is left.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  void Answer(int answer);
  const std::vector<RecordedMessage>& Messages() const;
  // What was recorded: the texts only, or text, caption and style.
  std::vector<std::wstring> Texts() const;
  std::vector<ShownMessage> Shown() const;
  void Clear();
};

// Runs `open`, which shows a modal dialog (or a chain of them), and while it
// runs applies each step in turn to the topmost dialog of this thread, one
// step per timer tick. The steps must end the dialogs; a dialog still open
// long after the last step is closed with -99 and the test fails.
using DialogStep = std::function<void(HWND dialog)>;
INT_PTR DriveModal(const std::function<INT_PTR()>& open, std::vector<DialogStep> steps, DWORD timeoutMs = 5000);

// Dialogs created on this thread since the last call of DriveModal began.
const std::vector<HWND>& DialogsSeen();

// The newest live dialog of this run that has a control `id`: a nested
// dialog may not be visible yet when its first step runs.
HWND LiveDialogWith(int id);

// Actions for steps.
void ClickButton(HWND dialog, int id);
std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int id);

// A modeless instance of one of the program's dialog templates.
HWND CreateTestDialog(int templateId, DLGPROC procedure, LPARAM parameter = 0);

// Destroys the main window, if there is one, and drops the WM_QUIT it posts.
void CloseMainWindow();

// Removes the settings key so a test starts as on a first start.
void DeleteSettingsKey();

// Stored settings as a previous run left them, and as a run leaves them
// (0xDEADBEEF and "" when the value is missing).
void StoreSettingText(const wchar_t* name, const std::wstring& text);
void StoreSettingNumber(const wchar_t* name, DWORD value);
std::wstring StoredSettingText(const wchar_t* name);
DWORD StoredSettingNumber(const wchar_t* name);
// The number of values in the settings key (0 without the key).
DWORD StoredSettingCount();

// The list view's cell text, item count, one row's first `columns` cells,
// and one column's cells.
std::wstring ListViewText(HWND list, int item, int column);
int ListViewCount(HWND list);
std::vector<std::wstring> ListViewRow(HWND list, int item, int columns);
std::vector<std::wstring> ListViewColumn(HWND list, int column);

// A list view's column title; a list box's items.
std::wstring ListViewColumnTitle(HWND list, int column);
std::vector<std::wstring> ListBoxItems(HWND dialog, int id);

// Menu text of an item by command or of a top-level popup by position.
std::wstring MenuItemText(HMENU menu, UINT item, bool byPosition);

// A copy of the tests' idle helper running under `exeName` in `folder` while
// it lives: the Mach3-running checks see it as Mach3.
class RunningProcess {
 public:
  RunningProcess(const std::wstring& folder, const wchar_t* exeName);
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  bool Started() const { return started_; }

 private:
  std::wstring path_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};
