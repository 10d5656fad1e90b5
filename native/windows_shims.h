// The few Windows runtime functions the portable logic uses, for the native
// Linux build that runs the tests and fuzzers under the sanitizers. Forced
// into every native source; the Windows builds never see it.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cwchar>
#include <string>

// Windows reads "%s" and "%c" in a wide format as wide arguments and "%hs"
// as a narrow one; glibc wants "%ls", "%lc" and "%s".
inline std::wstring WindowsToPosixFormat(const wchar_t* format) {
  std::wstring posix;
  for (const wchar_t* p = format; *p != L'\0'; ++p) {
    posix += *p;
    if (*p != L'%') continue;
    if (p[1] == L'%') {
      posix += *++p;
      continue;
    }
    while (p[1] != L'\0' && std::wcschr(L"-+ #0123456789.*", p[1]) != nullptr) posix += *++p;
    if (p[1] == L'h' && (p[2] == L's' || p[2] == L'c')) {
      posix += *(p += 2);
    } else if (p[1] == L's' || p[1] == L'c') {
      posix += L'l';
    }
  }
  return posix;
}

// At most `count` characters; -1 when the text does not fit, as on Windows.
// The callers' buffers hold count + 1 characters.
inline int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
  // Formats without a text argument read the same on both; most of them need no copy.
  if (std::wcspbrk(format, L"sc") == nullptr) return std::vswprintf(buffer, count + 1, format, args);
  const std::wstring posix = WindowsToPosixFormat(format);
  return std::vswprintf(buffer, count + 1, posix.c_str(), args);
}
