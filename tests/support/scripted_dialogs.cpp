// Scripted common dialogs for tests.
#include "tests/support/scripted_dialogs.h"

#include <shlobj.h>

#include <cwchar>

ScriptedDialogs::ScriptedDialogs() { previous_ = SetCommonDialogs(this); }

ScriptedDialogs::~ScriptedDialogs() { SetCommonDialogs(previous_); }

BOOL ScriptedDialogs::AnswerFile(std::deque<std::wstring>& answers, OPENFILENAMEW* request) {
  error_ = answers.empty() ? failure_ : 0;
  if (answers.empty()) return FALSE;
  const std::wstring path = answers.front();
  answers.pop_front();
  if (path.size() >= request->nMaxFile) {
    error_ = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  wcscpy(request->lpstrFile, path.c_str());
  return TRUE;
}

BOOL ScriptedDialogs::OpenFileName(OPENFILENAMEW* request) {
  ++openFileCalls;
  lastOpenFileRequest = *request;
  lastOpenFileTitle = request->lpstrTitle ? request->lpstrTitle : L"";
  return AnswerFile(files_, request);
}

BOOL ScriptedDialogs::SaveFileName(OPENFILENAMEW* request) {
  ++saveFileCalls;
  lastSaveFileRequest = *request;
  offeredName = request->lpstrFile;
  offeredFolder = request->lpstrInitialDir ? request->lpstrInitialDir : L"";
  if (!filterIndexes_.empty()) {
    request->nFilterIndex = filterIndexes_.front();
    filterIndexes_.pop_front();
  }
  return AnswerFile(saves_, request);
}

BOOL ScriptedDialogs::Print(PRINTDLGW* request) {
  printFlags = request->Flags;
  printCopies = request->nCopies;
  auto* mode = request->hDevMode ? static_cast<DEVMODEW*>(GlobalLock(request->hDevMode)) : nullptr;
  if (mode) {
    presetOrientation = mode->dmOrientation;
    if (landscape_) mode->dmOrientation = DMORIENT_LANDSCAPE;
  }
  if (!printer_.empty()) request->hDC = CreateDCW(L"WINSPOOL", printer_.c_str(), nullptr, mode);
  if (mode) GlobalUnlock(request->hDevMode);
  return !printer_.empty() && request->hDC != nullptr;
}

BOOL ScriptedDialogs::ChooseColour(CHOOSECOLORW* request) {
  ++colourCalls;
  lastColourRequest = *request;
  if (colours_.empty()) {
    error_ = failure_;
    return FALSE;
  }
  request->rgbResult = colours_.front();
  colours_.pop_front();
  error_ = 0;
  return TRUE;
}

PIDLIST_ABSOLUTE ScriptedDialogs::BrowseForFolder(BROWSEINFOW* request) {
  ++browseCalls;
  lastBrowseTitle = request->lpszTitle ? request->lpszTitle : L"";
  if (folders_.empty()) return nullptr;
  const std::wstring folder = folders_.front();
  folders_.pop_front();
  return ILCreateFromPathW(folder.c_str());
}
