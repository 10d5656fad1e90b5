// printf-style formatting of wide texts with the Windows meaning of the
// conversions ("%s" takes a wide string), into owned or fixed-size buffers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::wstring FormatText(const wchar_t* format, ...);

// Formats into a caller's fixed buffer of `capacity` characters. A result
// that does not fit is cut and always zero-terminated. Returns false when
// the text was cut.
bool FormatInto(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);

// Copies at most capacity - 1 characters and the terminator. Returns false
// when the source was cut.
bool CopyText(wchar_t* buffer, size_t capacity, const wchar_t* source);

// UTF-16 (Windows) or UTF-32 (elsewhere) text as UTF-8; a lone surrogate
// becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
