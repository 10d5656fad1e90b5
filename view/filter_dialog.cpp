// The segment filter: which runs of entries are listed and searched, and
// which columns the search looks at.
#include <vector>

#include "app/texts.h"
#include "resources/resource.h"
#include "view/portable/profile_search.h"
#include "view/view_dialogs.h"

static const TextTriple TextFilterTitle = {L"Filter Einstellungen", L"Filter settings", L"Réglage du filtrage"};
static const TextTriple TextSegment = {L"Segment", L"Segment", L"Segment"};
static const TextTriple TextColumn = {L"Spalte", L"Column", L"Column"};
// English in French too, as TextName; Show profile's column headings are translated.
static const TextTriple TextValue = {L"Wert", L"Value", L"Value"};
static const TextTriple TextSelectAll = {L"Alle auswählen", L"Select All", L"Select All"};
static const TextTriple TextDeselectAll = {L"Keine auswählen", L"Deselect All", L"Deselect All"};

const RelabelRow FilterControls[] = {
    {IDC_FILTER_SEGMENTS_LABEL, &TextSegment}, {IDC_FILTER_COLUMNS, &TextColumn},
    {IDC_FILTER_SEGMENT_COLUMN, &TextSegment}, {IDC_FILTER_NAME_COLUMN, &TextName},
    {IDC_FILTER_VALUE_COLUMN, &TextValue},     {IDC_FILTER_SELECT_ALL, &TextSelectAll},
    {IDC_FILTER_DESELECT_ALL, &TextDeselectAll}, {IDCANCEL, &TextCancel},
    {0, nullptr},
};

static const int ColumnBoxes[SearchColumnCount] = {IDC_FILTER_SEGMENT_COLUMN, IDC_FILTER_NAME_COLUMN,
                                                   IDC_FILTER_VALUE_COLUMN};

// What the dialog keeps while open, emptied as it opens.
static struct {
  std::vector<bool> openingSelection;  // the selection the dialog opened with, for Cancel
} View;

static void OnInitFilter(HWND dialog) {
  // The settings stay as the opening dialog has them.
  StartDialog(dialog, {&TextFilterTitle, FilterControls, false});
  HWND segments = GetDlgItem(dialog, IDC_FILTER_SEGMENTS);
  View = {};
  for (const Segment& segment : Segments) {
    View.openingSelection.push_back(segment.selected);
    const LRESULT row = SendMessageW(segments, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(segment.path.c_str()));
    SendMessageW(segments, LB_SETSEL, segment.selected, row);
  }
  for (int column = 0; column < SearchColumnCount; ++column) {
    CheckDlgButton(dialog, ColumnBoxes[column], Search.columns[column] ? BST_CHECKED : BST_UNCHECKED);
  }
}

static void TakeSelection(HWND dialog) {
  HWND segments = GetDlgItem(dialog, IDC_FILTER_SEGMENTS);
  for (size_t row = 0; row < Segments.size(); ++row) {
    Segments[row].selected = SendMessageW(segments, LB_GETSEL, row, 0) > 0;
  }
}

static void SelectAll(HWND dialog, bool selected) {
  SendDlgItemMessageW(dialog, IDC_FILTER_SEGMENTS, LB_SETSEL, selected, -1);
  for (Segment& segment : Segments) segment.selected = selected;
}

static void OnFilterOk(HWND dialog) {
  for (int column = 0; column < SearchColumnCount; ++column) {
    Search.columns[column] = IsDlgButtonChecked(dialog, ColumnBoxes[column]) == BST_CHECKED;
  }
  EndDialog(dialog, 1);
}

INT_PTR CALLBACK FilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitFilter(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_FILTER_SEGMENTS:
          if (HIWORD(wParam) == LBN_SELCHANGE) TakeSelection(dialog);
          return TRUE;
        case IDC_FILTER_SELECT_ALL:
          SelectAll(dialog, true);
          return TRUE;
        case IDC_FILTER_DESELECT_ALL:
          SelectAll(dialog, false);
          return TRUE;
        case IDOK:
          OnFilterOk(dialog);
          return TRUE;
        case IDCANCEL:
          for (size_t i = 0; i < Segments.size() && i < View.openingSelection.size(); ++i) {
            Segments[i].selected = View.openingSelection[i];
          }
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
  }
  return FALSE;
}
