// Reading the controls of the pin pages and dialogs in tests.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "tests/support/test_support.h"

inline std::vector<std::wstring> SheetTabTitles(HWND sheet) {
  HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
  std::vector<std::wstring> titles;
  const int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t text[128] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    titles.push_back(text);
  }
  return titles;
}

inline HWND CurrentSheetPage(HWND sheet) { return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }

inline void CloseSheet(HWND sheet) { SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

// A click on a list heading, as the list view reports it to the page.
inline void ClickColumn(HWND page, int listId, int column) {
  NMLISTVIEW click = {};
  click.hdr.hwndFrom = GetDlgItem(page, listId);
  click.hdr.idFrom = listId;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = column;
  SendMessageW(page, WM_NOTIFY, listId, reinterpret_cast<LPARAM>(&click));
}

