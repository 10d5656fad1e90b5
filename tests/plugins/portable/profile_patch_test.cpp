// Copying chosen values into a profile's bytes: the change set a selection
// makes, the splice in each encoding, and what is refused; the structure
// check of the profile rewrite.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/portable/plugin_rules.h"
#include "plugins/portable/profile_patch.h"

namespace {

// Latin-1 stands in for an ANSI code page.
bool EncodeLatin1(std::u32string_view text, std::string& out) {
  for (char32_t c : text) {
    if (c > 0xFF) return false;
    out += static_cast<char>(c);
  }
  return true;
}

TEST(ChangeSetOf, ChangesDifferingValuesAddsSourceOnlyKeysAndKeepsTargetOnlyOnes) {
  const std::wstring_view absent;
  const std::vector<ComparedEntry> entries = {
      {L"profile / Preferences", L"A", L"1", L"2"},     // 0 differs
      {L"profile / Preferences", L"B", L"5", L"5"},     // 1 equal
      {L"profile / Preferences", L"A", L"3", L"4"},     // 2 the second A
      {L"profile / Motor0", L"Steps", L"200", absent},  // 3 only in file 1
      {L"profile", L"Empty", absent, L""},              // 4 only in file 2, below the root
  };
  const std::vector<uint32_t> all = {4, 3, 2, 1, 0, 0};
  const auto toSecond = ChangeSetOf(entries, all, true);
  ASSERT_EQ(toSecond.size(), 3u);
  EXPECT_EQ(toSecond[0].section, L"Preferences");
  EXPECT_EQ(toSecond[0].value, L"1");
  EXPECT_FALSE(toSecond[0].add);
  EXPECT_EQ(toSecond[1].occurrence, 1u);
  EXPECT_EQ(toSecond[1].value, L"3");
  EXPECT_EQ(toSecond[2].section, L"Motor0");
  EXPECT_TRUE(toSecond[2].add);
  const auto toFirst = ChangeSetOf(entries, all, false);
  ASSERT_EQ(toFirst.size(), 3u);
  EXPECT_EQ(toFirst[0].value, L"2");
  EXPECT_EQ(toFirst[2].section, L"");
  EXPECT_EQ(toFirst[2].name, L"Empty");
  EXPECT_TRUE(toFirst[2].add);
}

// Everything but the chosen values stays as it was, byte for byte.
TEST(PatchProfileBytes, SplicesTheChosenValuesInEachEncoding) {
  const struct {
    const char* what;
    std::string start;      // byte-order mark or declaration
    std::string umlaut;     // "ä" in the encoding
    bool (*encode)(std::u32string_view, std::string&);
    std::string euro;       // "€" as it comes out
  } encodings[] = {
      {"UTF-8", "", "\xC3\xA4", EncodeUtf8, "\xE2\x82\xAC"},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", "\xC3\xA4",
       EncodeUtf8, "\xE2\x82\xAC"},
      {"ANSI", "", "\xE4", EncodeLatin1, "&#8364;"},
  };
  const std::vector<ProfileChange> changes = {
      {L"Preferences", L"A", L"a<b&c>\r", 0, false},
      {L"Preferences", L"A", L"zweites", 1, false},
      {L"Preferences", L"E", L"x", 0, false},  // written "<E/>"
      {L"Preferences", L"Neu", L"Gr\u00e4\u00dfe \u20ac", 0, true},
      {L"Spindle", L"Max", L"24000", 0, true},
      {L"", L"Top", L"", 0, true},
      {L"Spindle", L"Min", L"0", 0, true},
  };
  for (const auto& e : encodings) {
    const std::string original = e.start + "<profile><Preferences><A>1</A><N>Fr" + e.umlaut +
                                 "se</N><E/><A>2</A> </Preferences><Motor0><Steps>200</Steps></Motor0></profile>";
    const PatchResult result = PatchProfileBytes(original, changes, e.encode);
    ASSERT_EQ(result.refusal, RewriteRefusal::None) << e.what;
    EXPECT_EQ(result.bytes, e.start + "<profile><Preferences><A>a&lt;b&amp;c&gt;&#13;</A><N>Fr" + e.umlaut +
                                "se</N><E>x</E><A>zweites</A> <Neu>Gr" + e.umlaut +
                                (e.encode == EncodeUtf8 ? "\xC3\x9F" : "\xDF") + "e " + e.euro +
                                "</Neu></Preferences><Motor0><Steps>200</Steps></Motor0>"
                                "<Spindle><Max>24000</Max><Min>0</Min></Spindle><Top></Top></profile>")
        << e.what;
    EXPECT_EQ(CheckProfileBytes(result.bytes), RewriteRefusal::None) << e.what;
    EXPECT_EQ(PatchProfileBytes(original, {}, e.encode).bytes, original) << e.what;
  }
}

