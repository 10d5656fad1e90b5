// Encoding of a rewritten profile. XmlLite itself writes only UTF-8 and
// UTF-16 everywhere (Wine's writer knows no code page), so it writes UTF-16
// and the encoding happens here.
#include "plugins/profile_encoding.h"

#include <windows.h>

#include <cstdio>

static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

static std::string Lower(const std::string& text) {
  std::string lower;
  for (char c : text) lower += LowerAscii(c);
  return lower;
}

// The digits after `prefix` ("windows-1252", "cp1252"), 0 if the name is
// not of that form.
static uint32_t NumberAfter(const std::string& name, const char* prefix) {
  const std::string start(prefix);
  if (name.size() <= start.size() || name.compare(0, start.size(), start) != 0) return 0;
  uint32_t number = 0;
  for (size_t i = start.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || number > 100000) return 0;
    number = number * 10 + static_cast<uint32_t>(name[i] - '0');
  }
  return number;
}

static uint32_t CodePageOfName(const std::string& declared) {
  struct NamedCodePage {
    const char* name;
    uint32_t codePage;
  };
  static const NamedCodePage Names[] = {
      {"utf-8", CodePageUtf8},  {"utf-16", CodePageUtf16LittleEndian},
      {"us-ascii", 20127},      {"ascii", 20127},
      {"iso-8859-1", 28591},    {"latin1", 28591},
      {"iso-8859-2", 28592},    {"iso-8859-15", 28605},
      {"shift_jis", 932},       {"gb2312", 936},
      {"big5", 950},            {"ks_c_5601-1987", 949},
  };
  const std::string name = Lower(declared);
  for (const NamedCodePage& row : Names) {
    if (name == row.name) return row.codePage;
  }
  uint32_t number = NumberAfter(name, "windows-");
  if (number == 0) number = NumberAfter(name, "cp");
  return IsValidCodePage(number) ? number : 0;
}

uint32_t CodePageOf(const ProfileTextForm& form) {
  switch (form.encoding) {
    case ProfileEncoding::Utf8:
      return CodePageUtf8;
    case ProfileEncoding::Utf16LittleEndian:
      return CodePageUtf16LittleEndian;
    case ProfileEncoding::Utf16BigEndian:
      return CodePageUtf16BigEndian;
    case ProfileEncoding::Declared:
      return CodePageOfName(form.declaredName);
    case ProfileEncoding::AnsiCodePage:
      return form.ansiCodePage ? form.ansiCodePage : GetACP();
  }
  return 0;
}

// The encoding name the declaration carries; an ANSI profile has no
// declaration, since a code page named there is one that Wine's reader
// cannot read.
static std::wstring DeclaredName(const ProfileTextForm& form) {
  switch (form.encoding) {
    case ProfileEncoding::Utf8:
      return L"utf-8";
    case ProfileEncoding::Utf16LittleEndian:
    case ProfileEncoding::Utf16BigEndian:
      return L"utf-16";
    case ProfileEncoding::Declared:
      return std::wstring(form.declaredName.begin(), form.declaredName.end());
    case ProfileEncoding::AnsiCodePage:
      break;
  }
  return {};
}

static std::wstring WithDeclaration(std::wstring_view document, const ProfileTextForm& form) {
  std::wstring text(document);
  if (text.starts_with(L'\xFEFF')) text.erase(0, 1);  // the mark, if any, is the file's own
  if (!text.starts_with(L"<?xml")) return text;
  const size_t end = text.find(L"?>");
  if (end == std::wstring::npos) return text;
  const std::wstring name = DeclaredName(form);
  if (name.empty()) {
    size_t after = end + 2;
    while (after < text.size() && (text[after] == L'\r' || text[after] == L'\n')) ++after;
    return text.substr(after);
  }
  const size_t key = text.find(L"encoding=\"");
  if (key == std::wstring::npos || key > end) return text;
  const size_t start = key + 10;
  const size_t close = text.find(L'"', start);
  if (close == std::wstring::npos || close > end) return text;
  return text.replace(start, close - start, name);
}

static void AppendUtf16(const std::wstring& text, bool bigEndian, bool mark, std::string& bytes) {
  const auto append = [&](wchar_t unit) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>((unit >> 8) & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  };
  if (mark) append(0xFEFF);
  for (wchar_t unit : text) append(unit);
}

// Converts to the code page; false when any character was not in it.
static bool ConvertExactly(const wchar_t* text, int length, uint32_t codePage, std::string& out) {
  if (length == 0) return true;
  const DWORD flags = codePage == CodePageUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* check = codePage == CodePageUtf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(codePage, flags, text, length, nullptr, 0, nullptr, check);
  if (size <= 0 || usedDefault) return false;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(size));
  WideCharToMultiByte(codePage, flags, text, length, out.data() + at, size, nullptr, nullptr);
  return true;
}

// Character by character, with a reference for each one the code page lacks.
static void ConvertWithReferences(const std::wstring& text, uint32_t codePage, std::string& out) {
  for (size_t i = 0; i < text.size();) {
    const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]);
    const int length = pair ? 2 : 1;
    if (!ConvertExactly(text.data() + i, length, codePage, out)) {
      const uint32_t c = pair ? 0x10000 + ((text[i] - 0xD800u) << 10) + (text[i + 1] - 0xDC00u) : text[i];
      char reference[16];
      std::snprintf(reference, sizeof reference, "&#x%X;", c);
      out += reference;
    }
    i += static_cast<size_t>(length);
  }
}

bool EncodeProfileDocument(std::wstring_view document, const ProfileTextForm& form, std::string& bytes) {
  const uint32_t codePage = CodePageOf(form);
  if (codePage == 0) return false;
  const std::wstring text = WithDeclaration(document, form);
  bytes.clear();
  if (codePage == CodePageUtf16LittleEndian || codePage == CodePageUtf16BigEndian) {
    AppendUtf16(text, codePage == CodePageUtf16BigEndian, form.byteOrderMark, bytes);
    return true;
  }
  if (codePage == CodePageUtf8 && form.byteOrderMark) bytes = "\xEF\xBB\xBF";
  if (!ConvertExactly(text.data(), static_cast<int>(text.size()), codePage, bytes)) {
    bytes.resize(codePage == CodePageUtf8 && form.byteOrderMark ? 3 : 0);
    ConvertWithReferences(text, codePage, bytes);
  }
  return true;
}
