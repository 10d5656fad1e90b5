// Pictures of the Mach3 dialogs drawn from the filled dialog table, on the
// output window, on printer pages or into a metafile.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

// Shared with the output window and printing, which set it before drawing.
struct RenderState {
  uint32_t mask = 0;          // bit i: dialog i is drawn
  int printing = 0;
  int newPagePerDialog = 0;
  int validOnly = 0;
  int32_t currentOffset = 0;  // where the next dialog starts
  int32_t pageHeight = 0;
  int32_t usableHeight = 0;
  int split = 0;              // a dialog was moved to a new page; tables may break
  SYSTEMTIME headerTime{};
};
extern RenderState Render;

// The pen, brushes and font every picture is drawn with.
struct RenderObjects {
  HPEN pen = nullptr;
  HBRUSH blackBrush = nullptr;
  HBRUSH whiteBrush = nullptr;
  HFONT font = nullptr;
};
extern RenderObjects RenderGdi;
void CreateRenderObjects();
void ReleaseRenderObjects();

// A device context and the way its pages end: a printer ends the page and
// starts the next; the screen never breaks pages; tests record the break.
struct DrawingTarget {
  HDC dc = nullptr;
  std::function<void()> nextPage;
};

void DrawSelectedDialogs(const DrawingTarget& target);
void DrawDialog(const DrawingTarget& target, int dialogIndex);
void DrawPageHeader(HDC dc, int dialogIndex);
