// Folder walk on full paths, searched in their long form so that no depth is
// too deep.
#include "backup/walk_tree.h"

#include <errno.h>

#include <cwchar>
#include <new>

#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "backup/copy_engine.h"
#include "backup/portable/copy_rules.h"

std::vector<WalkEntry> WalkList;

static constexpr size_t WalkStep = 256;

void ResetWalkList() {
  WalkList.clear();
  WalkList.shrink_to_fit();
}

void ShowFindError() {
  int number = 0;
  _get_errno(&number);
  bool withIcon = true;
  const std::wstring text = FindErrorText(number, &withIcon);
  if (text.empty()) return;
  if (withIcon) {
    ShowErrorMessage(nullptr, text.c_str());
  } else {
    ShowMessageBox(nullptr, text.c_str(), SelectText(CaptionError), MB_OK);  // the one error box without an icon
  }
}

static bool MakeRoomFor(int32_t count) {
  if (static_cast<size_t>(count) < WalkList.size()) return true;
  try {
    WalkList.resize(WalkList.size() + WalkStep);
    return true;
  } catch (const std::bad_alloc&) {
    ShowErrorMessage(nullptr, L"Out of memory");
    return false;
  }
}

static void WalkFolder(const std::wstring& here, int32_t* count, const wchar_t* pattern);

// Returns false when the walk must end (the list could not grow). `here`
// is the folder searched, the folder of every file found in it.
static bool WalkFound(const std::wstring& here, int32_t* count, const wchar_t* pattern,
                      const WIN32_FIND_DATAW& found) {
  const std::wstring path = JoinPath(here, found.cFileName);
  // A junction or symbolic link is never followed: one pointing up the tree
  // would be walked again and again, one pointing elsewhere would bring in
  // files from outside. The log lists it.
  const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
  if ((found.dwFileAttributes | (attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes)) &
      FILE_ATTRIBUTE_REPARSE_POINT) {
    if (CopyLog) CopyLog->LinkSkipped(path);
    return true;
  }
  if (!MakeRoomFor(*count + 1)) {
    ResetWalkList();
    *count = 0;
    return false;
  }
  WalkEntry& entry = WalkList[static_cast<size_t>(*count)];
  ++*count;
  const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry.folder = isFolder ? path : here;
  entry.name = isFolder ? std::wstring() : std::wstring(found.cFileName);
  // As the runtime's search gives them: a plain file has none.
  entry.attributes = found.dwFileAttributes == FILE_ATTRIBUTE_NORMAL ? 0 : found.dwFileAttributes;
  if (isFolder) {
    WalkFolder(path, count, pattern);  // may grow the list: `entry` is not used after this
    if (WalkList.empty()) return false;
  }
  return true;
}

void WalkTree(const std::wstring& folder, int32_t* count, const wchar_t* pattern) {
  WalkFolder(folder, count, pattern);
}

static void WalkFolder(const std::wstring& here, int32_t* count, const wchar_t* pattern) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(LongPathForm(JoinPath(here, pattern)).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    // The message names the runtime's number, as its own search sets it.
    _set_errno(FindErrorNumber(GetLastError()));
    if (wcscmp(pattern, L"*.m*s") != 0) ShowFindError();
    return;
  }
  bool going = true;
  while (going) {
    if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0) {
      going = WalkFound(here, count, pattern, found);
    }
    if (going) going = FindNextFileW(search, &found) != 0;
  }
  FindClose(search);
}
