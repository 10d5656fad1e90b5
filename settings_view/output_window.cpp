// The settings output window. Until it draws the dialog pictures it is a
// plain window.
#include "settings_view/output_window.h"

LRESULT CALLBACK SettingsOutputWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}
