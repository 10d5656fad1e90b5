// Saving the listed rows of Show profile or Compare profiles: the save-file
// dialog, the last-change dates of the profiles, and the writing.
#include <windows.h>

#include <algorithm>
#include <string>

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "view/portable/profile_export.h"
#include "view/view_dialogs.h"

static const TextTriple TextSaveDialogFailed = {
    L"Das Fenster zum Speichern konnte nicht geöffnet werden (Fehler 0x%04lx).",
    L"The save dialog could not be opened (error 0x%04lx).",
    L"La fenêtre d'enregistrement n'a pas pu s'ouvrir (erreur 0x%04lx)."};
static const TextTriple TextExportNotWritten = {
    L"%s konnte nicht geschrieben werden; eine vorhandene Datei dieses Namens ist unverändert.\r\n%s",
    L"%s could not be written; a file of that name already there is unchanged.\r\n%s",
    L"Impossible d'écrire %s ; un fichier de ce nom déjà présent reste inchangé.\r\n%s"};

static std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

static std::wstring StemOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

// The profiles' names, "Mach3Mill - SmallRouter" for a comparison; the
// dialog adds the extension of the filter chosen.
static std::wstring SuggestedName(const ExportTable& table) {
  std::wstring name;
  for (const ExportedFile& file : table.files) name += (name.empty() ? L"" : L" - ") + StemOf(file.path);
  return name;
}

// The chosen path and the filter chosen with it; false when cancelled or
// failed (reported). It starts in the first profile's folder.
static bool ChooseExportFile(HWND owner, const ExportTable& table, wchar_t* path, DWORD* filterIndex) {
  CopyText(path, PathCapacity, SuggestedName(table).c_str());
  const std::wstring folder = table.files.empty() ? std::wstring() : FolderOf(table.files[0].path);
  OPENFILENAMEW request = {};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.hInstance = Instance;
  request.lpstrFilter = SelectText(TextExportFilter);
  request.nFilterIndex = 1;
  request.lpstrFile = path;
  request.nMaxFile = static_cast<DWORD>(PathCapacity);
  request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  request.lpstrTitle = SelectText(TextExportTitle);
  request.lpstrDefExt = L"csv";
  request.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!Dialogs().SaveFileName(&request)) {
    const DWORD error = Dialogs().ExtendedError();
    if (error != 0) ShowErrorMessage(owner, FormatText(SelectText(TextSaveDialogFailed), error).c_str());
    return false;
  }
  *filterIndex = request.nFilterIndex;
  return true;
}

// A failed export never costs the file it replaces: the old file stays
// until the new one is complete. A failure is reported with the system's
// text.
static bool WriteExportFile(HWND owner, const wchar_t* path, const std::string& bytes) {
  if (WriteBytesInPlace(path, bytes.data(), bytes.size()) == InPlaceStep::Done) return true;
  const std::wstring reason = SystemErrorText(GetLastError());
  ShowErrorMessage(owner, FormatText(SelectText(TextExportNotWritten), path, reason.c_str()).c_str());
  return false;
}

// What the user's spreadsheet splits by, whatever language the program shows.
static wchar_t LocaleCsvSeparator() {
  wchar_t separator[8] = L"";
  if (!GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SLIST, separator, 8)) return CsvSeparator(L"");
  return CsvSeparator(separator);
}

bool ExportListedRows(HWND owner, const ExportTable& table) {
  wchar_t path[PathCapacity] = L"";
  DWORD filterIndex = 1;
  if (!ChooseExportFile(owner, table, path, &filterIndex)) return false;
  const std::string bytes = FormatForPath(path, filterIndex) == ExportFormat::Html
                                ? FormatHtml(table)
                                : FormatCsv(table, LocaleCsvSeparator());
  return WriteExportFile(owner, path, bytes);
}
