// The search shared by the Show profile and Compare profiles dialogs: the
// search state with its hit list, navigation over the hits, and the segment
// table (runs of entries with one path) the filter dialog offers. Needs no
// Windows header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum SearchColumn { SegmentColumn = 0, NameColumn = 1, ValueColumn = 2, SearchColumnCount = 3 };

struct SearchState {
  std::wstring text;                     // the normalised search text of the last search
  std::vector<int32_t> hits;             // rows that matched, in row order
  std::vector<uint8_t> hitRows;          // per row: 1 for a hit, for drawing
  int32_t currentHit = 0;                // position in `hits` last shown
  bool caseSensitive = false;
  bool columns[SearchColumnCount] = {};  // Segment, Name, Value: searched or not

  bool IsHit(int row) const { return row >= 0 && static_cast<size_t>(row) < hitRows.size() && hitRows[row]; }
};

// One of the dialogs is open at a time; they share this state.
extern SearchState Search;

void ClearSearchHits();

// The text of a cell of a listed row: a view of text kept as long as the
// list shows it, which does not change meanwhile.
using CellText = std::function<std::wstring_view(int row, int column)>;

// Searches `rows` rows of `columns` cells for the normalised `text`: a row
// is a hit when one of its searched cells matches whole (case folded unless
// case sensitive). Every column from 2 on is a value (a comparison has two)
// and is searched with the Value flag. Replaces the hit list and sets the
// current hit to 0.
void FindHits(std::wstring_view text, bool caseSensitive, int rows, int columns, const CellText& cell);

// The list as the hit navigation finds it: the first row on screen, the
// rows, the rows fully on screen and how many rows the scroll before
// showing a row covers.
struct ListPosition {
  int top = 0;
  int rows = 0;
  int perPage = 0;
  int scrollRows = 0;
};

// The first row on screen once the list has scrolled `scrollRows` rows down
// (not past its end) and then as little as makes `row` fully visible: a row
// above that lands at the top, a row below it at the bottom.
int TopRowShowing(int row, const ListPosition& list);

// Move the current hit; each returns the row to show, -1 without hits.
int FirstHitRow();
int NextHitRow();
int LastHitRow();

struct Segment {
  std::wstring path;
  bool selected = true;
  uint32_t first = 0;  // index of its first entry in slot 0
  uint32_t count = 0;  // entries in the run
};

extern std::vector<Segment> Segments;

// One segment per run of consecutive slot-0 entries with equal paths, all
// selected; sets the three search columns.
void BuildSegments();

// The slot-0 entries of the selected segments, in list order.
std::vector<uint32_t> SelectedEntries();
