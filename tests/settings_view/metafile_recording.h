// Records a drawing into an enhanced metafile and reads back its texts and
// shapes, with the page each one was drawn on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct DrawnItem {
  DWORD type;          // EMR_EXTTEXTOUTW, EMR_ELLIPSE or EMR_LINETO
  int page;            // pages broken before it
  std::wstring text;   // texts
  RECT box;            // texts: reference point; ellipses; lines: from (left, top) to (right, bottom)
};

// The page breaks of the drawing show as GDI comments in the record stream.
void RecordPageBreak(HDC dc);

std::vector<DrawnItem> RecordDrawing(const std::function<void(HDC)>& draw);

// Every metafile record but the header and end, as raw bytes, for comparing
// two drawings.
std::vector<std::vector<BYTE>> RecordRaw(const std::function<void(HDC)>& draw);

std::vector<DrawnItem> ItemsOf(const std::vector<DrawnItem>& items, DWORD type);
const DrawnItem* FindText(const std::vector<DrawnItem>& items, const std::wstring& text);
bool HasLine(const std::vector<DrawnItem>& items, int x1, int y1, int x2, int y2);
