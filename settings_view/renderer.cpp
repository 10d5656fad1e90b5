// Draws Mach3's dialogs as simple line pictures: frames with a header,
// circles, squares and boxes for the controls, and column tables for the
// signal, fixture, tool and plug-in lists.
#include "settings_view/renderer.h"

#include <algorithm>
#include <string>

#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "settings_view/portable/dialog_table.h"
#include "settings_view/portable/settings_values.h"

RenderState Render;
RenderObjects RenderGdi;

void CreateRenderObjects() {
  if (RenderGdi.pen) return;
  RenderGdi.pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  RenderGdi.blackBrush = CreateSolidBrush(RGB(0, 0, 0));
  RenderGdi.whiteBrush = CreateSolidBrush(RGB(255, 255, 255));
  RenderGdi.font = CreateFontW(16, 5, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Arial");
}

void ReleaseRenderObjects() {
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(RenderGdi.pen), static_cast<HGDIOBJ>(RenderGdi.blackBrush),
                         static_cast<HGDIOBJ>(RenderGdi.whiteBrush), static_cast<HGDIOBJ>(RenderGdi.font)}) {
    if (object) DeleteObject(object);
  }
  RenderGdi = RenderObjects{};
}

static void ReportDrawingProblem(const std::wstring& text) {
  ShowErrorMessage(nullptr, text.c_str(), MB_TOPMOST);
}

