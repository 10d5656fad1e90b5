// TEMPORARY: a minimal private folder walk, to be replaced by WalkTree and
// the WalkList of the backup subsystem once they are in main. It follows
// the same rules (the pattern also picks the folders that are entered).
#include "plugins/profile_files.h"

#include <io.h>

#include "app/message_box.h"
#include "app/text_format.h"
#include "app/text_triple.h"

static void WalkFolder(const std::wstring& folder, std::vector<ProfileFile>& files) {
  _wfinddata64i32_t found;
  const intptr_t search = _wfindfirst64i32((folder + L"\\*.xml").c_str(), &found);
  if (search == -1) return;
  do {
    const std::wstring name = found.name;
    if (name == L"." || name == L"..") continue;
    if (found.attrib & _A_SUBDIR) {
      WalkFolder(folder + L"\\" + name, files);
    } else {
      files.push_back({folder, name});
    }
  } while (_wfindnext64i32(search, &found) == 0);
  _findclose(search);
}

std::vector<ProfileFile> FindProfileFiles() {
  std::vector<ProfileFile> files;
  wchar_t current[MAX_PATH] = L"";
  if (!_wgetcwd(current, MAX_PATH)) return files;
  WalkFolder(current, files);
  if (files.empty()) {
    ShowMessageBox(nullptr, FormatText(L"%s File not found", L"_tfindfirst").c_str(), SelectText(CaptionError),
                   MB_ICONERROR);
  }
  return files;
}
