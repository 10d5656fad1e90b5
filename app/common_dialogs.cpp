// Windows' own common dialogs.
#include "app/common_dialogs.h"

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
