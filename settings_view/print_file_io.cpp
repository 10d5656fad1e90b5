// Reading and writing print files through the guarded file helpers. A file
// is checked whole before anything on screen is replaced.
#include "settings_view/print_file_io.h"

#include <vector>

#include "app/file_helpers.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "settings_view/output_window.h"
#include "settings_view/portable/print_file.h"
#include "settings_view/renderer.h"
#include "settings_view/settings_load.h"
#include "settings_view/show_settings_dialog.h"

uint32_t PrintFileMask = 0;
uint32_t PrintFileWriteMask = 0xFFFFFFFF;

const TextTriple TextPrintFileNotOurs = {L"Dies ist keine von Kestrelwood erstellte Druck-Datei",
                                         L"This is no Kestrelwood generated printfile",
                                         L"This is no Kestrelwood generated printfile"};
const TextTriple TextPrintFileVersions = {L"Druck Profile Versionen unterschiedlich !",
                                          L"Print profile versions different !", L"Print profile versions different !"};
const TextTriple TextPrintFileDamaged = {L"Druck Datei ist beschädigt oder unvollständig",
                                         L"Print file is damaged or incomplete",
                                         L"Fichier d'impression endommagé ou incomplet"};

static const TextTriple TextFileExists = {L"Datei existiert bereits. Überschreiben?", L"File exists. Overwrite?",
                                          L"File exists. Overwrite?"};
static const TextTriple TextPrintFileWritten = {L"Druckdaten erfolgreich in Datei geschrieben",
                                                L"Printdata successfully written into file",
                                                L"Printdata successfully written into file"};

static void ReportFileProblem(const TextTriple& text) {
  ShowErrorMessage(nullptr, SelectText(text), MB_TOPMOST);
}

static void ReportSystemFailure(DWORD code) {
  ShowErrorMessage(nullptr, SystemErrorText(code).c_str(), MB_TOPMOST | MB_TASKMODAL);
}

static PrintFileTime ToPrintFileTime(const SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDayOfWeek, time.wDay, time.wHour, time.wMinute, time.wSecond,
          time.wMilliseconds};
}

static SYSTEMTIME ToSystemTime(const PrintFileTime& time) {
  return {time.year, time.month, time.dayOfWeek, time.day, time.hour, time.minute, time.second, time.milliseconds};
}

bool WritePrintFile(const std::wstring& path) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::vector<unsigned char> bytes = EncodePrintFile(ToPrintFileTime(now), PrintFileWriteMask);
  // The old file stays until the new one is complete; one that cannot be
  // replaced is reported before anything is written.
  switch (WriteBytesInPlace(path, bytes.data(), bytes.size())) {
    case InPlaceStep::Done:
      return true;
    case InPlaceStep::Open:
      ShowOpenFailure(path.c_str(), GetLastError());
      return false;
    case InPlaceStep::Write:
      ReportSystemFailure(GetLastError());
      return false;
  }
  return false;
}

bool ReadPrintFile(HANDLE file) {
  std::vector<BYTE> bytes;
  const bool read = ReadWholeFile(&file, &bytes);
  CloseFileHandle(&file);
  if (!read) return false;
  PrintFileContents contents;
  switch (DecodePrintFile(bytes.data(), bytes.size(), contents)) {
    case PrintFileCheck::NotOurs:
      ReportFileProblem(TextPrintFileNotOurs);
      return false;
    case PrintFileCheck::OtherVersion:
      ReportFileProblem(TextPrintFileVersions);
      return false;
    case PrintFileCheck::Damaged:
      ReportFileProblem(TextPrintFileDamaged);
      return false;
    case PrintFileCheck::Ok:
      break;
  }
  Render.headerTime = ToSystemTime(contents.time);
  PrintFileMask = contents.mask;
  ApplyPrintFile(std::move(contents));
  return true;
}

void PrintToFile(HWND dialog) {
  if (SettingsOutputWindow) {
    ShowInfoMessage(dialog, SelectText(TextCloseOutputFirst), MB_OK);
    return;
  }
  const std::wstring path = ReadPrintFilePath(dialog);
  if (path.empty()) {
    ShowErrorMessage(dialog, SelectText(TextNoPrintFilePath), MB_TOPMOST);
    return;
  }
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (ShowErrorMessage(dialog, SelectText(TextFileExists), MB_YESNO | MB_TOPMOST) != IDYES) {
      return;
    }
  }
  if (!ChooseProfileIfEmpty()) return;
  if (!LoadSettingsValues()) return;
  GatherPlugins();
  PrintFileWriteMask = 0xFFFFFFFF;
  if (!WritePrintFile(path)) return;
  ShowInfoMessage(dialog, SelectText(TextPrintFileWritten), MB_TOPMOST);
}
