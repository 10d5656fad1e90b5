// The list view and search controls that the Show profile and Compare
// profiles dialogs share (same control ids in both templates).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/portable/text_triple.h"
#include "app/texts.h"
#include "view/portable/profile_search.h"

struct ListColumn {
  const TextTriple* title;
  int width;  // pixels
};

// Inserts the columns (a table ending at a null title) in the current language.
void InsertListColumns(HWND list, const ListColumn* columns);

// An empty list with the dialogs' row selection and these columns.
void PrepareList(HWND list, const ListColumn* columns);

// Replaces every row of the list with `rows` rows of `columns` cells. Redraw
// is off meanwhile and the count set ahead: filling with redraw on takes a
// minute for a profile under Wine, a tenth of a second without. A list with
// LVS_OWNERDATA only takes the count and asks `cell` for what it shows, so
// `cell` must answer for every row until the list is filled again.
void FillListRows(HWND list, int rows, int columns, const CellText& cell);

// Deletes every row; the column headers are not redrawn.
void EmptyList(HWND list);

// Redraws every row on screen, not the column headers.
void RepaintRows(HWND list);

// The answer to a LVS_OWNERDATA list's LVN_GETDISPINFOW (the cell texts)
// and LVN_ODFINDITEMW (the row typed in the list); the dialog returns it
// through DWLP_MSGRESULT.
LRESULT AnswerVirtualList(const NMHDR* header);

// Reads the search field, the case check box and the search columns of the
// dialog, searches the rows (`columns` cells each), shows the first hit, the hit count and the
// navigation buttons. False with a message when there is nothing to search.
int RunSearch(HWND dialog, int rows, int columns, const CellText& cell);

// Scrolls the row into view as the hit navigation does.
void ShowListRow(HWND list, int row);

// After a search: redraws the rows on screen whose hit mark differs from
// `before` (the hit marks of the last search, Search.hitRows); the others
// look as they did.
void RepaintChangedHits(HWND list, const std::vector<uint8_t>& before);

void ShowFirstHit(HWND list);
void ShowNextHit(HWND list);
void ShowLastHit(HWND list);

// Wine's static controls repaint at once on every new text, even the same one.
void SetTextIfChanged(HWND dialog, int id, const std::wstring& text);

// Shows the hit count (0) and disables the navigation, for an emptied list.
void ShowNoHits(HWND dialog);

// Custom draw of a list whose hit rows show in the search colours, other
// rows in the given colours (CLR_DEFAULT: the list's own). Answers every
// stage; the dialog returns the result through DWLP_MSGRESULT.
LRESULT DrawListRow(const NMLVCUSTOMDRAW* draw, COLORREF text, COLORREF back);

// The same for a list whose other rows keep the list's own colours: a hit
// row takes its colours once for all its cells, the other rows are left to
// the list. Under Wine a notice per cell made up most of a repaint.
LRESULT DrawHitRows(const NMLVCUSTOMDRAW* draw);

// What the handling both dialogs share does differently in each.
struct ProfileListView {
  int rowField;                                 // shows the number of the activated row
  LRESULT (*draw)(const NMLVCUSTOMDRAW* draw);  // the list's custom draw
  void (*listRows)(HWND dialog);                // lists the selected segments' rows anew
  void (*find)(HWND dialog);                    // searches by the search field
};

// The list's notices; FALSE for those of other controls and for those the
// dialog answers itself.
INT_PTR OnListNotice(HWND dialog, const NMHDR* header, const ProfileListView& view);

// Answers the list's custom draw and cell texts in the dialog's window
// procedure, before the dialog manager: the same answers, returned at once.
void AnswerListDirectly(HWND dialog, const ProfileListView& view);

// Repaints a list's scroll bars and border, not its rows (RDW_UPDATENOW: at once).
void InvalidateListFrame(HWND list, UINT extraFlags);

// The segment filter and the search commands; false for other ids.
bool OnListCommand(HWND dialog, int id, const ProfileListView& view);

// Reads the path field into `path` (PathCapacity characters); false after a
// message when it is empty (`empty` asks for a file) or names no file.
bool ReadPathField(HWND dialog, int id, wchar_t* path, const TextTriple& empty);

// The search, filter and closing controls both dialogs label alike.
extern const RelabelRow ListViewControls[];

// The wild-card hint and the search labels shared by both dialogs.
extern const TextTriple TextWildCards;
// Labels shared by the Show profile and Compare profiles dialogs.
extern const TextTriple TextCaseSensitive;
extern const TextTriple TextElement;
extern const TextTriple TextHits;
extern const TextTriple TextLoadFirst;
extern const TextTriple TextSearch;
extern const TextTriple TextSetFilter;
extern const TextTriple TextShowFirst;
extern const TextTriple TextShowLast;
extern const TextTriple TextShowNext;

