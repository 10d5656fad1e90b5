// printf-style formatting of wide texts with the Windows meaning of the
// conversions ("%s" takes a wide string), into owned or fixed-size buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

std::wstring FormatText(const wchar_t* format, ...);

// Formats into a caller's fixed buffer of `capacity` characters. A result
// that does not fit is cut and always zero-terminated. Returns false when
// the text was cut.
bool FormatInto(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);

// A whole number as "%d" or "%lld" writes it, for the texts made often
// enough that the runtime's formatting shows.
void AppendDecimal(std::wstring& text, int64_t value);
std::wstring DecimalText(int64_t value);

// Copies at most capacity - 1 characters and the terminator. Returns false
// when the source was cut.
bool CopyText(wchar_t* buffer, size_t capacity, const wchar_t* source);

// One code point (below 0x110000, no surrogate) appended as UTF-8.
void AppendUtf8(std::string& out, uint32_t c);

// UTF-16 (Windows) or UTF-32 (elsewhere) text as UTF-8; a lone surrogate
// becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);

// Length of the root of a Windows path, the part no folder can be made in:
// "C:" of "C:\a", "\\server\share" of "\\server\share\a", "\\?\C:" and
// "\\?\UNC\server\share" of their long forms; 0 for a relative path. A path
// that starts with a backslash without naming a drive or share gives npos.
size_t PathRootLength(std::wstring_view path);

// The form of an absolute path that the system takes beyond 259
// characters: "\\?\C:\..." or "\\?\UNC\server\share\..."; a path already in
// that form, and a relative one, stay as they are. Forward slashes become
// backslashes (the long form takes no other).
std::wstring LongPathForm(std::wstring_view path);
