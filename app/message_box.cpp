// Message boxes and the system's error texts.
#include "app/message_box.h"

static int CallMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  return MessageBoxW(owner, text, caption, style);
}

static MessageBoxFunction CurrentMessageBox = CallMessageBox;

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
  return CurrentMessageBox(owner, text, caption, style);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
  MessageBoxFunction previous = CurrentMessageBox;
  CurrentMessageBox = function ? function : CallMessageBox;
  return previous;
}

int ShowErrorMessage(HWND owner, const wchar_t* text, UINT extraStyle) {
  return ShowMessageBox(owner, text, SelectText(CaptionError), MB_ICONERROR | extraStyle);
}

int ShowWarningMessage(HWND owner, const wchar_t* text, UINT extraStyle) {
  return ShowMessageBox(owner, text, SelectText(CaptionWarning), MB_ICONWARNING | extraStyle);
}

int ShowInfoMessage(HWND owner, const wchar_t* text, UINT extraStyle) {
  return ShowMessageBox(owner, text, SelectText(CaptionInfo), MB_ICONINFORMATION | extraStyle);
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
  ShowMessageBox(nullptr, SystemErrorText(code).c_str(), SelectText(CaptionError),
                 MB_TASKMODAL | MB_ICONERROR);
}
