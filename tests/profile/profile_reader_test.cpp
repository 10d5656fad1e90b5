// The profile reader on real files: entries, encodings, limits, bad input,
// messages, and the key lookup.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "profile/profile_reader.h"
#include "tests/profile/profile_entries.h"
#include "tests/support/test_support.h"
#include "tools/profile_generator.h"

namespace {

// Literal bytes, zero bytes included.
#define BYTES(literal) std::string(literal, sizeof(literal) - 1)

// UTF-16LE with its byte-order mark.
std::string Utf16Bytes(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

class ProfileReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"kw_profile_reader_test.xml";
    LanguageIndex = English;
  }
  void TearDown() override {
    ReleaseAllProfiles();
    DeleteFileW(path_.c_str());
  }
  void Write(const std::string& bytes) {
    std::ofstream(path_.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  int Read(const std::string& bytes, int slot = FirstProfileSlot) {
    Write(bytes);
    return ReadProfile(slot, path_.c_str());
  }
  std::wstring path_;
  MessageRecorder messages;
};

// Shape of documents against the entries they make, all read without a message.
TEST_F(ProfileReaderTest, MakesOneEntryPerElementWithText) {
  const wchar_t* const A = L"profile / A / ";
  struct Case {
    const char* xml;
    std::vector<Entry> entries;
  } cases[] = {
      {"<profile/>", {{L"", L"profile", L""}}},
      // "<C></C>" is an empty element like "<D/>"; "<E> </E>" holds whitespace only.
      {"<profile><A><B>1</B><C></C><D/><E> </E></A></profile>", {{A, L"B", L"1"}, {A, L"C", L""}, {A, L"D", L""}}},
      {"<X><![CDATA[5]]></X>", {}},
      {"<profile><A><B><![CDATA[x]]>2</B></A></profile>", {{A, L"B", L"2"}}},
      {"<profile><A><B>&lt;1&amp;&#x41;&#252;</B></A></profile>", {{A, L"B", L"<1&A\u00FC"}}},
      {"<profile><A x=\"1\"><B y='2' z='3'>v</B><E q='r'/></A></profile>", {{A, L"B", L"v"}, {A, L"E", L""}}},
      {"<?xml version=\"1.0\"?><!--c--><profile> <?pi data?><A>\r\n <B>1</B> <!--x--></A></profile>",
       {{A, L"B", L"1"}}},
      {"<profile xmlns:m=\"urn:m\"><m:A><m:B>1</m:B></m:A></profile>", {{A, L"B", L"1"}}},
      // Nested entries come before their parent's; mixed content keeps the last text.
      {"<profile>t<A>u<B>1</B></A></profile>",
       {{A, L"B", L"1"}, {L"profile / ", L"A", L"1"}, {L"", L"profile", L"1"}}},
      {"<profile><A><B>one</B><B>two</B></A><Section1234><K>  x  </K></Section1234></profile>",
       {{A, L"B", L"one"}, {A, L"B", L"two"}, {L"profile / Section1234 / ", L"K", L"  x  "}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.xml), 1) << c.xml;
    EXPECT_EQ(EntriesOf(FirstProfileSlot), c.entries) << c.xml;
  }
  EXPECT_TRUE(messages.Messages().empty());
}

std::string ListOf(int entries) {
  std::string xml = "<profile><S> ";  // a section, even with no entries
  for (int i = 0; i < entries; ++i) xml += "<K" + std::to_string(i) + ">v</K" + std::to_string(i) + ">";
  return xml + "</S></profile>";
}

std::string Nested(int depth) {
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<e>";
  xml += "x";
  for (int i = 0; i < depth; ++i) xml += "</e>";
  return xml;
}

TEST_F(ProfileReaderTest, Accepts255NestedElementsAndRefusesThe256th) {
  ASSERT_EQ(Read(Nested(255)), 1);
  ASSERT_EQ(ProfileSlots[0].Count(), 1u);
  EXPECT_EQ(ProfileSlots[0].records[0].path.size(), 254u * 4);
  EXPECT_TRUE(messages.Messages().empty());

  LanguageIndex = German;
  EXPECT_EQ(Read(Nested(256)), 0);
  EXPECT_EQ(ProfileSlots[0].Capacity(), 0u);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"Element-Tiefe überschritten. Abbruch");
  EXPECT_EQ(messages.Messages()[0].caption, SelectText(CaptionError));
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_ICONERROR));
}