TEST(PatchProfileBytes, RefusesWhatTheReaderLeavesOutAndWhatItCannotKeep) {
  const struct {
    const char* bytes;
    RewriteRefusal refusal;
  } cases[] = {
      {"<!-- x --><profile><S><A>1</A></S></profile>", RewriteRefusal::Unlisted},
      {"<profile><S><A>1</A></S><?pi x?></profile>", RewriteRefusal::Unlisted},
      {"<profile><S><A><![CDATA[1]]></A></S></profile>", RewriteRefusal::Unlisted},
      {"<profile><S><A> </A></S></profile>", RewriteRefusal::Unlisted},
      {"<profile><S><A>1<!-- x -->2</A></S></profile>", RewriteRefusal::Unlisted},
      {"<profile><S><A>1\x01</A></S></profile>", RewriteRefusal::Unlisted},
      {"<profile><S><A>1</A></S></profile><!-- x -->", RewriteRefusal::Unlisted},
      {"<profile><S a=\"1\"><A>1</A></S></profile>", RewriteRefusal::Structure},
      {"<profile><S><A><B>1</B></A></S></profile>", RewriteRefusal::Structure},
      {"<profile><S>x<A>1</A></S></profile>", RewriteRefusal::Structure},
      {"<profile><S><A>1</B></S></profile>", RewriteRefusal::Structure},
      {"<profile><S><A>1</A></S>", RewriteRefusal::Structure},
      {"<profile><S><X>1</X></S></profile>", RewriteRefusal::Stale},  // the changed A has gone
  };
  const std::vector<ProfileChange> change = {{L"S", L"A", L"2", 0, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(PatchProfileBytes(c.bytes, change, EncodeUtf8).refusal, c.refusal) << c.bytes;
    if (c.refusal != RewriteRefusal::Stale) {
      EXPECT_EQ(CheckProfileBytes(c.bytes), c.refusal) << c.bytes;
    }
  }
  EXPECT_EQ(PatchProfileBytes("<profile><S><A>1</A></S></profile>", {{L"S / T", L"A", L"2", 0, true}}, EncodeUtf8)
                .refusal,
            RewriteRefusal::Structure);
}

TEST(HasSectionStructure, AcceptsSectionsAndValuesBelowOneRoot) {
  const struct {
    std::vector<const wchar_t*> paths;
    bool rewritable;
  } cases[] = {
      {{L"profile / Preferences / ", L"profile / PlugIns / "}, true},
      {{}, true},
      {{L"profile / Preferences / ", L"profile / Preferences / Deep / "}, false},
      {{L"profile / Preferences / ", L"profile / "}, true},  // an empty section
      {{L""}, false},                                       // the root itself
      {{L"profile / Preferences / ", L"other / PlugIns / "}, false},
      {{L"profile /  / "}, false},
  };
  for (const auto& c : cases) {
    ProfileList list;
    list.records.resize(64);
    for (size_t k = 0; k < c.paths.size(); ++k) {
      list.records[k].path = c.paths[k];
      list.records[k].name = L"X";
    }
    list.records[0].count = static_cast<uint32_t>(c.paths.size());
    EXPECT_EQ(HasSectionStructure(list), c.rewritable) << (c.paths.empty() ? L"" : c.paths.back());
  }
}

}  // namespace
