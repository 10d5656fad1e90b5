// Owners for the handles the program opens, so every early return closes
// what was opened, and holders for what a scope borrows from a device
// context.
#pragma once

#include <windows.h>

#include <utility>

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle handle = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }
  // For functions that return a handle through a pointer.
  Handle* put() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct RegistryKeyTraits {
  static HKEY Invalid() { return nullptr; }
  static bool IsValid(HKEY key) { return key != nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueKey = UniqueHandle<HKEY, RegistryKeyTraits>;

struct FileHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;

struct GdiObjectTraits {
  static HGDIOBJ Invalid() { return nullptr; }
  static bool IsValid(HGDIOBJ object) { return object != nullptr; }
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;

// A window's device context for a scope (GetDC, then ReleaseDC); null when
// none could be had.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  operator HDC() const { return dc_; }  // passed wherever an HDC is asked for

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context for a scope; the one it replaced
// is selected back at the end.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};
