// The colour dialog: text and background colours of the comparison list's
// equal and differing rows, with a sample of each pair.
#include "app/dialogs.h"
#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/settings.h"
#include "app/texts.h"
#include "resources/resource.h"

static const TextTriple TextColourUnequal = {L"Farbe bei Ungleichheit", L"Color for unequality",
                                             L"Couleur en cas de différence"};
static const TextTriple TextColourEqual = {L"Farbe bei Gleichheit", L"Color for equality",
                                           L"Couleur en cas d'égalité"};
static const TextTriple TextTextColour = {L"Text Farbe", L"Text color", L"Couleur du texte"};
static const TextTriple TextBackColour = {L"Hintergrung Farbe", L"Background color",
                                          L"Couleur de l'arrière plan"};
static const TextTriple TextSample = {L"Beispiel Text", L"sample text", L"exemple de texte"};

const RelabelRow ColourControls[] = {
    {IDC_GROUP_UNEQUAL, &TextColourUnequal}, {IDC_TEXT_UNEQUAL, &TextTextColour},
    {IDC_BACK_UNEQUAL, &TextBackColour},     {IDC_GROUP_EQUAL, &TextColourEqual},
    {IDC_TEXT_EQUAL, &TextTextColour},       {IDC_BACK_EQUAL, &TextBackColour},
    {IDCANCEL, &TextCancel},                 {0, nullptr},
};

// Working copies; they reach the settings only on OK.
static struct {
  COLORREF textEqual, backEqual, textUnequal, backUnequal;
} Chosen;

static void ShowSample(HWND dialog, int sample) { SetDlgItemTextW(dialog, sample, SelectText(TextSample)); }

static void OnInitColours(HWND dialog) {
  StartDialog(dialog, {nullptr, ColourControls});
  Chosen = {Settings.compareTextColorEqual, Settings.compareBackColorEqual, Settings.compareTextColorUnequal,
            Settings.compareBackColorUnequal};
  ShowSample(dialog, IDC_SAMPLE_UNEQUAL);
  ShowSample(dialog, IDC_SAMPLE_EQUAL);
}

static INT_PTR ColourSample(HDC context, COLORREF text, COLORREF back) {
  SetTextColor(context, text);
  SetBkColor(context, back);
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

static INT_PTR OnControlColour(HDC context, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case IDC_SAMPLE_EQUAL:
      return ColourSample(context, Chosen.textEqual, Chosen.backEqual);
    case IDC_SAMPLE_UNEQUAL:
      return ColourSample(context, Chosen.textUnequal, Chosen.backUnequal);
  }
  return FALSE;
}

static void OnChooseColour(HWND dialog, COLORREF* working, int sample) {
  ChooseColour(working, dialog);
  ShowSample(dialog, sample);  // repaints it, chosen or not
}

struct ColourSettingRow {
  COLORREF* working;  // null: stored again unchanged
  COLORREF* setting;
};

static void OnColoursOk(HWND dialog) {
  UniqueKey key(OpenSettingsKey());
  if (!key) return;
  // Stored in this order, the two selection colours unchanged.
  const ColourSettingRow rows[] = {
      {&Chosen.textEqual, &Settings.compareTextColorEqual},
      {&Chosen.backEqual, &Settings.compareBackColorEqual},
      {&Chosen.textUnequal, &Settings.compareTextColorUnequal},
      {&Chosen.backUnequal, &Settings.compareBackColorUnequal},
      {nullptr, &Settings.selectColor},
      {nullptr, &Settings.textColorSelected},
  };
  for (const ColourSettingRow& row : rows) {
    if (row.working) *row.setting = *row.working;
  }
  for (const ColourSettingRow& row : rows) {
    if (const SettingRow* setting = FindSettingRow(row.setting)) {
      StoreSetting(key.get(), *setting, sizeof(DWORD));
    }
  }
  key.reset();
  EndDialog(dialog, 1);
}

static BOOL OnColourCommand(HWND dialog, int id) {
  switch (id) {
    case IDC_TEXT_UNEQUAL:
      OnChooseColour(dialog, &Chosen.textUnequal, IDC_SAMPLE_UNEQUAL);
      return TRUE;
    case IDC_BACK_UNEQUAL:
      OnChooseColour(dialog, &Chosen.backUnequal, IDC_SAMPLE_UNEQUAL);
      return TRUE;
    case IDC_TEXT_EQUAL:
      OnChooseColour(dialog, &Chosen.textEqual, IDC_SAMPLE_EQUAL);
      return TRUE;
    case IDC_BACK_EQUAL:
      OnChooseColour(dialog, &Chosen.backEqual, IDC_SAMPLE_EQUAL);
      return TRUE;
    case IDOK:
      OnColoursOk(dialog);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 2);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK ColourDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitColours(dialog);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
      return OnColourCommand(dialog, LOWORD(wParam));
  }
  return FALSE;
}
