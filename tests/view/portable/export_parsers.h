// Reading exported CSV and HTML back into rows, independently of how the
// program writes them: a CSV reader after RFC 4180 and a reader of the
// rows table of the HTML page. Texts stay UTF-8.
#pragma once

#include <string>
#include <utility>
#include <vector>

using CsvRows = std::vector<std::vector<std::string>>;

// The records of CSV text (without its byte-order mark); CRLF or LF ends one.
inline CsvRows ParseCsv(const std::string& text, char separator) {
  CsvRows rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& cell = rows.back().back();
    if (quoted) {
      if (c != '"') {
        cell += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      rows.back().emplace_back();
    } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      if (c == '\r') ++i;
      rows.emplace_back(1);
    } else {
      cell += c;
    }
  }
  if (rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();  // after the last line end
  return rows;
}

// Each entity in turn, "&amp;" last, so an escaped entity stays text.
inline std::string Unescape(std::string html) {
  static const std::pair<std::string, std::string> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, character] : entities) {
    for (size_t at = html.find(entity); at != std::string::npos; at = html.find(entity, at + 1)) {
      html.replace(at, entity.size(), character);
    }
  }
  return html;
}

struct HtmlRow {
  std::string rowClass;  // the class of its <tr>, if any
  std::vector<std::string> cells;
};

// The rows of the page's table of rows (class "rows"), cells unescaped.
inline std::vector<HtmlRow> ParseHtmlRows(const std::string& page) {
  std::vector<HtmlRow> rows;
  const size_t body = page.find("<tbody>", page.find("<table class=\"rows\">"));
  const size_t end = page.find("</tbody>", body);
  if (body == std::string::npos || end == std::string::npos) return rows;
  for (size_t row = page.find("<tr", body); row < end; row = page.find("<tr", row + 1)) {
    HtmlRow parsed;
    const size_t rowEnd = page.find("</tr>", row);
    const size_t classAt = page.find("class=\"", row);
    const size_t tagEnd = page.find('>', row);
    if (classAt < tagEnd) parsed.rowClass = page.substr(classAt + 7, page.find('"', classAt + 7) - classAt - 7);
    for (size_t cell = page.find("<td>", row); cell < rowEnd; cell = page.find("<td>", cell + 1)) {
      const size_t cellEnd = page.find("</td>", cell);
      parsed.cells.push_back(Unescape(page.substr(cell + 4, cellEnd - cell - 4)));
    }
    rows.push_back(parsed);
  }
  return rows;
}
