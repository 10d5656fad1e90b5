// Common dialogs that answer as scripted and remember what they were asked.
#pragma once

#include <string>

#include "app/common_dialogs.h"

class FakeDialogs final : public CommonDialogs {
 public:
  FakeDialogs() { previous_ = SetCommonDialogs(this); }
  ~FakeDialogs() override { SetCommonDialogs(previous_); }

  // The path the next open-file dialog returns; empty means Cancel.
  std::wstring chosenPath;
  std::wstring lastTitle;
  std::wstring lastFilter;
  std::wstring lastDefaultExtension;
  DWORD lastFlags = 0;
  int openCount = 0;

  BOOL OpenFileName(OPENFILENAMEW* request) override {
    ++openCount;
    lastTitle = request->lpstrTitle ? request->lpstrTitle : L"";
    lastFilter.clear();
    for (const wchar_t* p = request->lpstrFilter; p && *p; p += wcslen(p) + 1) lastFilter += std::wstring(p) + L"|";
    lastDefaultExtension = request->lpstrDefExt ? request->lpstrDefExt : L"";
    lastFlags = request->Flags;
    if (chosenPath.empty()) return FALSE;
    wcsncpy(request->lpstrFile, chosenPath.c_str(), request->nMaxFile - 1);
    request->lpstrFile[request->nMaxFile - 1] = L'\0';
    return TRUE;
  }
  BOOL ChooseColour(CHOOSECOLORW*) override { return FALSE; }
  BOOL Print(PRINTDLGW*) override { return FALSE; }
  BOOL PageSetup(PAGESETUPDLGW*) override { return FALSE; }
  PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW*) override { return nullptr; }
  DWORD ExtendedError() override { return 0; }

 private:
  CommonDialogs* previous_ = nullptr;
};
