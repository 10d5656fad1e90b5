// The bytes of a profile file before the XML reader sees them: which
// encoding they are in, whether they are valid UTF-8, and the replacement
// of characters that XML 1.0 forbids. Needs no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How a profile's bytes are encoded; kept with the list so a profile can be
// written back the way it was read.
enum class ProfileEncoding : uint8_t {
  Utf8,               // UTF-8, with or without byte-order mark
  Utf16LittleEndian,  // with a byte-order mark, or "<?" as 3C 00 3F 00
  Utf16BigEndian,     // with a byte-order mark, or "<?" as 00 3C 00 3F
  Declared,           // an encoding declaration names another encoding
  AnsiCodePage,       // no mark, no declaration, not valid UTF-8
};

struct ProfileTextForm {
  ProfileEncoding encoding = ProfileEncoding::Utf8;
  bool byteOrderMark = false;
  std::string declaredName;  // as written in the declaration, if any
  uint32_t ansiCodePage = 0;  // the code page an ANSI profile was read in
};

// The encoding of a profile's bytes as the XML reader would see it, with one
// difference: bytes without mark or declaration that are not valid UTF-8 are
// taken as the ANSI code page (Mach3 writes typed umlauts as single bytes).
ProfileTextForm DetectProfileEncoding(const char* bytes, size_t size);

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const char* bytes, size_t size);

// The encoding name of an XML declaration at the very start of the bytes;
// empty when there is no declaration or it names no encoding.
std::string DeclaredEncodingName(const char* bytes, size_t size);

// A character XML 1.0 does not allow in a document: the control characters
// but tab, line feed and carriage return, and U+FFFE and U+FFFF.
constexpr bool IsForbiddenXmlCharacter(uint32_t c) {
  return (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) || c == 0xFFFE || c == 0xFFFF;
}

inline constexpr uint32_t ReplacementCharacter = 0xFFFD;

// Replaces every forbidden character by U+FFFD in place (UTF-8 and UTF-16
// forms), so the document loads alike under every XML reader. In another
// declared encoding U+FFFD may not exist: forbidden control bytes become "?".
// Returns the number of characters replaced.
size_t ReplaceForbiddenCharacters(std::string& bytes, const ProfileTextForm& form);

// The same for text already decoded into UTF-16 code units.
size_t ReplaceForbiddenUnits(char16_t* units, size_t count);

// What ends the prolog of prepared bytes (declaration, comments, processing
// instructions and blanks before the root element), and where, as a line
// and a position in it, both from 1. Some XML readers misbehave on a DTD
// even when DTDs are prohibited, or on a document that ends in its prolog,
// so such documents are refused before any reader sees them.
enum class PrologEnd { Content, DocumentType, EndOfInput };
struct PrologPlace {
  PrologEnd end = PrologEnd::Content;
  uint32_t line = 1;
  uint32_t position = 1;
};
PrologPlace ScanProlog(const std::string& bytes, ProfileEncoding encoding);

// The first processing instruction, comment or CDATA section that the bytes
// never end: EndOfInput with the place where it starts, otherwise Content.
// Wine's XML reader waits forever for the end of one.
PrologPlace FindUnendedMarkup(const std::string& bytes, ProfileEncoding encoding);

// Whether the bytes end with an element still open, or inside a tag: start
// and end tags counted, comments, instructions, CDATA sections and quoted
// attribute values skipped. A well-formed document never does; Wine's XML
// reader may wait forever at such an end.
bool EndsInsideRoot(const std::string& bytes, ProfileEncoding encoding);
