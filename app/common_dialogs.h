// The common dialogs (open file, save file, colour, print, page set-up, folder
// browser) behind one small interface, so tests can answer them.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include "app/portable/text_triple.h"
#include "app/settings.h"

class CommonDialogs {
 public:
  virtual ~CommonDialogs() = default;
  virtual BOOL OpenFileName(OPENFILENAMEW* request) = 0;
  virtual BOOL SaveFileName(OPENFILENAMEW* request) = 0;
  virtual BOOL ChooseColour(CHOOSECOLORW* request) = 0;
  virtual BOOL Print(PRINTDLGW* request) = 0;
  virtual BOOL PageSetup(PAGESETUPDLGW* request) = 0;
  virtual PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW* request) = 0;
  // CommDlgExtendedError of the last call above.
  virtual DWORD ExtendedError() = 0;
};

// The dialogs in force: Windows' own unless a test installed others.
CommonDialogs& Dialogs();

// The folder browser, titled for the Mach3 and backup folders. On true,
// `folder` (PathCapacity characters) holds the chosen folder; false when
// cancelled or when the choice is no file-system folder.
bool ChooseFolder(HWND owner, wchar_t* folder);

// The open-file dialog for a profile (*.xml), owned by the main window;
// true and the path when one was chosen.
bool ChooseProfileFile(wchar_t (&path)[PathCapacity], const TextTriple& title = TextOpenProfileTitle,
                       const wchar_t* initialFolder = nullptr);

// Chooses a profile into the path setting `setting` (PathCapacity
// characters) and stores it; false when cancelled.
bool ChooseProfileSetting(wchar_t* setting);

// Installs other dialogs (nullptr restores Windows' own); returns the ones before.
CommonDialogs* SetCommonDialogs(CommonDialogs* dialogs);
