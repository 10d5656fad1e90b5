// The output window: a scrolling view of the selected dialog pictures,
// redrawn from the filled table whenever it is painted.
#include "settings_view/output_window.h"

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "settings_view/portable/dialog_table.h"
#include "settings_view/renderer.h"

HWND SettingsOutputWindow = nullptr;
int32_t ScrollPosition = 0;
int32_t ScrollMaximum = 0;

static constexpr int CloseCommand = 32786;
static constexpr int SystemCloseCommand = 16;

bool CreateSettingsOutputWindow() {
  if (SettingsOutputWindow) return true;
  SettingsOutputWindow = CreateWindowExW(0, OutputWindowClass, L"Show Settings", WS_VISIBLE | WS_OVERLAPPEDWINDOW |
                                         WS_VSCROLL, 0, 0, 1000, 750, nullptr, nullptr, Instance, nullptr);
  if (!SettingsOutputWindow) {
    ShowErrorMessage(nullptr, SystemErrorText(GetLastError()).c_str(), MB_TOPMOST | MB_TASKMODAL);
    return false;
  }
  return true;
}

void DestroySettingsOutputWindow() {
  if (SettingsOutputWindow) DestroyWindow(SettingsOutputWindow);
}

void SetupScrollRange() {
  int64_t total = 0;
  for (int i = 0; i < SettingsDialogCount; ++i) total += DialogTable[i].height;
  if (!Render.validOnly) total += DialogTable[DialogSaveZ].height + DialogTable[DialogSpindlePulleys].height;
  if (total > INT32_MAX) total = INT32_MAX;
  ScrollMaximum = static_cast<int32_t>(total);
  ScrollPosition = 0;
  if (!SettingsOutputWindow) return;
  SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS, 0, ScrollMaximum,
                     static_cast<UINT>(ScrollMaximum / 20), 0, 0};
  SetScrollInfo(SettingsOutputWindow, SB_VERT, &info, TRUE);
}

int32_t NextScrollPosition(int32_t position, int32_t maximum, int request, int32_t trackPosition) {
  auto down = [&](int32_t step) { return position + step > maximum ? maximum : position + step; };
  auto up = [&](int32_t step) { return position - step < 0 ? 0 : position - step; };
  switch (request) {
    case SB_LINEUP:
      return up(20);
    case SB_LINEDOWN:
      return down(20);
    case SB_PAGEUP:
      return up(200);
    case SB_PAGEDOWN:
      return down(200);
    case SB_TOP:
      return 0;
    case SB_BOTTOM:
      return maximum;
    case SB_THUMBTRACK:
      return trackPosition;
    default:
      return position;
  }
}

static void OnPaint(HWND window) {
  RECT update;
  if (!GetUpdateRect(window, &update, FALSE)) return;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  SetWindowOrgEx(dc, 0, ScrollPosition, nullptr);
  OffsetRect(&paint.rcPaint, 0, ScrollPosition);
  if (!Render.printing) {
    Render.currentOffset = 0;
    DrawSelectedDialogs(DrawingTarget{dc, nullptr});
  }
  EndPaint(window, &paint);
}

int ScrollRequestForKey(WPARAM key) {
  switch (key) {
    case VK_UP:
      return SB_LINEUP;
    case VK_DOWN:
      return SB_LINEDOWN;
    case VK_PRIOR:
      return SB_PAGEUP;
    case VK_NEXT:
      return SB_PAGEDOWN;
    case VK_HOME:
      return SB_TOP;
    case VK_END:
      return SB_BOTTOM;
    default:
      return -1;
  }
}

static void OnVerticalScroll(HWND window, WPARAM wParam) {
  SCROLLINFO track = {sizeof(track), SIF_TRACKPOS, 0, 0, 0, 0, 0};
  GetScrollInfo(window, SB_VERT, &track);
  const int32_t old = ScrollPosition;
  const int32_t wanted = NextScrollPosition(old, ScrollMaximum, LOWORD(wParam), track.nTrackPos);
  SCROLLINFO position = {sizeof(position), SIF_POS, 0, 0, 0, wanted, 0};
  SetScrollInfo(window, SB_VERT, &position, TRUE);
  GetScrollInfo(window, SB_VERT, &position);
  ScrollWindow(window, 0, old - position.nPos, nullptr, nullptr);
  ScrollPosition = position.nPos;
}

LRESULT CALLBACK SettingsOutputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      LoadAllSettings();
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == SystemCloseCommand || LOWORD(wParam) == CloseCommand) DestroyWindow(window);
      return 0;
    case WM_VSCROLL:
      OnVerticalScroll(window, wParam);
      return 0;
    case WM_KEYDOWN:
      // The keyboard scrolls as the scroll bar does; Esc closes, as in every dialog.
      if (wParam == VK_ESCAPE) {
        DestroyWindow(window);
      } else if (const int request = ScrollRequestForKey(wParam); request >= 0) {
        OnVerticalScroll(window, MAKEWPARAM(request, 0));
      }
      return 0;
    case WM_DESTROY:
      if (SettingsOutputWindow == window) SettingsOutputWindow = nullptr;
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
