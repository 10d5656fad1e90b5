// Wide formatting through the runtime's Windows-style _vsnwprintf, so the
// formats read as they do on Windows whatever MinGW's stdio setting is.
#include "app/text_format.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <vector>

static int FormatVa(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args) {
  return _vsnwprintf(buffer, capacity, format, args);
}

std::wstring FormatText(const wchar_t* format, ...) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    va_list args;
    va_start(args, format);
    const int written = FormatVa(buffer.data(), buffer.size() - 1, format, args);
    va_end(args);
    if (written >= 0 && static_cast<size_t>(written) < buffer.size() - 1) {
      return std::wstring(buffer.data(), written);
    }
    if (buffer.size() > (1u << 24)) return std::wstring();  // a format that never fits
    buffer.resize(buffer.size() * 2);
  }
}

bool FormatInto(wchar_t* buffer, size_t capacity, const wchar_t* format, ...) {
  if (capacity == 0) return false;
  va_list args;
  va_start(args, format);
  const int written = FormatVa(buffer, capacity - 1, format, args);
  va_end(args);
  buffer[capacity - 1] = L'\0';
  if (written < 0 || static_cast<size_t>(written) >= capacity) {
    return false;
  }
  buffer[written] = L'\0';
  return true;
}

bool CopyText(wchar_t* buffer, size_t capacity, const wchar_t* source) {
  if (capacity == 0) return false;
  size_t length = 0;
  while (source[length] != L'\0' && length < capacity - 1) {
    buffer[length] = source[length];
    ++length;
  }
  buffer[length] = L'\0';
  return source[length] == L'\0';
}