// A document that breaks off keeps what was complete and says where it
// broke; a DTD is refused where it stands, so no entity is ever expanded.
TEST_F(ProfileReaderTest, AMalformedDocumentKeepsItsEntriesAndIsReported) {
  const std::string whole = ListOf(100);
  struct Case {
    std::string bytes;
    uint32_t kept;
    const wchar_t* text;
  } cases[] = {
      {whole.substr(0, whole.find("<K70>") + 7), 70, L"Error reading xml at line 1, position "},
      {"<profile>\r\n<A><B>1</B></A>\r\n<A><B>2</C></A></profile>", 1, L"Error reading xml at line 3, position "},
      {"<?xml version=\"1.0\"?>\r\n  <!DOCTYPE profile [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
       "<profile><A><B>&b;</B></A></profile>", 0,
       L"Error reading xml at line 2, position 3, error is c00cee4f"},
  };
  for (const Case& c : cases) {
    messages.Clear();
    EXPECT_EQ(Read(c.bytes), 0) << c.bytes;
    EXPECT_EQ(ProfileSlots[0].Count(), c.kept) << c.bytes;
    ASSERT_EQ(messages.Messages().size(), 1u);
    const RecordedMessage& message = messages.Messages()[0];
    EXPECT_EQ(message.text.rfind(c.text, 0), 0u) << message.text;
    EXPECT_NE(message.text.find(L", error is c00c"), std::wstring::npos) << message.text;
    EXPECT_EQ(message.caption, SelectText(CaptionError));
    EXPECT_EQ(message.style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(message.owner, MainWindow);
  }
}

// Bad input never crashes: each fails with one error message and an empty list.
TEST_F(ProfileReaderTest, BadInputFailsWithOneMessage) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919 + i / 13) & 0xFF);
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty file", ""},
      {"binary", binary},
      {"two roots", "<profile/><profile/>"},
      {"declaration and comment", "<?xml version=\"1.0\"?>\r\n<!-- Mach3 -->\r\n"},
      {"text after the root", "<profile><A><B>1</B></A></profile>trailing"},
      {"ANSI comment without root", "<!-- Fr\xE4se -->\r\n"},
      {"ANSI document type", "<!DOCTYPE profile>\r\n<profile><A><B>Fr\xE4se</B></A></profile>"},
  };
  for (const Case& c : cases) {
    messages.Clear();
    EXPECT_EQ(Read(c.bytes), 0) << c.name;
    ASSERT_EQ(messages.Messages().size(), 1u) << c.name;
    EXPECT_EQ(messages.Messages()[0].caption, SelectText(CaptionError));
  }
}

// A missing file is reported with the system's code; a file Mach3 holds
// open for writing still reads.
TEST_F(ProfileReaderTest, AMissingFileIsReportedAndAHeldOneReads) {
  EXPECT_EQ(ReadProfile(0, (path_ + L".missing").c_str()), 0);
  EXPECT_EQ(ProfileSlots[0].Capacity(), 0u);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"Error creating file reader, error is 80070002");
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_ICONERROR));
  Write("<profile><A><B>1</B></A></profile>");
  HANDLE held = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadProfile(0, path_.c_str()), 1);
  CloseHandle(held);
  EXPECT_EQ(ProfileSlots[0].Count(), 1u);
}

std::wstring AnsiText(const std::string& bytes) {
  wchar_t text[256] = {};
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text, 255);
  return text;
}

// Encodings as they reach us, each with a value that shows how it was read.
TEST_F(ProfileReaderTest, ReadsEveryEncodingAndRemembersIt) {
  const std::wstring ansiValue = AnsiText("M\xFCller \xE9t\xE9");
  struct Case {
    const char* name;
    std::string bytes;
    std::wstring value;
    ProfileEncoding encoding;
  } cases[] = {
      {"UTF-8", "<profile><A><B>M\xC3\xBCller</B></A></profile>", L"M\u00FCller", ProfileEncoding::Utf8},
      {"UTF-8 with mark", "\xEF\xBB\xBF<profile><A><B>\xE2\x82\xAC</B></A></profile>", L"\u20AC",
       ProfileEncoding::Utf8},
      {"ANSI without declaration", "<profile><A><B>M\xFCller \xE9t\xE9</B></A></profile>", ansiValue,
       ProfileEncoding::AnsiCodePage},
      {"ANSI with a bare declaration", "<?xml version=\"1.0\"?><profile><A><B>M\xFCller \xE9t\xE9</B></A></profile>",
       ansiValue, ProfileEncoding::AnsiCodePage},
      {"UTF-16 with mark", Utf16Bytes(u"<p><A><B>\u00FC</B></A></p>"),
       L"\u00FC", ProfileEncoding::Utf16LittleEndian},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Read(c.bytes), 1) << c.name;
    ASSERT_EQ(ProfileSlots[0].Count(), 1u) << c.name;
    EXPECT_EQ(ProfileSlots[0].records[0].value, c.value) << c.name;
    EXPECT_EQ(ProfileSlots[0].form.encoding, c.encoding) << c.name;
    EXPECT_EQ(ProfileSlots[0].form.ansiCodePage, c.encoding == ProfileEncoding::AnsiCodePage ? GetACP() : 0u);
  }
  EXPECT_TRUE(messages.Messages().empty());
}

