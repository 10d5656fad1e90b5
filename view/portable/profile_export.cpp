// CSV and HTML forms of the listed profile rows.
#include "view/portable/profile_export.h"

#include <cwctype>

#include "app/portable/text_format.h"

const TextTriple TextExportItem = {L"Exportieren...", L"Export...", L"Exporter..."};
const TextTriple TextExportTitle = {L"Liste exportieren", L"Export the list", L"Exporter la liste"};
const TextTriple TextExportFilter = {
    L"CSV-Datei (*.csv)\0*.csv\0HTML-Seite (*.html)\0*.html\0",
    L"CSV file (*.csv)\0*.csv\0HTML page (*.html)\0*.html\0",
    L"Fichier CSV (*.csv)\0*.csv\0Page HTML (*.html)\0*.html\0",
};

static const TextTriple TextChanged = {L"Geändert", L"Changed", L"Modifié le"};
static const TextTriple TextEntries = {L"Einträge", L"Entries", L"Entrées"};
static const TextTriple TextRowsListed = {L"Aufgeführte Zeilen", L"Rows listed", L"Lignes listées"};
static const TextTriple TextDifferences = {L"Unterschiede", L"Differences", L"Différences"};
static const TextTriple TextLanguageCode = {L"de", L"en", L"fr"};

wchar_t CsvSeparator(std::wstring_view listSeparator) {
  const bool usable = listSeparator.size() == 1 && listSeparator[0] != L'"' && listSeparator[0] != L'\r' &&
                      listSeparator[0] != L'\n';
  return usable ? listSeparator[0] : L',';
}

// ---------------------------------------------------------------- CSV

// A profile value such as "=cmd|..." or "@SUM(...)" would run as a formula
// in the spreadsheet that opens the file. A sign before a digit or a point
// is a number ("-1.5") and stays as it is.
static bool StartsLikeFormula(std::wstring_view cell) {
  if (cell.empty()) return false;
  switch (cell[0]) {
    case L'=':
    case L'@':
    case L'\t':
    case L'\r':
      return true;
    case L'+':
    case L'-':
      return cell.size() == 1 || !((cell[1] >= L'0' && cell[1] <= L'9') || cell[1] == L'.');
  }
  return false;
}

static std::wstring CsvCell(std::wstring_view text, wchar_t separator) {
  const std::wstring cell = StartsLikeFormula(text) ? L"'" + std::wstring(text) : std::wstring(text);
  if (cell.find_first_of(std::wstring{separator, L'"', L'\r', L'\n'}) == std::wstring::npos) return cell;
  std::wstring quoted = L"\"";
  for (wchar_t c : cell) {
    if (c == L'"') quoted += L'"';
    quoted += c;
  }
  return quoted + L'"';
}

static std::wstring CsvLine(const std::vector<std::wstring>& cells, wchar_t separator) {
  std::wstring line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += separator;
    line += CsvCell(cells[i], separator);
  }
  return line + L"\r\n";
}

std::string FormatCsv(const ExportTable& table, wchar_t separator) {
  std::string csv = "\xEF\xBB\xBF";
  csv += ToUtf8(CsvLine(table.columns, separator));
  for (const auto& row : table.rows) csv += ToUtf8(CsvLine(row, separator));
  return csv;
}

// ---------------------------------------------------------------- HTML

