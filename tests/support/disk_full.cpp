// The full disk of DiskFull, through the program's own file-write calls.
#include "tests/support/disk_full.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/file_helpers.h"
#include "tests/support/temp_folder.h"

static size_t Room = 0;
static int RefusalCount = 0;
static FileWriteCalls Before = {};

static BOOL Refuse() {
  ++RefusalCount;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

// What fits is written and reported as written, as a disk does at its end.
static BOOL WriteUntilFull(HANDLE file, const void* data, DWORD size, DWORD* written) {
  *written = 0;
  const DWORD fits = static_cast<DWORD>(std::min<size_t>(size, Room));
  if (fits == 0) return Refuse();
  if (!WriteFile(file, data, fits, written, nullptr)) return FALSE;
  Room -= *written;
  return TRUE;
}

static BOOL CopyUntilFull(const wchar_t* from, const wchar_t* to, BOOL failIfExists) {
  const std::string bytes = ReadBytes(from);
  if (bytes.size() <= Room) {
    Room -= bytes.size();
    return CopyFileW(from, to, failIfExists);
  }
  WriteBytes(to, bytes.substr(0, Room));
  Room = 0;
  return Refuse();
}

DiskFull::DiskFull(size_t room) {
  Room = room;
  RefusalCount = 0;
  Before = SetFileWriteCalls({WriteUntilFull, CopyUntilFull, nullptr});
  SetFileWriteCalls({WriteUntilFull, CopyUntilFull, Before.flush});  // a flush counted by a test stays so
}

DiskFull::~DiskFull() { SetFileWriteCalls(Before); }

int DiskFull::Refusals() const { return RefusalCount; }
