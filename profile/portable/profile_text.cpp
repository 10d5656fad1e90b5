// Encoding detection, UTF-8 validation and the forbidden-character filter
// for profile bytes.
#include "profile/portable/profile_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

static uint8_t ByteAt(const char* bytes, size_t index) { return static_cast<uint8_t>(bytes[index]); }

static bool StartsWith(const char* bytes, size_t size, const char* prefix, size_t length) {
  return size >= length && std::memcmp(bytes, prefix, length) == 0;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

static bool SameNameIgnoringCase(const std::string& name, const char* lower) {
  if (name.size() != std::strlen(lower)) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (LowerAscii(name[i]) != lower[i]) return false;
  }
  return true;
}

// Length of the valid UTF-8 sequence at `index`, 0 when it is not valid.
static size_t ValidSequenceLength(const char* bytes, size_t size, size_t index) {
  const uint8_t lead = ByteAt(bytes, index);
  size_t length;
  uint8_t low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (size - index < length) return 0;
  const uint8_t second = ByteAt(bytes, index + 1);
  if (second < low || second > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((ByteAt(bytes, index + i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// Whether the 8 bytes at `bytes` are all printable ASCII (0x20 to 0x7F),
// which neither the UTF-8 check nor the filter has to look at one by one.
static bool PrintableAsciiWord(const char* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof(word));
  return (((word - 0x2020202020202020ULL) | word) & 0x8080808080808080ULL) == 0;
}

bool IsValidUtf8(const char* bytes, size_t size) {
  size_t index = 0;
  while (index < size) {
    if (size - index >= 8 && PrintableAsciiWord(bytes + index)) {
      index += 8;
      continue;
    }
    if (ByteAt(bytes, index) < 0x80) {
      ++index;
      continue;
    }
    const size_t length = ValidSequenceLength(bytes, size, index);
    if (length == 0) return false;
    index += length;
  }
  return true;
}

std::string DeclaredEncodingName(const char* bytes, size_t size) {
  if (!StartsWith(bytes, size, "<?xml", 5) || size < 6 || !IsBlank(bytes[5])) return {};
  const char* end = static_cast<const char*>(std::memchr(bytes, '>', size));
  if (!end) return {};
  const std::string declaration(bytes, end);
  const size_t key = declaration.find("encoding");
  if (key == std::string::npos) return {};
  size_t at = key + 8;
  while (at < declaration.size() && IsBlank(declaration[at])) ++at;
  if (at >= declaration.size() || declaration[at] != '=') return {};
  ++at;
  while (at < declaration.size() && IsBlank(declaration[at])) ++at;
  if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return {};
  const char quote = declaration[at];
  const size_t close = declaration.find(quote, at + 1);
  if (close == std::string::npos) return {};
  return declaration.substr(at + 1, close - at - 1);
}

ProfileTextForm DetectProfileEncoding(const char* bytes, size_t size) {
  ProfileTextForm form;
  if (StartsWith(bytes, size, "\xEF\xBB\xBF", 3)) {
    form.byteOrderMark = true;
    form.declaredName = DeclaredEncodingName(bytes + 3, size - 3);
    return form;
  }
  if (StartsWith(bytes, size, "\xFF\xFE", 2) || StartsWith(bytes, size, "<\0?\0", 4)) {
    form.encoding = ProfileEncoding::Utf16LittleEndian;
    form.byteOrderMark = ByteAt(bytes, 0) == 0xFF;
    return form;
  }
  if (StartsWith(bytes, size, "\xFE\xFF", 2) || StartsWith(bytes, size, "\0<\0?", 4)) {
    form.encoding = ProfileEncoding::Utf16BigEndian;
    form.byteOrderMark = ByteAt(bytes, 0) == 0xFE;
    return form;
  }
  form.declaredName = DeclaredEncodingName(bytes, size);
  if (!form.declaredName.empty()) {
    const bool utf8 = SameNameIgnoringCase(form.declaredName, "utf-8") ||
                      SameNameIgnoringCase(form.declaredName, "utf8");
    if (!utf8) form.encoding = ProfileEncoding::Declared;
    return form;
  }
  if (!IsValidUtf8(bytes, size)) form.encoding = ProfileEncoding::AnsiCodePage;
  return form;
}

static bool IsForbiddenByte(uint8_t b) { return b < 0x20 && IsForbiddenXmlCharacter(b); }

// UTF-8: a forbidden control byte grows into the three bytes of U+FFFD;
// EF BF BE and EF BF BF (U+FFFE, U+FFFF) become EF BF BD in place.
static size_t ReplaceInUtf8(std::string& bytes) {
  size_t replaced = 0, controls = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    while (bytes.size() - i >= 8 && PrintableAsciiWord(bytes.data() + i)) i += 8;
    if (i == bytes.size()) break;
    const uint8_t b = static_cast<uint8_t>(bytes[i]);
    if (IsForbiddenByte(b)) {
      ++controls;
    } else if (b == 0xEF && i + 2 < bytes.size() && static_cast<uint8_t>(bytes[i + 1]) == 0xBF &&
               (static_cast<uint8_t>(bytes[i + 2]) & 0xFE) == 0xBE) {
      bytes[i + 2] = static_cast<char>(0xBD);
      ++replaced;
    }
  }
  if (controls == 0) return replaced;
  std::string result;
  result.reserve(bytes.size() + 2 * controls);
  for (char c : bytes) {
    if (IsForbiddenByte(static_cast<uint8_t>(c))) {
      result += "\xEF\xBF\xBD";
    } else {
      result += c;
    }
  }
  bytes.swap(result);
  return replaced + controls;
}

static size_t ReplaceInUtf16Bytes(std::string& bytes, bool bigEndian) {
  size_t replaced = 0;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const uint8_t first = static_cast<uint8_t>(bytes[i]), second = static_cast<uint8_t>(bytes[i + 1]);
    const uint32_t unit = bigEndian ? (first << 8 | second) : (second << 8 | first);
    if (!IsForbiddenXmlCharacter(unit)) continue;
    bytes[i + (bigEndian ? 0 : 1)] = static_cast<char>(ReplacementCharacter >> 8);
    bytes[i + (bigEndian ? 1 : 0)] = static_cast<char>(ReplacementCharacter & 0xFF);
    ++replaced;
  }
  return replaced;
}

// Another declared encoding (single-byte or ASCII-based multi-byte): the
// control bytes are the forbidden characters there too; "?" exists in all.
static size_t ReplaceInDeclaredBytes(std::string& bytes) {
  size_t replaced = 0;
  for (char& c : bytes) {
    if (IsForbiddenByte(static_cast<uint8_t>(c))) {
      c = '?';
      ++replaced;
    }
  }
  return replaced;
}

size_t ReplaceForbiddenCharacters(std::string& bytes, const ProfileTextForm& form) {
  switch (form.encoding) {
    case ProfileEncoding::Utf8:
      return ReplaceInUtf8(bytes);
    case ProfileEncoding::Utf16LittleEndian:
      return ReplaceInUtf16Bytes(bytes, false);
    case ProfileEncoding::Utf16BigEndian:
      return ReplaceInUtf16Bytes(bytes, true);
    case ProfileEncoding::Declared:
    case ProfileEncoding::AnsiCodePage:
      return ReplaceInDeclaredBytes(bytes);
  }
  return 0;
}

size_t ReplaceForbiddenUnits(char16_t* units, size_t count) {
  size_t replaced = 0;
  for (size_t i = 0; i < count; ++i) {
    if (IsForbiddenXmlCharacter(units[i])) {
      units[i] = static_cast<char16_t>(ReplacementCharacter);
      ++replaced;
    }
  }
  return replaced;
}

namespace {

// The code units of prepared bytes: bytes, or UTF-16 units of either order.
class UnitView {
 public:
  UnitView(const std::string& bytes, ProfileEncoding encoding)
      : bytes_(bytes),
        width_(encoding == ProfileEncoding::Utf16LittleEndian || encoding == ProfileEncoding::Utf16BigEndian ? 2
                                                                                                              : 1),
        bigEndian_(encoding == ProfileEncoding::Utf16BigEndian) {}
  size_t Size() const { return bytes_.size() / width_; }
  uint32_t At(size_t index) const {
    if (index >= Size()) return 0;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes_.data()) + index * width_;
    if (width_ == 1) return p[0];
    return bigEndian_ ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
  }
  // Whether the '<' at `index` may open a declaration, comment, CDATA section
  // or processing instruction ("<!", "<?"); most open or close an element.
  bool OpensSpecialMarkup(size_t index) const {
    const uint32_t next = At(index + 1);
    return next == '!' || next == '?';
  }
  bool Matches(size_t index, const char* text) const {
    for (size_t i = 0; text[i]; ++i) {
      if (At(index + i) != static_cast<uint8_t>(text[i])) return false;
    }
    return true;
  }
  // Index of the next unit `c` (ASCII) from `index`, or Size(); bytes are
  // searched with memchr, most of a profile being text between tags.
  // Searched up to `limit` only, which is returned when none is found.
  size_t Next(size_t index, char c, size_t limit = SIZE_MAX) const {
    limit = std::min(limit, Size());
    if (index >= limit) return limit;
    if (width_ == 1) {
      const void* found = std::memchr(bytes_.data() + index, c, limit - index);
      return found ? static_cast<size_t>(static_cast<const char*>(found) - bytes_.data()) : limit;
    }
    while (index < limit && At(index) != static_cast<uint8_t>(c)) ++index;
    return index;
  }
  // Index just after the next `end` from `index`, or Size().
  size_t After(size_t index, const char* end) const {
    const size_t length = std::strlen(end);
    for (index = Next(index, end[0]); index < Size(); index = Next(index + 1, end[0])) {
      if (Matches(index, end)) return index + length;
    }
    return Size();
  }

 private:
  const std::string& bytes_;
  size_t width_;
  bool bigEndian_;
};

}  // namespace

// The line and position of `index`, counted from `first`.
static PrologPlace PlaceAt(const UnitView& units, size_t first, size_t index, PrologEnd end) {
  PrologPlace place;
  place.end = end;
  for (size_t i = first; i < index; ++i) {
    if (units.At(i) == '\n') {
      ++place.line;
      place.position = 1;
    } else {
      ++place.position;
    }
  }
  return place;
}

static size_t FirstAfterMark(const UnitView& units) {
  if (units.Matches(0, "\xEF\xBB\xBF")) return 3;
  return units.At(0) == 0xFEFF ? 1 : 0;
}

PrologPlace ScanProlog(const std::string& bytes, ProfileEncoding encoding) {
  const UnitView units(bytes, encoding);
  const size_t first = FirstAfterMark(units);
  size_t index = first;
  while (index < units.Size()) {
    const uint32_t unit = units.At(index);
    if (unit == ' ' || unit == '\t' || unit == '\r' || unit == '\n') {
      ++index;
    } else if (units.Matches(index, "<?")) {
      index = units.After(index + 2, "?>");
    } else if (units.Matches(index, "<!--")) {
      index = units.After(index + 4, "-->");
    } else {
      break;
    }
  }
  if (index >= units.Size()) return PlaceAt(units, first, index, PrologEnd::EndOfInput);
  if (units.Matches(index, "<!DOCTYPE")) return PlaceAt(units, first, index, PrologEnd::DocumentType);
  return PrologPlace();
}

PrologPlace FindUnendedMarkup(const std::string& bytes, ProfileEncoding encoding) {
  static const struct {
    const char* start;
    const char* end;
  } kinds[] = {{"<?", "?>"}, {"<!--", "-->"}, {"<![CDATA[", "]]>"}};
  const UnitView units(bytes, encoding);
  const size_t first = FirstAfterMark(units);
  for (size_t index = units.Next(first, '<'); index < units.Size(); index = units.Next(index + 1, '<')) {
    if (!units.OpensSpecialMarkup(index)) continue;
    for (const auto& kind : kinds) {
      if (!units.Matches(index, kind.start)) continue;
      const size_t from = index + std::strlen(kind.start);
      const size_t endLength = std::strlen(kind.end);
      const size_t end = units.After(from, kind.end);
      // After() gives Size() both for an end found at the very end and for none.
      if (end < from + endLength || !units.Matches(end - endLength, kind.end)) {
        return PlaceAt(units, first, index, PrologEnd::EndOfInput);
      }
      index = end - 1;  // what lies inside is not markup
      break;
    }
  }
  return PrologPlace();
}

// Index of the '>' that ends the tag starting at `index`, quoted attribute
// values skipped; Size() when the bytes end first.
static size_t TagEnd(const UnitView& units, size_t index) {
  // Most tags hold no quote: the first '>' ends them.
  const size_t close = units.Next(index, '>');
  if (close < units.Size() && units.Next(index, '"', close) == close && units.Next(index, '\'', close) == close) {
    return close;
  }
  uint32_t quote = 0;
  for (; index < units.Size(); ++index) {
    const uint32_t unit = units.At(index);
    if (quote != 0) {
      if (unit == quote) quote = 0;
    } else if (unit == '"' || unit == '\'') {
      quote = unit;
    } else if (unit == '>') {
      return index;
    }
  }
  return units.Size();
}

bool EndsInsideRoot(const std::string& bytes, ProfileEncoding encoding) {
  static const struct {
    const char* start;
    const char* end;
  } skipped[] = {{"<!--", "-->"}, {"<?", "?>"}, {"<![CDATA[", "]]>"}};
  const UnitView units(bytes, encoding);
  size_t depth = 0;
  size_t index = FirstAfterMark(units);
  while ((index = units.Next(index, '<')) < units.Size()) {
    bool markup = false;
    for (const auto& kind : skipped) {
      if (!units.OpensSpecialMarkup(index)) break;
      if (!units.Matches(index, kind.start)) continue;
      index = units.After(index + std::strlen(kind.start), kind.end);
      markup = true;
      break;
    }
    if (markup) continue;
    const size_t end = TagEnd(units, index + 1);
    if (end >= units.Size()) return true;  // the bytes end inside a tag
    if (units.Matches(index, "</")) {
      if (depth > 0) --depth;
    } else if (!units.Matches(index, "<!") && units.At(end - 1) != '/') {
      ++depth;
    }
    index = end + 1;
  }
  return depth > 0;
}
