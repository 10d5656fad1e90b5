// A full disk for the program's file writes: while a DiskFull lives, the
// writes through SetFileWriteCalls take only `room` more bytes in all, then
// fail with ERROR_DISK_FULL; a copy writes what fits of its target first.
#pragma once

#include <cstddef>

class DiskFull {
 public:
  explicit DiskFull(size_t room);
  ~DiskFull();
  DiskFull(const DiskFull&) = delete;
  DiskFull& operator=(const DiskFull&) = delete;

  // Writes and copies refused so far.
  int Refusals() const;
};
