// The CSV and HTML forms of listed rows, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/portable/text_triple.h"
#include "view/portable/profile_export.h"

namespace {

// Cells that need quoting or escaping in one form or the other.
ExportTable TrickyTable() {
  ExportTable table;
  table.title = L"Kestrelwood <compare> & \"report\"";
  table.files = {{L"C:\\Mach3\\A&B.xml", L"2026-12-07 01:02:03", 6}, {L"C:\\<x>.xml", L"", 5}};
  table.columns = {L"Element", L"Tag", L"Value file 1", L"Value file 2"};
  table.rows = {
      {L"profile / A", L"plain", L"1", L"1"},
      {L"profile / A", L"comma,semi;colon", L"a,b", L"a;b"},
      {L"profile / A", L"quotes", L"say \"hi\"", L"\""},
      {L"profile / A", L"breaks", L"line 1\r\nline 2", L"cr\rlf\n"},
      {L"profile / B", L"markup", L"<b>&amp;</b> 'x'", L"a < b & c > d"},
      {L"profile / B", L"Gr\u00f6\u00dfe", L"", L"\u00dc \U0001F600"},
  };
  table.differs = {false, true, true, true, true, true};
  table.equal = {0x030201, 0x060504};
  table.unequal = {0x090807, 0x0c0b0a};
  return table;
}

// Only what needs it is quoted, so Excel shows numbers as numbers.
TEST(ProfileExportTest, CsvQuotesWhatNeedsItWithTheLocaleSeparator) {
  const struct {
    const wchar_t* listSeparator;
    wchar_t separator;
  } locales[] = {{L";", L';'}, {L",", L','}, {L"\t", L'\t'}, {L"", L','}, {L";;", L','}, {L"\"", L','}};
  for (const auto& locale : locales) {
    EXPECT_EQ(CsvSeparator(locale.listSeparator), locale.separator) << ToUtf8(locale.listSeparator);
  }
  const std::string rest = "profile / A,quotes,\"say \"\"hi\"\"\",\"\"\"\"\r\n"
                           "profile / A,breaks,\"line 1\r\nline 2\",\"cr\rlf\n\"\r\n"
                           "profile / B,markup,<b>&amp;</b> 'x',a < b & c > d\r\n"
                           "profile / B,Gr\xC3\xB6\xC3\x9F" "e,,\xC3\x9C \xF0\x9F\x98\x80\r\n";
  EXPECT_EQ(FormatCsv(TrickyTable(), L','), "\xEF\xBB\xBF" "Element,Tag,Value file 1,Value file 2\r\n"
                                            "profile / A,plain,1,1\r\n"
                                            "profile / A,\"comma,semi;colon\",\"a,b\",a;b\r\n" + rest);
  const std::string semicolons = "\xEF\xBB\xBF" "Element;Tag;Value file 1;Value file 2\r\n"
                                 "profile / A;plain;1;1\r\n"
                                 "profile / A;\"comma,semi;colon\";a,b;\"a;b\"\r\n";
  EXPECT_EQ(FormatCsv(TrickyTable(), L';').substr(0, semicolons.size()), semicolons);
}

// What a spreadsheet would run as a formula is made text; numbers stay
// numbers, and the HTML shows every cell as it is.
TEST(ProfileExportTest, FormulaCellsGoOutAsText) {
  const struct {
    const wchar_t* cell;
    const char* csv;
  } cases[] = {
      {L"=1+1", "'=1+1"},     {L"@SUM(A1)", "'@SUM(A1)"}, {L"\tx", "'\tx"},   {L"\rx", "\"'\rx\""},
      {L"+cmd", "'+cmd"},     {L"-", "'-"},               {L"-1.5", "-1.5"},  {L"+2", "+2"},
      {L"-.5", "-.5"},        {L"a=b", "a=b"},            {L"", ""},          {L"=a;b", "\"'=a;b\""},
  };
  for (const auto& c : cases) {
    ExportTable table;
    table.columns = {L"Value"};
    table.rows = {{c.cell}};
    EXPECT_EQ(FormatCsv(table, L';'), std::string("\xEF\xBB\xBFValue\r\n") + c.csv + "\r\n") << c.csv;
    EXPECT_NE(FormatHtml(table).find("<tr><td>" + ToUtf8(c.cell) + "</td></tr>"), std::string::npos) << c.csv;
  }
}

TEST(ProfileExportTest, HtmlShowsTheRowsMarkedAndEscaped) {
  LanguageIndex = English;
  const ExportTable table = TrickyTable();
  const std::string html = FormatHtml(table);
  const std::string head = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<title>Kestrelwood &lt;compare&gt; &amp; &quot;report&quot;</title>\n<style>\n";
  EXPECT_EQ(html.substr(0, head.size()), head);
  for (const char* style : {"\ntr.equal td{color:#010203;background:#040506}\n",
                            "\ntr.unequal td{color:#070809;background:#0a0b0c}\n</style>\n</head>\n"}) {
    EXPECT_NE(html.find(style), std::string::npos) << style;
  }
  const std::string body =
      "<body>\n<h1>Kestrelwood &lt;compare&gt; &amp; &quot;report&quot;</h1>\n"
      "<table class=\"files\">\n<tr><th>File</th><th>Changed</th><th>Entries</th></tr>\n"
      "<tr><td>C:\\Mach3\\A&amp;B.xml</td><td>2026-12-07 01:02:03</td><td>6</td></tr>\n"
      "<tr><td>C:\\&lt;x&gt;.xml</td><td></td><td>5</td></tr>\n</table>\n"
      "<p class=\"summary\">Rows listed: 6 &middot; Differences: 5</p>\n<table class=\"rows\">\n"
      "<thead><tr><th>Element</th><th>Tag</th><th>Value file 1</th><th>Value file 2</th></tr></thead>\n<tbody>\n"
      "<tr class=\"equal\"><td>profile / A</td><td>plain</td><td>1</td><td>1</td></tr>\n"
      "<tr class=\"unequal\"><td>profile / A</td><td>comma,semi;colon</td><td>a,b</td><td>a;b</td></tr>\n"
      "<tr class=\"unequal\"><td>profile / A</td><td>quotes</td><td>say &quot;hi&quot;</td><td>&quot;</td></tr>\n"
      "<tr class=\"unequal\"><td>profile / A</td><td>breaks</td><td>line 1\r\nline 2</td><td>cr\rlf\n</td></tr>\n"
      "<tr class=\"unequal\"><td>profile / B</td><td>markup</td><td>&lt;b&gt;&amp;amp;&lt;/b&gt; &#39;x&#39;</td>"
      "<td>a &lt; b &amp; c &gt; d</td></tr>\n"
      "<tr class=\"unequal\"><td>profile / B</td><td>Gr\xC3\xB6\xC3\x9F" "e</td><td></td>"
      "<td>\xC3\x9C \xF0\x9F\x98\x80</td></tr>\n</tbody>\n</table>\n</body>\n</html>\n";
  EXPECT_EQ(html.substr(html.size() - std::min(html.size(), body.size())), body);

  ExportTable single = table;  // a single profile: no difference count, no colours
  single.differs.clear();
  const std::string plain = FormatHtml(single);
  EXPECT_EQ(plain.find("Differences"), std::string::npos);
  EXPECT_EQ(plain.find("tr.unequal"), std::string::npos);
  EXPECT_EQ(plain.find("<tr class="), std::string::npos);
}

TEST(ProfileExportTest, TheFileNameOrTheFilterChoosesTheFormat) {
  const struct {
    const wchar_t* path;
    uint32_t filter;
    ExportFormat format;
  } cases[] = {
      {L"a.csv", 2, ExportFormat::Csv},   {L"a.HTML", 1, ExportFormat::Html}, {L"a.htm", 1, ExportFormat::Html},
      {L"a.txt", 2, ExportFormat::Html},  {L"a", 1, ExportFormat::Csv},       {L"html", 0, ExportFormat::Csv},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatForPath(c.path, c.filter), c.format) << c.path;
}

TEST(ProfileExportTest, Utf8OfEveryPlane) {
  EXPECT_EQ(ToUtf8(L"aÄ€\U0001F600"), "a\xC3\x84\xE2\x82\xAC\xF0\x9F\x98\x80");
  if constexpr (sizeof(wchar_t) == 2) {
    EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x"), "\xEF\xBF\xBDx");
  }
}

}  // namespace