static std::wstring Escape(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&':
        out += L"&amp;";
        break;
      case L'<':
        out += L"&lt;";
        break;
      case L'>':
        out += L"&gt;";
        break;
      case L'"':
        out += L"&quot;";
        break;
      case L'\'':
        out += L"&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

static std::wstring CssColour(uint32_t colour) {
  return FormatText(L"#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

static std::wstring RowStyle(const wchar_t* name, RowColours colours) {
  return FormatText(L"tr.%s td{color:%s;background:%s}\n", name, CssColour(colours.text).c_str(),
                    CssColour(colours.back).c_str());
}

static std::wstring HtmlHead(const ExportTable& table) {
  std::wstring head = L"<!DOCTYPE html>\n<html lang=\"" + std::wstring(SelectText(TextLanguageCode)) +
                      L"\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + Escape(table.title) +
                      L"</title>\n<style>\n"
                      L"body{font-family:\"Segoe UI\",Arial,sans-serif;font-size:10pt;margin:16px}\n"
                      L"h1{font-size:14pt}\n"
                      L"table{border-collapse:collapse;margin-bottom:12px}\n"
                      L"th,td{border:1px solid #c0c0c0;padding:2px 6px;text-align:left;vertical-align:top;"
                      L"white-space:pre-wrap}\n"
                      L"th{background:#e8e8e8}\n";
  if (!table.differs.empty()) head += RowStyle(L"equal", table.equal) + RowStyle(L"unequal", table.unequal);
  return head + L"</style>\n</head>\n";
}

static std::wstring Cell(const wchar_t* tag, std::wstring_view text) {
  return FormatText(L"<%s>", tag) + Escape(text) + FormatText(L"</%s>", tag);
}

static std::wstring FilesTable(const ExportTable& table) {
  std::wstring html = L"<table class=\"files\">\n<tr>" + Cell(L"th", SelectText(TextFile)) +
                      Cell(L"th", SelectText(TextChanged)) + Cell(L"th", SelectText(TextEntries)) + L"</tr>\n";
  for (const ExportedFile& file : table.files) {
    html += L"<tr>" + Cell(L"td", file.path) + Cell(L"td", file.date) +
            Cell(L"td", FormatText(L"%u", file.entries)) + L"</tr>\n";
  }
  return html + L"</table>\n";
}

static size_t CountDifferences(const ExportTable& table) {
  size_t count = 0;
  for (bool differs : table.differs) count += differs ? 1 : 0;
  return count;
}

static std::wstring Summary(const ExportTable& table) {
  std::wstring summary = L"<p class=\"summary\">" + Escape(SelectText(TextRowsListed)) +
                         FormatText(L": %u", static_cast<unsigned>(table.rows.size()));
  if (!table.differs.empty()) {
    summary += L" &middot; " + Escape(SelectText(TextDifferences)) +
               FormatText(L": %u", static_cast<unsigned>(CountDifferences(table)));
  }
  return summary + L"</p>\n";
}

static std::wstring RowsTable(const ExportTable& table) {
  std::wstring html = L"<table class=\"rows\">\n<thead><tr>";
  for (const std::wstring& column : table.columns) html += Cell(L"th", column);
  html += L"</tr></thead>\n<tbody>\n";
  for (size_t i = 0; i < table.rows.size(); ++i) {
    if (i < table.differs.size()) {
      html += table.differs[i] ? L"<tr class=\"unequal\">" : L"<tr class=\"equal\">";
    } else {
      html += L"<tr>";
    }
    for (const std::wstring& cell : table.rows[i]) html += Cell(L"td", cell);
    html += L"</tr>\n";
  }
  return html + L"</tbody>\n</table>\n";
}

std::string FormatHtml(const ExportTable& table) {
  return ToUtf8(HtmlHead(table) + L"<body>\n" + Cell(L"h1", table.title) + L"\n" + FilesTable(table) +
                Summary(table) + RowsTable(table) + L"</body>\n</html>\n");
}

static bool EndsWithNoCase(std::wstring_view text, std::wstring_view end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    if (static_cast<wchar_t>(std::towlower(text[text.size() - end.size() + i])) != end[i]) return false;
  }
  return true;
}

ExportFormat FormatForPath(std::wstring_view path, uint32_t filterIndex) {
  if (EndsWithNoCase(path, L".html") || EndsWithNoCase(path, L".htm")) return ExportFormat::Html;
  if (EndsWithNoCase(path, L".csv")) return ExportFormat::Csv;
  return filterIndex == 2 ? ExportFormat::Html : ExportFormat::Csv;
}
