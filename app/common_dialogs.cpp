// Windows' own common dialogs.
#include "app/common_dialogs.h"

#include "app/file_helpers.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"

namespace {

class SystemDialogs final : public CommonDialogs {
 public:
  BOOL OpenFileName(OPENFILENAMEW* request) override { return GetOpenFileNameW(request); }
  BOOL SaveFileName(OPENFILENAMEW* request) override { return GetSaveFileNameW(request); }
  BOOL ChooseColour(CHOOSECOLORW* request) override { return ChooseColorW(request); }
  BOOL Print(PRINTDLGW* request) override { return PrintDlgW(request); }
  BOOL PageSetup(PAGESETUPDLGW* request) override { return PageSetupDlgW(request); }
  PIDLIST_ABSOLUTE BrowseForFolder(BROWSEINFOW* request) override { return SHBrowseForFolderW(request); }
  DWORD ExtendedError() override { return CommDlgExtendedError(); }
};

SystemDialogs SystemCommonDialogs;
CommonDialogs* CurrentDialogs = &SystemCommonDialogs;

}  // namespace

CommonDialogs& Dialogs() { return *CurrentDialogs; }

CommonDialogs* SetCommonDialogs(CommonDialogs* dialogs) {
  CommonDialogs* previous = CurrentDialogs;
  CurrentDialogs = dialogs ? dialogs : &SystemCommonDialogs;
  return previous;
}

bool ChooseProfileFile(wchar_t (&path)[PathCapacity], const TextTriple& title, const wchar_t* initialFolder) {
  static const wchar_t filter[] = L"*.xml\0*.xml\0";
  path[0] = L'\0';
  return ChooseOpenFile(path, initialFolder, filter, SelectText(title));
}

bool ChooseProfileSetting(wchar_t* setting) {
  wchar_t path[PathCapacity];
  if (!ChooseProfileFile(path)) return false;
  CopyText(setting, PathCapacity, path);
  StoreSettings({setting});
  return true;
}

bool ChooseFolder(HWND owner, wchar_t* folder) {
  wchar_t displayName[PathCapacity + 1] = L"";
  BROWSEINFOW request = {};
  request.hwndOwner = owner;
  request.pszDisplayName = displayName;
  request.lpszTitle = SelectText(TextFolderBrowseTitle);
  request.ulFlags = BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = Dialogs().BrowseForFolder(&request);
  if (!chosen) return false;
  wchar_t path[MAX_PATH] = L"";
  const bool known = SHGetPathFromIDListW(chosen, path) != FALSE;
  CoTaskMemFree(chosen);  // the shell's allocator
  return known && CopyText(folder, PathCapacity, path);
}
