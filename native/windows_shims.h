// The few Windows runtime functions the portable logic uses, for the native
// Linux build that runs the tests and fuzzers under the sanitizers. Forced
// into every native source; the Windows builds never see it.
#pragma once

#include <charconv>
#include <cstdarg>
#include <cstddef>
#include <cwchar>
#include <iterator>
#include <string>

// The runtime these stand in for carries no coverage counters either: the
// fuzzers need not find their way through its digits and format letters.
#define KW_RUNTIME_CODE __attribute__((no_sanitize("coverage")))

// Windows reads "%s" and "%c" in a wide format as wide arguments and "%hs"
// as a narrow one; glibc wants "%ls", "%lc" and "%s".
template <typename Text>
KW_RUNTIME_CODE void WindowsToPosixFormat(const wchar_t* format, Text& posix) {
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
}

// A format's text on the stack while it fits, as nearly all do.
struct FormatBuffer {
  wchar_t text[256];
  size_t length = 0;
  std::wstring more;
  KW_RUNTIME_CODE void operator+=(wchar_t c) {
    if (length + 1 < std::size(text)) {
      text[length++] = c;
    } else {
      if (more.empty()) more.assign(text, length);
      more += c;
    }
  }
  KW_RUNTIME_CODE const wchar_t* c_str() {
    if (!more.empty()) return more.c_str();
    text[length] = L'\0';
    return text;
  }
};

// Whether a conversion of the format is "%s" or "%c", which read differently.
KW_RUNTIME_CODE inline bool HasTextConversion(const wchar_t* format) {
  for (const wchar_t* p = std::wcschr(format, L'%'); p != nullptr; p = std::wcschr(p + 1, L'%')) {
    if (p[1] == L'%') {
      ++p;
      continue;
    }
    while (p[1] != L'\0' && std::wcschr(L"-+ #0123456789.*h", p[1]) != nullptr) ++p;
    if (p[1] == L's' || p[1] == L'c') return true;
  }
  return false;
}

// "%.4f" and the like, the whole format, as std::to_chars writes them: the
// same digits as glibc's, without its wide stream. The fuzzers turn
// thousands of doubles into text per input.
KW_RUNTIME_CODE inline int FormatFixed(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
  const wchar_t* p = format + (format[1] == L'0' ? 2 : 1);
  if (p[0] != L'.' || p[1] < L'0' || p[1] > L'9' || p[2] != L'f' || p[3] != L'\0') return -2;
  char text[400];
  const std::to_chars_result made =
      std::to_chars(text, text + sizeof(text), va_arg(args, double), std::chars_format::fixed, p[1] - L'0');
  if (made.ec != std::errc()) return -2;
  const size_t length = static_cast<size_t>(made.ptr - text);
  for (size_t i = 0; i < length && i < count; ++i) buffer[i] = static_cast<wchar_t>(text[i]);
  if (length <= count || count == 0) buffer[length <= count ? length : 0] = L'\0';
  return length <= count ? static_cast<int>(length) : -1;  // cut as glibc does: no terminator
}

// Whether every conversion of the format is a bare "%d", "%i", "%u", "%x",
// "%X", "%s", "%c" or "%%": no flags, width, precision or size.
KW_RUNTIME_CODE inline bool IsPlainFormat(const wchar_t* format) {
  for (const wchar_t* p = std::wcschr(format, L'%'); p != nullptr; p = std::wcschr(p + 2, L'%')) {
    if (p[1] == L'\0' || std::wcschr(L"%diuxXsc", p[1]) == nullptr) return false;
  }
  return true;
}

// Characters into the caller's buffer while they fit, counting them all.
struct PlainOutput {
  wchar_t* buffer;
  size_t count;
  size_t length = 0;
  KW_RUNTIME_CODE void Put(wchar_t c) {
    if (length < count) buffer[length] = c;
    ++length;
  }
  template <typename Number>
  KW_RUNTIME_CODE void PutNumber(Number value, int base, bool upper) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof(digits), value, base).ptr;
    for (const char* d = digits; d < end; ++d) Put(static_cast<wchar_t>(upper && *d >= 'a' ? *d - 'a' + 'A' : *d));
  }
};

// A plain format (see above) as glibc writes it, without its wide stream:
// most of the program's formats are such.
KW_RUNTIME_CODE inline int FormatPlain(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
  PlainOutput out{buffer, count};
  for (const wchar_t* p = format; *p != L'\0'; ++p) {
    if (*p != L'%') {
      out.Put(*p);
      continue;
    }
    switch (*++p) {
      case L'd':
      case L'i':
        out.PutNumber(va_arg(args, int), 10, false);
        break;
      case L'u':
        out.PutNumber(va_arg(args, unsigned), 10, false);
        break;
      case L'x':
      case L'X':
        out.PutNumber(va_arg(args, unsigned), 16, *p == L'X');
        break;
      case L's': {
        const wchar_t* text = va_arg(args, const wchar_t*);
        for (text = text != nullptr ? text : L"(null)"; *text != L'\0'; ++text) out.Put(*text);
        break;
      }
      case L'c':
        out.Put(static_cast<wchar_t>(va_arg(args, int)));
        break;
      default:
        out.Put(L'%');
        break;
    }
  }
  if (out.length > count) return -1;  // cut as glibc does: no terminator
  buffer[out.length] = L'\0';
  return static_cast<int>(out.length);
}

// At most `count` characters; -1 when the text does not fit, as on Windows.
// The callers' buffers hold count + 1 characters.
KW_RUNTIME_CODE inline int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args) {
  if (format[0] == L'%') {
    va_list copy;
    va_copy(copy, args);
    const int fixed = FormatFixed(buffer, count, format, copy);
    va_end(copy);
    if (fixed != -2) return fixed;
  }
  if (IsPlainFormat(format)) return FormatPlain(buffer, count, format, args);
  // Formats without a text argument read the same on both; most of them need no copy.
  if (!HasTextConversion(format)) return std::vswprintf(buffer, count + 1, format, args);
  FormatBuffer posix;
  WindowsToPosixFormat(format, posix);
  return std::vswprintf(buffer, count + 1, posix.c_str(), args);
}
