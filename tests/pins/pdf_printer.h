// The CUPS PDF printer as seen from the tests: its device context, the
// PDFs it writes and their text read back with pdftotext.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

// The folder where cups-pdf puts its files (Windows form), or empty.
std::wstring PdfFolder();

// cups-pdf names its files after the document name of the print job.
inline constexpr const wchar_t* PdfNamePrefix = L"Kestrelwood_Brannoc";

// The PDF files of our print jobs now in the folder.
std::set<std::wstring> PdfFiles(const std::wstring& folder, const wchar_t* prefix = PdfNamePrefix);

// Waits for a file that is not in `before` and whose size has settled;
// empty after the timeout.
std::wstring WaitForNewPdf(const std::wstring& folder, const std::set<std::wstring>& before, DWORD timeoutMs = 30000,
                           const wchar_t* prefix = PdfNamePrefix);

// The text of each page (pdftotext -layout), or an empty list when the
// tool could not be run.
std::vector<std::string> PdfPageTexts(const std::wstring& pdf);

