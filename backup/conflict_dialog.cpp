// The conflict dialog (142): asked before a file in the target folder is
// replaced, it shows both files and returns the user's answer.
#include "backup/conflict_dialog.h"

#include "app/main_window.h"
#include "app/portable/text_format.h"
#include "app/texts.h"
#include "backup/copy_engine.h"
#include "resources/resource.h"

static const TextTriple TextSkip = {L"Überspringen", L"Skip", L"Skip"};
static const TextTriple TextForAll = {L"Vorgang für alle Konflikte dieses Typs durchführen",
                                      L"Do this for all conflicts of that type", L"Do this for all conflicts of that type"};
static const TextTriple TextDontAskAgain = {L"Für diesen Vorgang nicht mehr fragen",
                                            L"Don't ask again for this copy command",
                                            L"Don't ask again for this copy command"};
static const TextTriple TextKeepBoth = {L"Kopieren, aber beide Dateien behalten", L"Copy, but keep both files",
                                        L"Copier, mais conserver les deux fichiers"};
static const TextTriple TextReplaceHeading = {
    L"Datei im Zielordner durch die zu kopierende Datei ersetzen:",
    L"Replace the file in the destination folder with the file you are copying:",
    L"Rempacer le fichier du dossier de destination par le fichier en cours de copie:"};
static const TextTriple TextLeaveHeading = {
    L"Es werden keine Dateien geändert. Die folgende Datei wird im Zielordner belassen",
    L"No files will be changed. Leave this file in the destination folder:",
    L"Aucon fichier ne sera modifie. Laisser ce fichier dans le dossier de destination:"};
static const TextTriple TextFileName = {L"Datei Name", L"File name", L"File name"};
static const TextTriple TextFileSize = {L"Datei Größe", L"File size", L"File size"};
static const TextTriple TextLastChanged = {L"Letzte Änderung", L"Last changed ", L"Last changed "};

const RelabelRow ConflictControls[] = {
    {IDC_CONFLICT_SKIP, &TextSkip},
    {IDCANCEL, &TextCancel},
    {IDC_CONFLICT_FOR_ALL, &TextForAll},
    {IDC_CONFLICT_DONT_ASK, &TextDontAskAgain},
    {IDC_CONFLICT_KEEP_BOTH, &TextKeepBoth},
    {0, nullptr},
};

static const wchar_t BlankRun[] = L"                              ";  // 30 blanks

static std::wstring ConflictButtonText(const TextTriple& heading, const std::wstring& folder, int64_t size,
                                       const std::wstring& dateText) {
  wchar_t text[1024];
  FormatInto(text, 1024, L"%s\r\n\r\n%s%s    %s(%s)\r\n%s%s    %I64d\r\n%s%s%s", SelectText(heading), BlankRun,
             SelectText(TextFileName), CurrentConflict.fileName.c_str(), folder.c_str(), BlankRun,
             SelectText(TextFileSize), static_cast<long long>(size), BlankRun, SelectText(TextLastChanged),
             dateText.c_str());
  return text;
}

static void OnInitConflict(HWND dialog) {
  RelabelControls(ConflictControls, dialog);
  CheckDlgButton(dialog, IDC_CONFLICT_DONT_ASK, BST_UNCHECKED);
  // Each button shows its own file, so the two can be compared.
  SetDlgItemTextW(dialog, IDC_CONFLICT_REPLACE,
                  ConflictButtonText(TextReplaceHeading, CurrentConflict.sourceFolder, CurrentConflict.sourceSize,
                                     CurrentConflict.sourceDateText)
                      .c_str());
  SetDlgItemTextW(dialog, IDC_CONFLICT_LEAVE,
                  ConflictButtonText(TextLeaveHeading, CurrentConflict.targetFolder, CurrentConflict.size,
                                     CurrentConflict.dateText)
                      .c_str());
}

static BOOL OnConflictCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_CONFLICT_REPLACE:
    case IDC_CONFLICT_LEAVE:
    case IDC_CONFLICT_SKIP:
    case IDC_CONFLICT_KEEP_BOTH: {
      const bool forAll = IsDlgButtonChecked(dialog, IDC_CONFLICT_FOR_ALL) == BST_CHECKED;
      CurrentCopyCommand.dontAsk = IsDlgButtonChecked(dialog, IDC_CONFLICT_DONT_ASK) == BST_CHECKED;
      EndDialog(dialog, AnswerOfButton(id, forAll));
      return TRUE;
    }
    case IDCANCEL:
      CurrentCopyCommand.dontAsk = true;
      EndDialog(dialog, Cancel);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK ConflictDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitConflict(dialog);
      return TRUE;
    case WM_COMMAND:
      return OnConflictCommand(dialog, LOWORD(wParam));
  }
  return FALSE;
}

ConflictAnswer ConflictDialog() {
  const INT_PTR answer = RunModalDialog(CurrentCopyCommand.ownerDialog, IDD_CONFLICT, ConflictDialogProc);
  if (answer <= 0) {  // the dialog could not be shown: stop rather than guess
    CurrentCopyCommand.dontAsk = true;
    return Cancel;
  }
  return static_cast<ConflictAnswer>(answer);
}
