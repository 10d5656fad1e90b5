// The CSV and HTML forms of listed rows read back to exactly those rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/portable/text_triple.h"
#include "tests/view/portable/export_parsers.h"
#include "view/portable/profile_export.h"

namespace {

// Cells that need quoting or escaping in one form or the other.
const std::vector<std::vector<std::wstring>> TrickyRows = {
    {L"profile / A", L"plain", L"1", L"1"},
    {L"profile / A", L"comma,semi;colon", L"a,b", L"a;b"},
    {L"profile / A", L"quotes", L"say \"hi\"", L"\""},
    {L"profile / A", L"breaks", L"line 1\r\nline 2", L"cr\rlf\n"},
    {L"profile / B", L"markup", L"<b>&amp;</b> 'x'", L"a < b & c > d"},
    {L"profile / B", L"Größe", L"", L"Ü \U0001F600"},
};

ExportTable TrickyTable() {
  ExportTable table;
  table.title = L"Kestrelwood <compare> & \"report\"";
  table.files = {{L"C:\\Mach3\\A&B.xml", L"2026-12-07 01:02:03", 6}, {L"C:\\<x>.xml", L"", 5}};
  table.columns = {L"Element", L"Tag", L"Value file 1", L"Value file 2"};
  table.rows = TrickyRows;
  table.differs = {false, true, true, true, true, true};
  table.equal = {0x030201, 0x060504};
  table.unequal = {0x090807, 0x0c0b0a};
  return table;
}

std::vector<std::string> Utf8Cells(const std::vector<std::wstring>& cells) {
  std::vector<std::string> utf8;
  for (const std::wstring& cell : cells) utf8.push_back(ToUtf8(cell));
  return utf8;
}

TEST(ProfileExportTest, CsvReadsBackToTheRowsWithTheLocaleSeparator) {
  const ExportTable table = TrickyTable();
  const struct {
    const wchar_t* listSeparator;
    wchar_t separator;
  } locales[] = {{L";", L';'}, {L",", L','}, {L"\t", L'\t'}, {L"", L','}, {L";;", L','}, {L"\"", L','}};
  for (const auto& locale : locales) {
    const wchar_t separator = CsvSeparator(locale.listSeparator);
    EXPECT_EQ(separator, locale.separator) << ToUtf8(locale.listSeparator);
    const std::string csv = FormatCsv(table, separator);
    ASSERT_EQ(csv.compare(0, 3, "\xEF\xBB\xBF"), 0);
    const CsvRows parsed = ParseCsv(csv.substr(3), static_cast<char>(separator));
    ASSERT_EQ(parsed.size(), TrickyRows.size() + 1) << static_cast<int>(separator);
    EXPECT_EQ(parsed[0], Utf8Cells(table.columns));
    for (size_t i = 0; i < TrickyRows.size(); ++i) EXPECT_EQ(parsed[i + 1], Utf8Cells(TrickyRows[i])) << i;
  }
  // Only what needs it is quoted, so Excel shows numbers as numbers.
  const std::string english = FormatCsv(table, L',');
  EXPECT_NE(english.find("\r\nprofile / A,plain,1,1\r\n"), std::string::npos);
  EXPECT_NE(english.find("\"comma,semi;colon\",\"a,b\",a;b\r\n"), std::string::npos);
  EXPECT_NE(english.find("quotes,\"say \"\"hi\"\"\",\"\"\"\""), std::string::npos);
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
    EXPECT_EQ(ParseHtmlRows(FormatHtml(table)).at(0).cells, Utf8Cells({c.cell})) << c.csv;
  }
}

TEST(ProfileExportTest, HtmlReadsBackToTheRowsMarkedAndEscaped) {
  LanguageIndex = English;
  const ExportTable table = TrickyTable();
  const std::string html = FormatHtml(table);
  const std::vector<HtmlRow> rows = ParseHtmlRows(html);
  ASSERT_EQ(rows.size(), TrickyRows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].cells, Utf8Cells(TrickyRows[i])) << i;
    EXPECT_EQ(rows[i].rowClass, table.differs[i] ? "unequal" : "equal") << i;
  }
  for (const char* raw : {"<b>", "<compare>", "<x>", "A&B", "a < b", "\"report\""}) {
    EXPECT_EQ(html.find(raw), std::string::npos) << raw;
  }
  for (const char* shown : {"A&amp;B.xml", "2026-12-07 01:02:03", "<td>6</td>", "Differences: 5", "Rows listed: 6",
                            "tr.equal td{color:#010203;background:#040506}",
                            "tr.unequal td{color:#070809;background:#0a0b0c}", "<meta charset=\"utf-8\">"}) {
    EXPECT_NE(html.find(shown), std::string::npos) << shown;
  }

  ExportTable single = table;  // a single profile: no difference count, no colours
  single.differs.clear();
  const std::string plain = FormatHtml(single);
  EXPECT_EQ(plain.find("Differences"), std::string::npos);
  EXPECT_EQ(plain.find("tr.unequal"), std::string::npos);
  for (const HtmlRow& row : ParseHtmlRows(plain)) EXPECT_EQ(row.rowClass, "");
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
