// Wide formatting through the runtime's Windows-style _vsnwprintf, so the
// formats read as they do on Windows whatever MinGW's stdio setting is.
#include "app/portable/text_format.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <vector>

static int FormatVa(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args) {
  return _vsnwprintf(buffer, capacity, format, args);
}

std::wstring FormatText(const wchar_t* format, ...) {
  // Nearly every text fits the stack buffer; only longer ones pay for the heap.
  wchar_t small[256];
  va_list args;
  va_start(args, format);
  const int fitted = FormatVa(small, std::size(small) - 1, format, args);
  va_end(args);
  if (fitted >= 0 && static_cast<size_t>(fitted) < std::size(small) - 1) return std::wstring(small, fitted);
  std::vector<wchar_t> buffer(std::size(small) * 2);
  for (;;) {
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

void AppendDecimal(std::wstring& text, int64_t value) {
  wchar_t digits[20];  // 19 digits and a sign
  wchar_t* first = digits + 20;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = L'-';
  text.append(first, digits + 20);
}

std::wstring DecimalText(int64_t value) {
  std::wstring text;
  AppendDecimal(text, value);
  return text;
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

// ---------------------------------------------------------------- UTF-8

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

static bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
static bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint32_t>(text[++i]) - 0xDC00);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

static bool StartsWith(std::wstring_view text, std::wstring_view start) {
  return text.size() >= start.size() && text.substr(0, start.size()) == start;
}

// The end of the share of "\\server\share..." starting at `at` (the server's
// first character); npos without a server and a share.
static size_t ShareEnd(std::wstring_view path, size_t at) {
  const size_t server = path.find(L'\\', at);
  if (server == std::wstring_view::npos || server == at || server + 1 >= path.size()) return std::wstring_view::npos;
  const size_t share = path.find(L'\\', server + 1);
  if (share == server + 1) return std::wstring_view::npos;
  return share == std::wstring_view::npos ? path.size() : share;
}

static bool IsDrive(std::wstring_view path, size_t at) {
  return path.size() >= at + 2 && path[at + 1] == L':' &&
         ((path[at] >= L'A' && path[at] <= L'Z') || (path[at] >= L'a' && path[at] <= L'z'));
}

size_t PathRootLength(std::wstring_view path) {
  if (StartsWith(path, L"\\\\?\\UNC\\")) return ShareEnd(path, 8);
  if (StartsWith(path, L"\\\\?\\")) return IsDrive(path, 4) ? 6 : std::wstring_view::npos;
  if (StartsWith(path, L"\\\\")) return ShareEnd(path, 2);
  if (IsDrive(path, 0)) return 2;
  return path.empty() || path[0] != L'\\' ? 0 : std::wstring_view::npos;
}

std::wstring LongPathForm(std::wstring_view path) {
  std::wstring text(path);
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  if (StartsWith(text, L"\\\\?\\")) return text;
  if (StartsWith(text, L"\\\\") && PathRootLength(text) != std::wstring::npos) return L"\\\\?\\UNC\\" + text.substr(2);
  if (IsDrive(text, 0) && text.size() > 2 && text[2] == L'\\') return L"\\\\?\\" + text;
  return text;
}
