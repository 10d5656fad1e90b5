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
  short presetOrientation = 0;  // of the device mode handed to the print dialog
  bool landscape = false;       // the user's choice in the dialog

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
    auto* mode = request->hDevMode ? static_cast<DEVMODEW*>(GlobalLock(request->hDevMode)) : nullptr;
    if (mode) {
      presetOrientation = mode->dmOrientation;
      if (landscape) mode->dmOrientation = DMORIENT_LANDSCAPE;
    }
    if (!printer.empty()) request->hDC = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, mode);
    if (mode) GlobalUnlock(request->hDevMode);
    if (printer.empty()) return FALSE;
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
