// Folder walk with the runtime's wide search functions.
#include "backup/walk_tree.h"

#include <direct.h>
#include <errno.h>
#include <io.h>

#include <cwchar>
#include <new>

#include "app/message_box.h"
#include "app/settings.h"
#include "backup/copy_engine.h"
#include "backup/portable/copy_rules.h"

std::vector<WalkEntry> WalkList;

static constexpr size_t WalkStep = 256;

void ResetWalkList() {
  WalkList.clear();
  WalkList.shrink_to_fit();
}

KeepCurrentFolder::KeepCurrentFolder() { known_ = _wgetcwd(folder_, PathCapacity) != nullptr; }

KeepCurrentFolder::~KeepCurrentFolder() {
  if (known_) _wchdir(folder_);
}

void ShowFindError() {
  int number = 0;
  _get_errno(&number);
  bool withIcon = true;
  const std::wstring text = FindErrorText(number, &withIcon);
  if (text.empty()) return;
  ShowMessageBox(nullptr, text.c_str(), SelectText(CaptionError), withIcon ? MB_ICONERROR : MB_OK);
}

static bool MakeRoomFor(int32_t count) {
  if (static_cast<size_t>(count) < WalkList.size()) return true;
  try {
    WalkList.resize(WalkList.size() + WalkStep);
    return true;
  } catch (const std::bad_alloc&) {
    ShowMessageBox(nullptr, L"Out of memory", SelectText(CaptionError), MB_ICONERROR);
    return false;
  }
}

static bool WalkFolder(int32_t* count, const wchar_t* pattern);

// Returns false when the walk must end (list full, folder path unknown).
// `here` is the current folder, the folder of every file found in it.
static bool WalkFound(int32_t* count, const wchar_t* pattern, const _wfinddata64i32_t& found,
                      const std::wstring& here) {
  // A junction or symbolic link is never followed: one pointing up the tree
  // would be walked again and again, one pointing elsewhere would bring in
  // files from outside. The log lists it.
  const DWORD attributes = GetFileAttributesW(found.name);
  if ((found.attrib | (attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes)) & FILE_ATTRIBUTE_REPARSE_POINT) {
    if (CopyLog) CopyLog->LinkSkipped(JoinPath(here, found.name));
    return true;
  }
  if (!MakeRoomFor(*count + 1)) {
    ResetWalkList();
    *count = 0;
    return false;
  }
  WalkEntry& entry = WalkList[static_cast<size_t>(*count)];
  ++*count;
  // Only a folder can be made current: that tells folders from files.
  const bool isFolder = (found.attrib & _A_SUBDIR) && _wchdir(found.name) == 0;
  if (isFolder) {
    wchar_t folder[PathCapacity];
    if (!_wgetcwd(folder, PathCapacity)) return false;
    entry.folder = folder;
  } else {
    entry.folder = here;
  }
  entry.name = isFolder ? std::wstring() : std::wstring(found.name);
  entry.attributes = found.attrib;
  if (isFolder) {
    // A walk that matched nothing stays in the folder; come back out, or
    // the next sibling would be looked for inside it.
    if (!WalkFolder(count, pattern)) _wchdir(L"..");
    if (WalkList.empty()) return false;
  }
  return true;
}

void WalkTree(int32_t* count, const wchar_t* pattern) { WalkFolder(count, pattern); }

// False when the first search matched nothing.
static bool WalkFolder(int32_t* count, const wchar_t* pattern) {
  _wfinddata64i32_t found;
  const intptr_t search = _wfindfirst64i32(pattern, &found);
  if (search == -1) {
    if (wcscmp(pattern, L"*.m*s") != 0) ShowFindError();
    return false;
  }
  wchar_t here[PathCapacity];
  bool going = _wgetcwd(here, PathCapacity) != nullptr;
  const std::wstring folder = going ? here : L"";
  while (going) {
    if (wcscmp(found.name, L".") != 0 && wcscmp(found.name, L"..") != 0) {
      going = WalkFound(count, pattern, found, folder);
    }
    if (going) going = _wfindnext64i32(search, &found) == 0;
  }
  _wchdir(L"..");
  _findclose(search);
  return true;
}
