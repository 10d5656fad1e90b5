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
  int openCount = 0;
  // The printer the print dialog picks; empty means Cancel.
  std::wstring printer;
  DWORD printFlags = 0;
  WORD printCopies = 0;

  BOOL OpenFileName(OPENFILENAMEW* request) override {
    ++openCount;
    lastTitle = request->lpstrTitle ? request->lpstrTitle : L"";
    if (chosenPath.empty()) return FALSE;
    wcsncpy(request->lpstrFile, chosenPath.c_str(), request->nMaxFile - 1);
    request->lpstrFile[request->nMaxFile - 1] = L'\0';
    return TRUE;
  }
  BOOL Print(PRINTDLGW* request) override {
    printFlags = request->Flags;
    printCopies = request->nCopies;
    if (printer.empty()) return FALSE;
    request->hDC = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr);
    return request->hDC != nullptr;
  }
  BOOL SaveFileName(OPENFILENAMEW*) override { return FALSE; }
  BOOL ChooseColour(CHOOSECOLORW*) override { return FALSE; }
  BOOL PageSetup(PAGESETUPDLGW*) override { return FALSE; }
  PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW*) override { return nullptr; }
  DWORD ExtendedError() override { return 0; }

 private:
  CommonDialogs* previous_ = nullptr;
};