static void PutText(HDC dc, int x, int y, const std::wstring& text) {
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

static void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

static void DrawCheckMark(HDC dc, int x, int y) {
  MoveToEx(dc, x, y + 10, nullptr);
  LineTo(dc, x + 2, y + 14);
  LineTo(dc, x + 17, y);
}

static void DrawCross(HDC dc, int x, int y) {
  Line(dc, x, y, x + 15, y + 15);
  Line(dc, x + 15, y, x, y + 15);
}

static void DrawDot(HDC dc, int x, int y) {
  const SelectedObject brush(dc, RenderGdi.blackBrush);
  Ellipse(dc, x + 2, y + 2, x + 13, y + 13);
}

static void NextPage(const DrawingTarget& target) {
  if (target.nextPage) target.nextPage();
  Render.currentOffset = 0;
}

// Corners, sides and bottom edge of a frame whose bottom lies at `bottom`.
static void DrawFrameBottom(HDC dc, int left, int right, int sidesFrom, int bottom) {
  Arc(dc, left, bottom - 20, left + 20, bottom, left, bottom - 10, left + 11, bottom);
  Arc(dc, right - 20, bottom - 20, right, bottom, right - 10, bottom, right, bottom - 10);
  Line(dc, left, sidesFrom, left, bottom - 10);
  Line(dc, right, sidesFrom, right, bottom - 10);
  Line(dc, right - 10, bottom, left + 10, bottom);
}

// The bottom just below a table's last line y.
static void DrawTableBottom(HDC dc, const SettingsDialog& dialog, int y) {
  const int left = dialog.left;
  const int right = dialog.left + dialog.width;
  Arc(dc, left, y, left + 20, y + 20, left, y + 10, left + 11, y + 20);
  Arc(dc, right - 20, y, right, y + 20, right - 10, y + 20, right, y + 10);
  Line(dc, left, y + 10, left, y - 10);
  Line(dc, right, y + 10, right, y - 10);
  Line(dc, right - 10, y + 20, left + 10, y + 20);
}

static void DrawSidesBeside(HDC dc, const SettingsDialog& dialog, int y) {
  Line(dc, dialog.left, y, dialog.left, y + 20);
  Line(dc, dialog.left + dialog.width, y, dialog.left + dialog.width, y + 20);
}

void DrawPageHeader(HDC dc, int dialogIndex) {
  const SettingsDialog& dialog = DialogTable[dialogIndex];
  const int left = dialog.left;
  const int right = dialog.left + dialog.width;
  const int y0 = dialog.top + Render.currentOffset;
  const SYSTEMTIME& time = Render.headerTime;
  PutText(dc, left + 10, y0 + 3,
          FormatText(L"%s       %s\\%s    %02d.%02d.%04d %02d:%02d", dialog.title.c_str(), MachDir.c_str(),
                     ProfileName.c_str(), time.wDay, time.wMonth, time.wYear, time.wHour, time.wMinute));
  Arc(dc, left, y0, left + 20, y0 + 20, left + 10, y0, left, y0 + 11);
  Arc(dc, right - 20, y0, right, y0 + 20, right, y0 + 10, right - 10, y0);
  Line(dc, left + 10, y0, right - 10, y0);
  Line(dc, left, y0 + 10, left, y0 + 30);
  Line(dc, right, y0 + 10, right, y0 + 30);
  Line(dc, left, y0 + 30, right, y0 + 30);
}

static void DrawRow(HDC dc, const SettingsDialog& dialog, SettingsRow& row) {
  const int a = dialog.left + row.x;
  const int b = dialog.top + Render.currentOffset + row.y;
  const uint32_t kind = RowKind(row);
  switch (kind) {
    case DLG_RADIO:
    case DLG_TOOLCHANGE_IGNORE:
    case DLG_TOOLCHANGE_STOP:
    case DLG_TOOLCHANGE_AUTO:
    case DLG_RADIO_KERNEL:
    case DLG_RADIO_SWAPPED:
      Arc(dc, a + 20, b + 22, a + 35, b + 37, a + 20, b + 22, a + 20, b + 22);
      PutText(dc, a + 40, b + 22, row.label);
      row.absX = a + 20;
      row.absY = b + 22;
      break;
    case DLG_CHECK:
    case DLG_CHECK_INVERTED:
    case DLG_CHECK_PULLEY:
      Rectangle(dc, a + 20, b + 22, a + 35, b + 37);
      PutText(dc, a + 40, b + 22, row.label);
      row.absX = a + 20;
      row.absY = b + 22;
      break;
    case DLG_EDIT_PULLEY_NUMBER:
    case DLG_EDIT_PULLEY:
    case DLG_EDIT_LABEL_ABOVE:
      PutText(dc, a + 25, b + 22, row.label);
      Rectangle(dc, a + 20, b + 43, a + 20 + row.width, b + 43 + row.height);
      row.absX = a + 20;
      row.absY = b + 41;
      break;
    case DLG_EDIT_LABEL_RIGHT:
      Rectangle(dc, a, b + 22, a + row.width, b + 22 + row.height);
      PutText(dc, a + row.width + 5, b + 22, row.label);
      row.absX = a;
      row.absY = b + 20;
      break;
    case DLG_EDIT_LABEL_LEFT:
      Rectangle(dc, a, b + 22, a + row.width, b + 22 + row.height);
      PutText(dc, a - row.labelWidth, b + 22, row.label);
      row.absX = a;
      row.absY = b + 20;
      break;
    case DLG_CELL:
      row.absX = a + 20;
      row.absY = b + 22;
      break;
    case DLG_EDIT_PLAIN:
      Rectangle(dc, a + row.labelWidth, b + 24, a + row.labelWidth + row.width, b + 24 + row.height);
      row.absX = a + row.labelWidth;
      row.absY = b + 22;
      break;
    case DLG_TEXT:
      PutText(dc, a + 25, b + 22, row.label);
      row.absX = a + 25;
      row.absY = b + 22;
      break;
    case 15:
      ReportDrawingProblem(
          FormatText(L"List:%s  %d undefined DLG_TYPE_EDIT", dialog.title.c_str(), static_cast<int>(kind)));
      break;
    default:
      ReportDrawingProblem(FormatText(L"List:%s  0x%0X undefined DLG_TYPE", dialog.title.c_str(), kind));
      break;
  }
}

// Values, dots, crosses and check marks of a dialog drawn control by control.
static void DrawMarks(HDC dc, const SettingsDialog& dialog) {
  const size_t count = RowCount(dialog);
  for (size_t r = 0; r < count; ++r) {
    const SettingsRow& row = dialog.rows[r];
    if (!HasKey(row)) continue;
    const uint32_t kind = RowKind(row);
    switch (kind) {
      case DLG_RADIO:
      case DLG_RADIO_KERNEL:
      case DLG_RADIO_SWAPPED: {
        // A value pointing outside the dialog's rows selects no button.
        const int64_t target = static_cast<int64_t>(r) + row.value.number;
        if (target >= 0 && target < static_cast<int64_t>(count)) {
          DrawDot(dc, dialog.rows[target].absX, dialog.rows[target].absY);
        }
        break;
      }
      case DLG_TOOLCHANGE_IGNORE:
        if (IgnoreToolChange == 0 && AutoToolChanger == 0) DrawDot(dc, row.absX, row.absY);
        break;
      case DLG_TOOLCHANGE_STOP:
        if (IgnoreToolChange == 1 && AutoToolChanger == 0) DrawDot(dc, row.absX, row.absY);
        break;
      case DLG_TOOLCHANGE_AUTO:
        if (IgnoreToolChange == 1 && AutoToolChanger == 1) DrawDot(dc, row.absX, row.absY);
        break;
      case DLG_CHECK:
      case DLG_CHECK_INVERTED:
      case DLG_CHECK_PULLEY:
        if (row.value.number != 0) DrawCross(dc, row.absX, row.absY);
        break;
      default:
        if (kind < DLG_EDIT_PULLEY_NUMBER || kind > DLG_EDIT_PLAIN) break;
        switch (row.format) {
          case FORMAT_INT:
          case FORMAT_INT_OFFSET:
          case FORMAT_KERNEL_DIVISOR:
            PutText(dc, row.absX + 5, row.absY + 3, FormatText(L"%d", row.value.number));
            break;
          case FORMAT_TEXT:
          case FORMAT_HEX:
          case FORMAT_DECIMAL:
          case FORMAT_PER_MINUTE:
          case FORMAT_HOME_OFFSET:
            PutText(dc, row.absX + 5, row.absY + 3, row.value.text);
            break;
          case FORMAT_FLAG:
            if (row.value.number != 0) DrawCheckMark(dc, row.absX + 5, row.absY + 3);
            break;
          default:
            ReportDrawingProblem(
                FormatText(L"List:%s %d undefined FORMAT_TYPE", dialog.title.c_str(), row.format));
            break;
        }
        break;
    }
  }
}

// One column of a signal table line: text, or a check mark when set.
static void DrawSignalCell(HDC dc, const SettingsRow& cell, int y) {
  if (cell.format == FORMAT_FLAG) {
    if (cell.value.number != 0) DrawCheckMark(dc, cell.absX, y);
  } else {
    PutText(dc, cell.absX, y, cell.value.text);
  }
}

static void DrawHeadings(HDC dc, const SettingsDialog& dialog, int headings, int y) {
  for (int h = 0; h < headings; ++h) PutText(dc, dialog.rows[h].absX, y, dialog.rows[h].label);
}

enum class SignalBreak { None, PageHeight, UsableHeight };

// Input signals, output signals and encoders: a label and cells per line,
// lines without "Enabled" left out when only valid data is shown.
static int DrawSignalTable(const DrawingTarget& target, int dialogIndex, int headings, SignalBreak breakRule) {
  HDC dc = target.dc;
  const SettingsDialog& dialog = DialogTable[dialogIndex];
  const int rowsPerLine = headings;
  int y = dialog.top + dialog.rows[0].y + Render.currentOffset + 20;
  DrawHeadings(dc, dialog, headings, y);
  bool continued = false;
  const size_t count = RowCount(dialog);
  for (size_t first = headings; first + rowsPerLine <= count; first += rowsPerLine) {
    const SettingsRow& label = dialog.rows[first];
    const SettingsRow& enabled = dialog.rows[first + 1];
    if (Render.validOnly && enabled.value.number == 0) continue;
    y += 20;
    PutText(dc, label.absX, y, label.label);
    for (int c = 1; c < rowsPerLine; ++c) DrawSignalCell(dc, dialog.rows[first + c], y);
    if (continued) DrawSidesBeside(dc, dialog, y);
    if (!Render.printing || !Render.split || breakRule == SignalBreak::None) continue;
    const bool full = breakRule == SignalBreak::PageHeight ? y + 40 >= Render.pageHeight
                                                           : y + 20 >= Render.usableHeight;
    if (full) {
      NextPage(target);
      DrawPageHeader(dc, dialogIndex);
      y = dialog.top + dialog.rows[0].y + 40;
      DrawHeadings(dc, dialog, headings, y);
      Render.split = 0;
      continued = true;
    }
  }
  if (Render.printing) DrawTableBottom(dc, dialog, y);
  return y;
}

static std::wstring FixtureLabel(int i) {
  return i < 6 ? FormatText(L"G5%d", i + 4) : FormatText(L"G59P%d", i + 1);
}

// Fixtures and tools are long tables that continue over as many pages as
// they need while printing.
static int DrawFixtureHeadings(HDC dc, const SettingsDialog& dialog, int y) {
  PutText(dc, dialog.left + dialog.rows[0].x + 20, y, dialog.rows[0].label);
  for (int h = 1; h <= 8; ++h) PutText(dc, dialog.left + dialog.rows[h].x + 20, y + 20, dialog.rows[h].label);
  return y + 20 + 22;  // first line
}

// Set while the dialog being drawn was moved to a new page with its frame
// left open below: its rows or table close it.
static bool FrameLeftOpen = false;

// Whether the next line of a long table goes on a new page first: it would
// not lie, with the frame's bottom 20 below it, above the page's end. A page
// that holds no line yet keeps it, so a tiny page cannot break forever.
static bool BreaksBefore(int lineY, int linesOnPage) {
  return Render.printing && Render.split && linesOnPage > 0 && lineY + 20 >= Render.pageHeight;
}

// A long table: its headings, which of its records it leaves out (the
// empty ones when only valid data is shown) and how a record's line reads.
struct LongTable {
  int dialogIndex;
  int headingsOffset;  // of the first page's headings below the dialog's first row
  int records;
  int (*headings)(HDC dc, const SettingsDialog& dialog, int y);  // the y above the first line
  bool (*omitted)(int record);
  void (*line)(HDC dc, const SettingsDialog& dialog, int record, int y);
};

static int DrawLongTable(const DrawingTarget& target, const LongTable& table) {
  HDC dc = target.dc;
  const SettingsDialog& dialog = DialogTable[table.dialogIndex];
  int y = table.headings(dc, dialog, dialog.top + dialog.rows[0].y + Render.currentOffset + table.headingsOffset);
  bool broke = false;
  int linesOnPage = 0;
  for (int i = 0; i < table.records; ++i) {
    if (table.omitted(i)) continue;
    if (BreaksBefore(y + 20, linesOnPage)) {
      NextPage(target);
      DrawPageHeader(dc, table.dialogIndex);
      y = table.headings(dc, dialog, dialog.top + dialog.rows[0].y + 40);
      broke = true;
      linesOnPage = 0;
    }
    y += 20;
    ++linesOnPage;
    table.line(dc, dialog, i, y);
    if (broke) DrawSidesBeside(dc, dialog, y);
  }
  // The frame closes on the table's last page, whether it broke or not.
  if (Render.printing && (broke || FrameLeftOpen)) DrawTableBottom(dc, dialog, y);
  return y;
}

static const LongTable FixtureLines = {
    DialogFixtures, 20, FixtureCount,
    [](HDC dc, const SettingsDialog& dialog, int y) { return DrawFixtureHeadings(dc, dialog, y) - 20; },
    [](int i) { return Render.validOnly && FixtureTable[i].empty != 0; },
    [](HDC dc, const SettingsDialog& dialog, int i, int y) {
      PutText(dc, dialog.left + dialog.rows[1].x + 20, y, FixtureLabel(i));
      for (int axis = 0; axis < FixtureAxisCount; ++axis) {
        PutText(dc, dialog.left + dialog.rows[2 + axis].x + 20, y, FixtureTable[i].coords[axis]);
      }
      PutText(dc, dialog.left + dialog.rows[8].x + 25, y, FixtureTable[i].name);
    }};

static const LongTable ToolLines = {
    DialogToolTable, 40, ToolCount,
    [](HDC dc, const SettingsDialog& dialog, int y) {
      for (int h = 0; h < 6; ++h) PutText(dc, dialog.left + dialog.rows[h].x + 20, y, dialog.rows[h].label);
      return y + 40 - 20;
    },
    [](int i) { return Render.validOnly && ToolTable[i].valid != 1; },
    [](HDC dc, const SettingsDialog& dialog, int i, int y) {
      const ToolSlot& slot = ToolTable[i];
      const wchar_t* columns[6] = {slot.number, slot.description, slot.diameter,
                                   slot.height, slot.diameterWear, slot.heightWear};
      for (int c = 0; c < 6; ++c) PutText(dc, dialog.left + dialog.rows[c].x + 25, y, columns[c]);
    }};

static int DrawPluginTable(const DrawingTarget& target) {
  HDC dc = target.dc;
  const SettingsDialog& dialog = DialogTable[DialogPlugins];
  int y = dialog.top + dialog.rows[0].y + Render.currentOffset + 40;
  for (int h = 0; h < 2; ++h) PutText(dc, dialog.left + dialog.rows[h].x + 20, y, dialog.rows[h].label);
  for (const PluginRecord& plugin : PluginList) {
    if (Render.validOnly && plugin.enabled != 1) continue;
    y += 20;
    if (plugin.enabled) DrawCheckMark(dc, dialog.left + dialog.rows[0].x + 20, y);
    PutText(dc, dialog.left + dialog.rows[1].x + 25, y, plugin.name);
  }
  return y;
}

static int DrawLineTable(const DrawingTarget& target, int dialogIndex) {
  switch (dialogIndex) {
    case DialogInputSignals:
      return DrawSignalTable(target, dialogIndex, 7, SignalBreak::PageHeight);
    case DialogOutputSignals:
      return DrawSignalTable(target, dialogIndex, 5, SignalBreak::UsableHeight);
    case DialogEncoders:
      return DrawSignalTable(target, dialogIndex, 8, SignalBreak::None);
    case DialogFixtures:
      return DrawLongTable(target, FixtureLines);
    case DialogToolTable:
      return DrawLongTable(target, ToolLines);
    default:
      return DrawPluginTable(target);
  }
}

void DrawDialog(const DrawingTarget& target, int dialogIndex) {
  HDC dc = target.dc;
  SettingsDialog& dialog = DialogTable[dialogIndex];
  const int left = dialog.left;
  const int right = dialog.left + dialog.width;
  const int height = dialog.height;
  if (!Render.printing || Render.currentOffset + height + 50 <= Render.pageHeight) {
    const int t = dialog.top + Render.currentOffset;
    DrawPageHeader(dc, dialogIndex);
    DrawFrameBottom(dc, left, right, t + 30, t + height);
    FrameLeftOpen = false;
  } else {
    // A dialog taller than a page stays on a page that is still empty.
    if (Render.currentOffset > 0) NextPage(target);
    DrawPageHeader(dc, dialogIndex);
    Render.usableHeight = Render.pageHeight - dialog.top - 10;
    // Sides end at the page's end: a long table breaks pages on its own.
    const int sidesTo = std::min(height, Render.pageHeight);
    Line(dc, left, dialog.top + 10, left, sidesTo);
    Line(dc, right, dialog.top + 10, right, sidesTo);
    Render.split = 1;
    FrameLeftOpen = true;
  }
  const int t = dialog.top + Render.currentOffset;
  if (IsLineTableDialog(dialogIndex)) {
    Render.currentOffset = DrawLineTable(target, dialogIndex) + 20;
    return;
  }
  for (SettingsRow& row : dialog.rows) {
    if (IsEndRow(row)) break;
    DrawRow(dc, dialog, row);
  }
  if (Render.split) DrawFrameBottom(dc, left, right, t + 30, t + height);
  Render.currentOffset = t + height;
}

void DrawSelectedDialogs(const DrawingTarget& target) {
  HDC dc = target.dc;
  Render.currentOffset = 0;
  Render.split = 0;
  const SelectedObject font(dc, RenderGdi.font);
  const SelectedObject pen(dc, RenderGdi.pen);
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < SettingsDialogCount; ++i) {
    if ((Render.mask & (1u << i)) == 0) continue;
    DrawDialog(target, i);
    if (!IsLineTableDialog(i)) DrawMarks(dc, DialogTable[i]);
    // No empty page after the last dialog.
    const bool more = i + 1 < SettingsDialogCount && (Render.mask >> (i + 1)) != 0;
    if (Render.printing && Render.newPagePerDialog && more) NextPage(target);
  }
  SetBkMode(dc, previousMode);
}
