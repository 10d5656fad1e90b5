// The listed rows of Show profile or Compare profiles as a CSV file or a
// self-contained HTML page, for sharing a comparison or keeping a record.
// Needs no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"

enum class ExportFormat { Csv, Html };

// One profile file the rows came from.
struct ExportedFile {
  std::wstring path;
  std::wstring date;  // last change, already formatted
  uint32_t entries = 0;
};

// Colours as Windows keeps them: 0x00BBGGRR.
struct RowColours {
  uint32_t text, back;
};

// The rows as listed, with everything the report shows around them.
struct ExportTable {
  std::wstring title;
  std::vector<ExportedFile> files;
  std::vector<std::wstring> columns;
  std::vector<std::vector<std::wstring>> rows;
  // A comparison: per row whether its two values differ, and the colours of
  // both kinds of rows. Empty for a single profile.
  std::vector<bool> differs;
  RowColours equal = {}, unequal = {};
};

// The separator a spreadsheet on this PC splits by: the list separator of
// the user's locale ("," or ";" mostly); "," when it is not one usable
// character.
wchar_t CsvSeparator(std::wstring_view listSeparator);

// UTF-8 with a byte-order mark, a title row, one line per row (CRLF). A cell
// that a spreadsheet would run as a formula gets a leading apostrophe. A cell
// holding the separator, a quote or a line break is quoted, quotes doubled.
std::string FormatCsv(const ExportTable& table, wchar_t separator);

// The page in UTF-8, texts in the language in force; every text escaped.
std::string FormatHtml(const ExportTable& table);

// The format a chosen file name asks for: its extension, else the filter
// chosen in the save dialog (1 CSV, 2 HTML).
ExportFormat FormatForPath(std::wstring_view path, uint32_t filterIndex);


// Texts of the export in three languages, shared by both dialogs.
extern const TextTriple TextExportItem;
extern const TextTriple TextExportTitle;
extern const TextTriple TextExportFilter;
