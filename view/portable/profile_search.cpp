// Search state, hit navigation and the segment table.
#include "view/portable/profile_search.h"

#include <algorithm>
#include <vector>

#include "profile/portable/profile_list.h"
#include "view/portable/search_pattern.h"

SearchState Search;
std::vector<Segment> Segments;

void ClearSearchHits() {
  Search.hits.clear();
  Search.hitRows.clear();
  Search.currentHit = 0;
}

void FindHits(std::wstring_view text, bool caseSensitive, int rows, int columns, const CellText& cell) {
  ClearSearchHits();
  Search.text = text;
  Search.caseSensitive = caseSensitive;
  std::wstring pattern(text);
  if (!caseSensitive) FoldCase(pattern);
  Search.hitRows.assign(rows > 0 ? rows : 0, 0);
  // Neighbouring entries share one copy of their path: a cell showing the
  // very text the row above showed in that column matches as it did.
  struct LastCell {
    std::wstring_view text;
    bool match = false;
  };
  std::vector<LastCell> last(columns > 0 ? columns : 0);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      if (!Search.columns[column < ValueColumn ? column : ValueColumn]) continue;
      const std::wstring_view text = cell(row, column);
      LastCell& before = last[column];
      const bool same = !text.empty() && text.data() == before.text.data() && text.size() == before.text.size();
      bool match;
      if (same) {
        match = before.match;
      } else {
        match = caseSensitive ? MatchPattern(text, pattern) : MatchFoldedPattern(text, pattern);
      }
      before = {text, match};
      if (match) {
        Search.hits.push_back(row);
        Search.hitRows[row] = 1;
        break;
      }
    }
  }
}

int TopRowShowing(int row, const ListPosition& list) {
  const int perPage = std::max(list.perPage, 1);
  const int lastTop = std::max(list.rows - perPage, 0);
  const int scrolled = std::clamp(list.top + list.scrollRows, 0, std::max(lastTop, list.top));
  if (row < scrolled) return row;
  if (row >= scrolled + perPage) return row - perPage + 1;
  return scrolled;
}

static int CurrentHitRow() { return Search.hits.empty() ? -1 : Search.hits[Search.currentHit]; }

int FirstHitRow() {
  Search.currentHit = 0;
  return CurrentHitRow();
}

int NextHitRow() {
  if (static_cast<size_t>(Search.currentHit) + 1 < Search.hits.size()) ++Search.currentHit;
  return CurrentHitRow();
}

int LastHitRow() {
  Search.currentHit = Search.hits.empty() ? 0 : static_cast<int32_t>(Search.hits.size() - 1);
  return CurrentHitRow();
}

void BuildSegments() {
  Segments.clear();
  const ProfileList& list = ProfileSlots[FirstProfileSlot];
  for (uint32_t i = 0; i < list.Count(); ++i) {
    const std::wstring_view path = list.records[i].path;
    if (Segments.empty() || Segments.back().path != path) Segments.push_back({std::wstring(path), true, i, 0});
    ++Segments.back().count;
  }
  for (bool& column : Search.columns) column = true;
}

std::vector<uint32_t> SelectedEntries() {
  std::vector<uint32_t> entries;
  const uint32_t count = ProfileSlots[FirstProfileSlot].Count();  // the table may be older than the list
  for (const Segment& segment : Segments) {
    if (!segment.selected) continue;
    for (uint32_t i = segment.first; i < segment.first + segment.count && i < count; ++i) entries.push_back(i);
  }
  return entries;
}
