// printf-style formatting of wide texts with the Windows meaning of the
// conversions ("%s" takes a wide string), into owned or fixed-size buffers.
#pragma once

#include <cstddef>
#include <string>

std::wstring FormatText(const wchar_t* format, ...);

// Formats into a caller's fixed buffer of `capacity` characters. A result
// that does not fit is cut and always zero-terminated. Returns false when
// the text was cut.
bool FormatInto(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);

// Copies at most capacity - 1 characters and the terminator. Returns false
// when the source was cut.
bool CopyText(wchar_t* buffer, size_t capacity, const wchar_t* source);
