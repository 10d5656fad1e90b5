// The profile reader on real files: entries, encodings, limits, bad input,
// messages and the key lookup; and a bounded mutation run over generated,
// real-shaped profiles (truncations, bit flips, deep nesting, huge values,
// forbidden characters, DTDs), each of which must end in success without a
// message or in failure with exactly one, never in a crash or a hang.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "profile/profile_reader.h"
#include "tests/profile/profile_entries.h"
#include "tests/support/temp_folder.h"
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
  void SetUp() override { LanguageIndex = English; }
  void TearDown() override { ReleaseAllProfiles(); }
  int Read(const std::string& bytes, int slot = FirstProfileSlot) {
    WriteBytes(path_, bytes);
    return ReadProfile(slot, path_.c_str());
  }
  TempFolder folder_;
  std::wstring path_ = folder_.Path(L"profile.xml");
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
  EXPECT_EQ(messages.Shown(),
            (std::vector<ShownMessage>{{L"Element-Tiefe überschritten. Abbruch", L"Kestrelwood Fehler", MB_ICONERROR}}));
}

// Bad input never crashes: it fails with one message. A document that
// breaks off keeps what was complete and says where it broke; a DTD is
// refused where it stands, so no entity is ever expanded.
TEST_F(ProfileReaderTest, BadInputFailsWithOneMessage) {
  const std::string whole = ListOf(100);
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919 + i / 13) & 0xFF);
  struct Case {
    std::string bytes;
    uint32_t kept;
    const wchar_t* text;  // the start of the message
  } cases[] = {
      {whole.substr(0, whole.find("<K70>") + 7), 70, L"Error reading xml at line 1, position "},
      {"<profile>\r\n<A><B>1</B></A>\r\n<A><B>2</C></A></profile>", 1, L"Error reading xml at line 3, position "},
      {"<?xml version=\"1.0\"?>\r\n  <!DOCTYPE profile [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
       "<profile><A><B>&b;</B></A></profile>", 0,
       L"Error reading xml at line 2, position 3, error is c00cee4f"},
      {"", 0, L""},
      {binary, 0, L""},
      {"<profile/><profile/>", 1, L""},
      {"<?xml version=\"1.0\"?>\r\n<!-- Mach3 -->\r\n", 0, L""},
      {"<profile><A><B>1</B></A></profile>trailing", 1, L""},
      {"<!-- Fr\xE4se -->\r\n", 0, L""},                                                     // ANSI, no root
      {"<!DOCTYPE profile>\r\n<profile><A><B>Fr\xE4se</B></A></profile>", 0, L""},  // ANSI document type
  };
  for (const Case& c : cases) {
    messages.Clear();
    EXPECT_EQ(Read(c.bytes), 0) << c.bytes;
    EXPECT_EQ(ProfileSlots[0].Count(), c.kept) << c.bytes;
    ASSERT_EQ(messages.Messages().size(), 1u) << c.bytes;
    const RecordedMessage& message = messages.Messages()[0];
    EXPECT_EQ(message.text.rfind(c.text, 0), 0u) << message.text;
    EXPECT_NE(message.text.find(L", error is c00c"), std::wstring::npos) << message.text;
    EXPECT_EQ(message.caption, SelectText(CaptionError));
    EXPECT_EQ(message.style, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(message.owner, MainWindow);
  }
}

// A missing file is reported with the system's code; a file Mach3 holds
// open for writing still reads.
TEST_F(ProfileReaderTest, AMissingFileIsReportedAndAHeldOneReads) {
  EXPECT_EQ(ReadProfile(0, (path_ + L".missing").c_str()), 0);
  EXPECT_EQ(ProfileSlots[0].Capacity(), 0u);
  EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{{L"Error creating file reader, error is 80070002",
                                                          L"Kestrelwood Error", MB_ICONERROR}}));
  WriteBytes(path_, "<profile><A><B>1</B></A></profile>");
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
// Characters XML forbids read as U+FFFD (a real profile had U+0018 in
// "LastUser"; Windows' XmlLite stops there).
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
      {"UTF-8, forbidden", BYTES("<profile><A><B>ab\x18" "c\0</B></A></profile>"), L"ab\uFFFDc\uFFFD",
       ProfileEncoding::Utf8},
      {"ANSI, forbidden", "<profile><A><B>\xE4\x18" "c\x01</B></A></profile>", AnsiText("\xE4") + L"\uFFFDc\uFFFD",
       ProfileEncoding::AnsiCodePage},
      {"UTF-16, forbidden", Utf16Bytes(u"<p><A><B>ab\x18" u"c\x01</B></A></p>"), L"ab\uFFFDc\uFFFD",
       ProfileEncoding::Utf16LittleEndian},
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

