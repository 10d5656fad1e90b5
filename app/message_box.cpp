// Message boxes and the system's error texts.
#include "app/message_box.h"

static int CallMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  return MessageBoxW(owner, text, caption, style);
}

static MessageBoxFunction CurrentMessageBox = CallMessageBox;
static MessageObserver CurrentObserver = nullptr;
static bool ObserverIsQuiet = false;

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  if (CurrentObserver) {
    CurrentObserver(caption ? caption : L"", text ? text : L"");
    if (ObserverIsQuiet) return IDOK;
  }
  return CurrentMessageBox(owner, text, caption, style);
}

void SetMessageObserver(MessageObserver observer, bool quiet) {
  CurrentObserver = observer;
  ObserverIsQuiet = observer && quiet;
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
  MessageBoxFunction previous = CurrentMessageBox;
  CurrentMessageBox = function ? function : CallMessageBox;
  return previous;
}

static UINT WithIcon(UINT icon, UINT extraStyle) {
  return (extraStyle & MB_ICONMASK) ? extraStyle : icon | extraStyle;
}

int ShowErrorMessage(HWND owner, const wchar_t* text, UINT extraStyle) {
  return ShowMessageBox(owner, text, SelectText(CaptionError), WithIcon(MB_ICONERROR, extraStyle));
}

int ShowWarningMessage(HWND owner, const wchar_t* text, UINT extraStyle) {
  return ShowMessageBox(owner, text, SelectText(CaptionWarning), WithIcon(MB_ICONWARNING, extraStyle));
}

int ShowInfoMessage(HWND owner, const wchar_t* text, UINT extraStyle) {
  return ShowMessageBox(owner, text, SelectText(CaptionInfo), WithIcon(MB_ICONINFORMATION, extraStyle));
}

int ShowFailureMessage(HWND owner, const wchar_t* text, const wchar_t* caption, UINT extraStyle) {
  return ShowMessageBox(owner, text, caption, WithIcon(MB_ICONERROR, extraStyle));
}

std::wstring SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
  return text;
}

void ShowSystemError(DWORD code) {
  ShowErrorMessage(nullptr, SystemErrorText(code).c_str(), MB_TASKMODAL);
}