// A real profile had U+0018 in "LastUser"; Windows' XmlLite stops there.
TEST_F(ProfileReaderTest, ForbiddenCharactersReadAsReplacementCharacters) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-8", BYTES("<profile><Preferences><LastUser>ab\x18" "c\0</LastUser></Preferences></profile>")},
      {"ANSI", "<profile><Preferences><LastUser>ab\x18" "c\x01</LastUser><N>\xE4</N></Preferences></profile>"},
      {"UTF-16", Utf16Bytes(u"<p><a><L>ab\x18" u"c\x01</L></a></p>")},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Read(c.bytes), 1) << c.name;
    EXPECT_EQ(ProfileSlots[0].records[0].value, L"ab\uFFFDc\uFFFD") << c.name;
  }
  EXPECT_TRUE(messages.Messages().empty());
}

// A generated, real-size profile reads exactly, also with one ANSI byte in a
// value: the decoded text must not go through a form the XML reader
// mishandles. A 20 MB one reads whole.
TEST_F(ProfileReaderTest, ReadsGeneratedProfilesExactly) {
  std::vector<GeneratedEntry> generated = MakeProfileEntries(ProfileShape{});
  for (const std::string lastUser : {"Meier", "M\xFCller"}) {
    generated.back() = {"Preferences", "LastUser", lastUser};
    ASSERT_EQ(Read(MakeProfileText(generated)), 1);
    const std::vector<Entry> entries = EntriesOf(0);
    ASSERT_EQ(entries.size(), generated.size());
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
      const GeneratedEntry& g = generated[i];
      const Entry expected = {L"profile / " + std::wstring(g.section.begin(), g.section.end()) + L" / ",
                              std::wstring(g.name.begin(), g.name.end()), std::wstring(g.value.begin(), g.value.end())};
      ASSERT_EQ(entries[i], expected) << i;
    }
    wchar_t value[PreferenceCapacity] = {};
    ASSERT_EQ(FindPreference(L"LastUser", value), 1);
    EXPECT_EQ(std::wstring(value), lastUser.size() == 5 ? L"Meier" : L"M\u00FCller");
  }
  EXPECT_TRUE(messages.Messages().empty());
  const std::string text = MakeProfileText(ProfileShape{800000, 3});
  ASSERT_GT(text.size(), 20u << 20);
  ASSERT_EQ(Read(text), 1);
  EXPECT_EQ(ProfileSlots[0].Count(), 800000u);
}

// ---------------------------------------------------------------- FindPreference

struct GuardedBuffer {
  wchar_t value[PreferenceCapacity];
  wchar_t guard[4] = {L'#', L'#', L'#', L'#'};
};

TEST_F(ProfileReaderTest, FindPreferenceLooksTwoLevelsDownOnly) {
  wchar_t kept[PreferenceCapacity] = L"kept";
  EXPECT_EQ(FindPreference(L"Port1Add", kept), 0);  // nothing read yet
  EXPECT_STREQ(kept, L"kept");
  ASSERT_EQ(Read("<profile><Wrongsection><Port1Add>1</Port1Add></Wrongsection>"
                 "<Preferences><Deeper><Port1Add>2</Port1Add></Deeper></Preferences>"
                 "<Port1Add>3</Port1Add>"
                 "<Preferences><port1add>4</port1add><Port1Add>888</Port1Add><Port1Add>632</Port1Add></Preferences>"
                 "<AnotherOne1><Port2Add>5</Port2Add></AnotherOne1></profile>"),
            1);
  struct Case {
    const wchar_t* key;
    bool found;
    const wchar_t* value;
  } cases[] = {
      {L"Port1Add", true, L"888"},  // first 24-character match, not the deeper or shorter ones
      {L"Port2Add", true, L"5"},    // any 11-letter section
      {L"PORT1ADD", false, L"unchanged"},
      {L"Port1Ad", false, L"unchanged"},
      {L"", false, L"unchanged"},
  };
  const PreferenceIndex index(ProfileSlots[FirstProfileSlot]);  // the settings table's form, same answers
  for (const Case& c : cases) {
    wchar_t value[PreferenceCapacity] = L"unchanged", indexed[PreferenceCapacity] = L"unchanged";
    EXPECT_EQ(FindPreference(c.key, value), c.found ? 1 : 0) << c.key;
    EXPECT_STREQ(value, c.value) << c.key;
    EXPECT_EQ(index.Find(c.key, indexed), c.found ? 1 : 0) << c.key;
    EXPECT_STREQ(indexed, c.value) << c.key;
  }
}

TEST_F(ProfileReaderTest, FindPreferenceCutsALongValueToTheBuffer) {
  const std::string longValue(400, 'x');
  ASSERT_EQ(Read("<profile><Preferences><DefDir>" + longValue + "</DefDir><Short>" + std::string(259, 'y') +
                 "</Short></Preferences></profile>"),
            1);
  GuardedBuffer buffer;
  EXPECT_EQ(FindPreference(L"DefDir", buffer.value), 1);
  EXPECT_EQ(std::wstring(buffer.value), std::wstring(259, L'x'));
  EXPECT_EQ(std::wstring(buffer.guard, 4), L"####");
  EXPECT_EQ(FindPreference(L"Short", buffer.value), 1);
  EXPECT_EQ(std::wstring(buffer.value), std::wstring(259, L'y'));
}

}  // namespace