// A value is cut to the buffer; the guard after it stays untouched.
struct GuardedBuffer {
  wchar_t value[PreferenceCapacity];
  wchar_t guard[4] = {L'#', L'#', L'#', L'#'};
};

TEST_F(ProfileReaderTest, FindPreferenceLooksTwoLevelsDownOnlyAndCutsToTheBuffer) {
  wchar_t kept[PreferenceCapacity] = L"kept";
  EXPECT_EQ(FindPreference(L"Port1Add", kept), 0);  // nothing read yet
  EXPECT_STREQ(kept, L"kept");
  ASSERT_EQ(Read("<profile><Wrongsection><Port1Add>1</Port1Add></Wrongsection>"
                 "<Preferences><Deeper><Port1Add>2</Port1Add></Deeper></Preferences>"
                 "<Port1Add>3</Port1Add>"
                 "<Preferences><port1add>4</port1add><Port1Add>888</Port1Add><Port1Add>632</Port1Add>"
                 "<DefDir>" + std::string(400, 'x') + "</DefDir><Short>" + std::string(259, 'y') + "</Short>"
                 "</Preferences><AnotherOne1><Port2Add>5</Port2Add></AnotherOne1></profile>"),
            1);
  struct Case {
    const wchar_t* key;
    bool found;
    std::wstring value;
  } cases[] = {
      {L"Port1Add", true, L"888"},  // first 24-character match, not the deeper or shorter ones
      {L"Port2Add", true, L"5"},    // any 11-letter section
      {L"PORT1ADD", false, L"unchanged"},
      {L"Port1Ad", false, L"unchanged"},
      {L"", false, L"unchanged"},
      {L"DefDir", true, std::wstring(259, L'x')},
      {L"Short", true, std::wstring(259, L'y')},
  };
  const PreferenceIndex index(ProfileSlots[FirstProfileSlot]);  // the settings table's form, same answers
  for (const Case& c : cases) {
    GuardedBuffer value = {L"unchanged"}, indexed = {L"unchanged"};
    EXPECT_EQ(FindPreference(c.key, value.value), c.found ? 1 : 0) << c.key;
    EXPECT_EQ(value.value, c.value) << c.key;
    EXPECT_EQ(index.Find(c.key, indexed.value), c.found ? 1 : 0) << c.key;
    EXPECT_EQ(indexed.value, c.value) << c.key;
    EXPECT_EQ(std::wstring(value.guard, 4) + std::wstring(indexed.guard, 4), L"########") << c.key;
  }
}

// ---------------------------------------------------------------- Mutations

// Enough to meet every kind of mutation many times, few enough for well
// under a minute under Wine. The 32-bit build runs emulated, several times
// slower: fewer inputs there, each still meeting every kind many times.
constexpr int MutatedInputs = sizeof(void*) == 8 ? 2000 : 400;
// A read that takes longer hangs (emulated reads take several times longer).
constexpr DWORD HangMs = sizeof(void*) == 8 ? 10000 : 60000;

