// Encoding detection, UTF-8 validation and the forbidden-character filter.
#include <gtest/gtest.h>

#include "profile/portable/profile_text.h"

namespace {

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }
#define B(literal) Bytes(literal, sizeof(literal) - 1)

TEST(ProfileTextTest, DetectsEncoding) {
  struct Case {
    std::string bytes;
    ProfileEncoding encoding;
    bool mark;
    const char* declared;
  } cases[] = {
      {B("<profile/>"), ProfileEncoding::Utf8, false, ""},
      {B(""), ProfileEncoding::Utf8, false, ""},
      {B("<p>M\xC3\xBCller</p>"), ProfileEncoding::Utf8, false, ""},
      {B("<p>M\xFCller</p>"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<?xml version=\"1.0\"?><p>\xE9</p>"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("\xEF\xBB\xBF<p>\xFC</p>"), ProfileEncoding::Utf8, true, ""},
      {B("<?xml version=\"1.0\" encoding=\"UTF-8\"?><p>\xFC</p>"), ProfileEncoding::Utf8, false, "UTF-8"},
      {B("<?xml version='1.0' encoding = 'ISO-8859-1' ?><p>\xFC</p>"), ProfileEncoding::Declared, false,
       "ISO-8859-1"},
      {B("\xFF\xFE<\0p\0/\0>\0"), ProfileEncoding::Utf16LittleEndian, true, ""},
      {B("\xFE\xFF\0<\0p\0/\0>"), ProfileEncoding::Utf16BigEndian, true, ""},
      {B("<\0?\0x\0m\0l\0"), ProfileEncoding::Utf16LittleEndian, false, ""},
      {B("\0<\0?\0x\0m\0l"), ProfileEncoding::Utf16BigEndian, false, ""},
      // A declaration counts only at the start.
      {B("<?xml encoding='utf-8' version='1.0'?><p>\xFC</p>"), ProfileEncoding::Utf8, false, "utf-8"},
      {B("<?xml version=\"1.0\"?><a encoding=\"x\">\xFC</a>"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<a/><?xml version=\"1.0\" encoding=\"x\"?>\xFC"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<?xml-stylesheet encoding=\"x\"?>\xFC"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<?xml version=\"1.0\" encoding=\"utf-8\xFC"), ProfileEncoding::AnsiCodePage, false, ""},
      // UTF-8 is valid only when strict: ä € 😀 and U+10FFFF are, overlong forms,
      // surrogates, code points above U+10FFFF and cut sequences are not.
      {B("\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"), ProfileEncoding::Utf8, false, ""},
      {B("<p>\xE0\x80\x80</p>"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<p>\xED\xA0\x80</p>"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<p>\xF4\x90\x80\x80</p>"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<p>\xE2\x82</p>"), ProfileEncoding::AnsiCodePage, false, ""},
      {B("<p>\x80</p>"), ProfileEncoding::AnsiCodePage, false, ""},
  };
  for (const Case& c : cases) {
    const ProfileTextForm form = DetectProfileEncoding(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(form.encoding, c.encoding) << c.bytes;
    EXPECT_EQ(form.byteOrderMark, c.mark) << c.bytes;
    EXPECT_EQ(form.declaredName, c.declared) << c.bytes;
  }
}

std::string Utf8Of(uint32_t point) {
  std::string text;
  if (point < 0x80) {
    text += static_cast<char>(point);
  } else if (point < 0x800) {
    text += static_cast<char>(0xC0 | point >> 6);
    text += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    text += static_cast<char>(0xE0 | point >> 12);
    text += static_cast<char>(0x80 | (point >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (point & 0x3F));
  }
  return text;
}

std::string Utf16Of(uint32_t point, bool big) {
  const char high = static_cast<char>(point >> 8), low = static_cast<char>(point & 0xFF);
  return big ? std::string{high, low} : std::string{low, high};
}

// Every character XML 1.0 forbids, next to allowed neighbours, in every form
// the filter handles: nothing forbidden remains and the rest is unchanged.
TEST(ProfileTextTest, TheParserNeverReceivesAForbiddenCharacter) {
  std::vector<uint32_t> points;
  for (uint32_t c = 0; c < 0x20; ++c) points.push_back(c);
  for (uint32_t c : {0x20u, 0x7Fu, 0xE4u, 0x20ACu, 0xFFFDu, 0xFFFEu, 0xFFFFu}) points.push_back(c);
  for (ProfileEncoding encoding :
       {ProfileEncoding::Utf8, ProfileEncoding::Utf16LittleEndian, ProfileEncoding::Utf16BigEndian}) {
    auto encode = [encoding](uint32_t c) {
      return encoding == ProfileEncoding::Utf8 ? Utf8Of(c) : Utf16Of(c, encoding == ProfileEncoding::Utf16BigEndian);
    };
    std::string bytes, expected;
    for (uint32_t c : points) {
      bytes += encode(c);
      const bool forbidden = c < 0x20 ? c != 0x09 && c != 0x0A && c != 0x0D : c == 0xFFFE || c == 0xFFFF;
      expected += encode(forbidden ? 0xFFFD : c);
    }
    ProfileTextForm form;
    form.encoding = encoding;
    EXPECT_EQ(ReplaceForbiddenCharacters(bytes, form), 29u + 2u);
    EXPECT_EQ(bytes, expected) << int(encoding);
  }
}

TEST(ProfileTextTest, ForbiddenControlBytesOfADeclaredEncodingBecomeQuestionMarks) {
  std::string bytes = B("<a>\x18x\x09\xFC\x00</a>");
  ProfileTextForm form;
  form.encoding = ProfileEncoding::Declared;
  EXPECT_EQ(ReplaceForbiddenCharacters(bytes, form), 2u);
  EXPECT_EQ(bytes, B("<a>?x\x09\xFC?</a>"));
}

struct PlaceCase {
  std::string bytes;
  ProfileEncoding encoding;
  PrologPlace place;
};

// A place in the content carries no line and position.
void ExpectPlaces(const std::vector<PlaceCase>& cases, PrologPlace (*find)(const std::string&, ProfileEncoding)) {
  for (const PlaceCase& c : cases) {
    const PrologPlace place = find(c.bytes, c.encoding);
    EXPECT_EQ(place.end, c.place.end) << c.bytes;
    if (c.place.end == PrologEnd::Content) continue;
    EXPECT_EQ(place.line, c.place.line) << c.bytes;
    EXPECT_EQ(place.position, c.place.position) << c.bytes;
  }
}

TEST(ProfileTextTest, ScansThePrologForADocumentTypeAndItsEnd) {
  const PrologEnd Content = PrologEnd::Content, Dtd = PrologEnd::DocumentType, End = PrologEnd::EndOfInput;
  const std::vector<PlaceCase> cases = {
      {B("<!DOCTYPE p><p/>"), ProfileEncoding::Utf8, {Dtd, 1, 1}},
      {B("\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!-- a\nb --> <!DOCTYPE p [<!ENTITY a \"x\">]><p/>"),
       ProfileEncoding::Utf8, {Dtd, 3, 7}},
      {B("\xFF\xFE \0<\0!\0D\0O\0C\0T\0Y\0P\0E\0"), ProfileEncoding::Utf16LittleEndian, {Dtd, 1, 2}},
      {B("\0<\0!\0D\0O\0C\0T\0Y\0P\0E"), ProfileEncoding::Utf16BigEndian, {Dtd, 1, 1}},
      {B("<p><!DOCTYPE p></p>"), ProfileEncoding::Utf8, {Content, 1, 1}},
      {B("<!-- <!DOCTYPE p> --><p/>"), ProfileEncoding::Utf8, {Content, 1, 1}},
      {B("\xEF\xBB\xBF"), ProfileEncoding::Utf8, {End, 1, 1}},
      {B("<?xml version=\"1.0\"?>"), ProfileEncoding::Utf8, {End, 1, 22}},
      {B("<?xml version=\"1.0\"?>\r\n<!-- c -->\r\n"), ProfileEncoding::Utf8, {End, 3, 1}},
      {B("<!-- never closed"), ProfileEncoding::Utf8, {End, 1, 18}},
  };
  ExpectPlaces(cases, ScanProlog);
}

// Wine's XML reader waits forever for the end of any of these.
TEST(ProfileTextTest, FindsTheFirstUnendedInstructionCommentOrSection) {
  const PrologEnd Content = PrologEnd::Content, End = PrologEnd::EndOfInput;
  const std::vector<PlaceCase> cases = {
      {B("<p><A>1<?L"), ProfileEncoding::Utf8, {End, 1, 8}},
      {B("<p>\r\n<A>1<?Led5>11</Led5></p>"), ProfileEncoding::Utf8, {End, 2, 5}},
      {B("<p><!-- x --><A><!-- y</A></p>"), ProfileEncoding::Utf8, {End, 1, 17}},
      {B("<p><A><![CDATA[ x</A></p>"), ProfileEncoding::Utf8, {End, 1, 7}},
      {B("<p><?>"), ProfileEncoding::Utf8, {End, 1, 4}},
      {B("<p><!-->"), ProfileEncoding::Utf8, {End, 1, 4}},
      {B("\xFF\xFE<\0p\0>\0<\0?\0x\0"), ProfileEncoding::Utf16LittleEndian, {End, 1, 4}},
      {B("<p><?x y?><!-- <? --><![CDATA[<!--]]></p>"), ProfileEncoding::Utf8, {Content, 1, 1}},
      {B("<p><A>1</A><?x?>"), ProfileEncoding::Utf8, {Content, 1, 1}},
      {B("<p>a &lt; b</p>"), ProfileEncoding::Utf8, {Content, 1, 1}},
  };
  ExpectPlaces(cases, FindUnendedMarkup);
}

TEST(ProfileTextTest, TellsWhetherTheBytesEndInsideTheRoot) {
  struct Case {
    std::string bytes;
    ProfileEncoding encoding;
    bool inside;
  } cases[] = {
      {B("<p><A>1</A></p>\r\n"), ProfileEncoding::Utf8, false},
      {B("<?xml version=\"1.0\"?><p a=\"x>/\"><A/><!-- <B> --><![CDATA[<C>]]><?x <D>?></p><!-- e -->"),
       ProfileEncoding::Utf8, false},
      {B("<p/>"), ProfileEncoding::Utf8, false},
      {B("<p><A>1</A></p>trailing"), ProfileEncoding::Utf8, false},
      {B("<p><A>12"), ProfileEncoding::Utf8, true},
      {B("<p><A>1</A> "), ProfileEncoding::Utf8, true},
      {B("<p><A>1<B/>"), ProfileEncoding::Utf8, true},
      {B("<p><A x=\"1>"), ProfileEncoding::Utf8, true},
      {B("<p><A>1</A></p><q"), ProfileEncoding::Utf8, true},
      {B("\xFF\xFE<\0p\0>\0"), ProfileEncoding::Utf16LittleEndian, true},
      {B("\0<\0p\0/\0>"), ProfileEncoding::Utf16BigEndian, false},
  };
  for (const Case& c : cases) EXPECT_EQ(EndsInsideRoot(c.bytes, c.encoding), c.inside) << c.bytes;
}

}  // namespace