// The same small generator on every run, so a failure names its input.
class Mutator {
 public:
  explicit Mutator(uint32_t seed) : state_(seed) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1103515245u + 12345u;
    return bound == 0 ? 0 : (state_ >> 8) % bound;
  }
  std::string Mutate(std::string bytes) {
    const size_t at = Next(static_cast<uint32_t>(bytes.size()) + 1);
    switch (Next(8)) {
      case 0:
        return bytes.substr(0, at);
      case 1:
        for (uint32_t flips = 1 + Next(8); flips > 0 && !bytes.empty(); --flips) {
          bytes[Next(static_cast<uint32_t>(bytes.size()))] ^= static_cast<char>(1 << Next(8));
        }
        return bytes;
      case 2: {
        const size_t depth = 200 + Next(200);
        std::string open, close;
        for (size_t i = 0; i < depth; ++i) open += "<N>", close += "</N>";
        const size_t tag = bytes.find("><", at);
        return tag == std::string::npos ? open + bytes + close : bytes.insert(tag + 1, open + "v" + close);
      }
      case 3: {
        const size_t value = bytes.find("</", at);
        const std::string huge(Next(2) ? 300000 : 70000, Next(2) ? '9' : 'x');
        return value == std::string::npos ? bytes + huge : bytes.insert(value, huge);
      }
      case 4: {
        const std::string forbidden[] = {"\x01", std::string(1, '\0'), "\xEF\xBF\xBE", "\x1B[0m", "\xFF\xFE"};
        return bytes.insert(at, forbidden[Next(5)]);
      }
      case 5:
        return "<!DOCTYPE profile [<!ENTITY a \"" + std::string(Next(1000), 'a') + "\">]>" + bytes;
      case 6:
        return bytes.insert(at, bytes.substr(Next(static_cast<uint32_t>(bytes.size())), Next(64)));
      default:
        return "<?xml version=\"1.0\" encoding=\"" + std::string(Next(2) ? "UTF-16" : "x-unknown") + "\"?>" + bytes;
    }
  }

 private:
  uint32_t state_;
};

struct ReadJob {
  std::wstring path;
  int result = -1;
};

DWORD WINAPI ReadOnItsOwnThread(void* parameter) {
  ReadJob* job = static_cast<ReadJob*>(parameter);
  job->result = ReadProfile(FirstProfileSlot, job->path.c_str());
  return 0;
}

// Reads `bytes` as a profile on a thread of its own. A read that has not
// ended after HangMs hangs: the run stops there with the input's name,
// rather than blocking until the test runner gives up.
int ReadWithWatchdog(const std::wstring& path, const std::string& bytes, const std::string& name) {
  WriteBytes(path, bytes);
  ReadJob job{path};
  HANDLE thread = CreateThread(nullptr, 0, ReadOnItsOwnThread, &job, 0, nullptr);
  EXPECT_NE(thread, nullptr);
  if (!thread) return -1;
  if (WaitForSingleObject(thread, HangMs) == WAIT_TIMEOUT) {
    std::fprintf(stderr, "The read of %s hangs; its bytes are in the run's temporary folder.\n", name.c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  CloseHandle(thread);
  return job.result;
}

// The inputs that once failed the reader, kept in fuzz/regressions/read_profile.
std::vector<std::wstring> RegressionInputs() {
  std::vector<std::wstring> paths;
  for (const auto& entry : std::filesystem::directory_iterator(KW_READ_PROFILE_REGRESSIONS)) {
    if (entry.is_regular_file()) paths.push_back(entry.path().wstring());
  }
  return paths;
}

// The kept regression inputs first, then a fixed number of mutated
// profiles from a fixed seed.
TEST(ProfileMutationTest, EveryMutatedProfileEndsWithSuccessOrOneMessage) {
  LanguageIndex = English;
  TempFolder folder;
  const std::wstring path = folder.Path(L"mutated.xml");
  MessageRecorder messages;
  const std::vector<std::wstring> regressions = RegressionInputs();
  ASSERT_FALSE(regressions.empty()) << "no kept input in " << testing::PrintToString(KW_READ_PROFILE_REGRESSIONS);
  for (const std::wstring& kept : regressions) {
    const std::string name = testing::PrintToString(kept);
    messages.Clear();
    const int result = ReadWithWatchdog(path, ReadBytes(kept), name);
    EXPECT_EQ(messages.Messages().size(), result == 1 ? 0u : 1u) << name << ", result " << result;
  }
  Mutator mutator(20261206);
  int failures = 0;
  const int inputs = MutatedInputs;
  for (int i = 0; i < inputs; ++i) {
    std::string bytes = MakeProfileText(MakeProfileEntries({40 + mutator.Next(400), mutator.Next(1000)}));
    for (uint32_t rounds = 1 + mutator.Next(3); rounds > 0; --rounds) bytes = mutator.Mutate(bytes);
    messages.Clear();
    const int result = ReadWithWatchdog(path, bytes, "mutated input " + std::to_string(i));
    EXPECT_EQ(messages.Messages().size(), result == 1 ? 0u : 1u) << "input " << i << ", result " << result;
    failures += result == 1 ? 0 : 1;
  }
  ReleaseAllProfiles();
  EXPECT_GT(failures, inputs / 4);  // the mutations do break documents
  EXPECT_LT(failures, inputs);      // and some stay readable
}

}  // namespace
