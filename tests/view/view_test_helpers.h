// Driving the profile list dialogs by messages, as the list view would.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "profile/portable/profile_list.h"
#include "resources/resource.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

struct Drawn {
  LRESULT answer;
  COLORREF text, back;
};

// What the dialog answers the list's custom draw at a stage (for one cell).
inline Drawn DrawCell(HWND dialog, int row, int column, DWORD stage = CDDS_ITEMPREPAINT | CDDS_SUBITEM) {
  NMLVCUSTOMDRAW draw = {};
  draw.nmcd.hdr.hwndFrom = GetDlgItem(dialog, IDC_PROFILE_LIST);
  draw.nmcd.hdr.idFrom = IDC_PROFILE_LIST;
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = stage;
  draw.nmcd.dwItemSpec = row;
  draw.iSubItem = column;
  draw.clrText = draw.clrTextBk = 0x123456;
  const LRESULT answer = SendMessageW(dialog, WM_NOTIFY, IDC_PROFILE_LIST, reinterpret_cast<LPARAM>(&draw));
  return {answer, draw.clrText, draw.clrTextBk};
}

inline void Command(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// Enter pressed in a control, through the dialog manager as the message loop does.
inline void PressEnter(HWND dialog, int id) {
  SetFocus(GetDlgItem(dialog, id));
  MSG key = {};
  key.hwnd = GetFocus();
  key.message = WM_KEYDOWN;
  key.wParam = VK_RETURN;
  IsDialogMessageW(dialog, &key);
}

// The list separator of the user's locale, as set in the Control Panel,
// for the life of the object.
class LocaleListSeparator {
 public:
  explicit LocaleListSeparator(const wchar_t* separator) {
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, old_, 8);
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, separator);
  }
  ~LocaleListSeparator() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, old_); }

 private:
  wchar_t old_[8] = L",";
};

// A click on a row of the filter's segment list.
inline void ClickSegment(HWND filter, int row, bool select) {
  SendDlgItemMessageW(filter, IDC_FILTER_SEGMENTS, LB_SETSEL, select, row);
  SendMessageW(filter, WM_COMMAND, MAKEWPARAM(IDC_FILTER_SEGMENTS, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(filter, IDC_FILTER_SEGMENTS)));
}

// A fresh settings key holding only the language a dialog opens in.
inline void StoreOnlyLanguage(DWORD language) {
  DeleteSettingsKey();
  StoreSettingNumber(L"Language", language);
}

// A view dialog opened by the test, its files in a temporary folder.
class ViewDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    LanguageIndex = English;
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
    ReleaseAllProfiles();
    DeleteSettingsKey();
  }
  std::wstring Write(const wchar_t* name, const std::string& text) {
    folder_.Write(name, text);
    return folder_.Path(name);
  }
  HWND List() const { return GetDlgItem(dialog_, IDC_PROFILE_LIST); }
  // Opens the segment filter over the dialog; `step` must close it.
  void Filter(DialogStep step) {
    DriveModal([this] { return SendMessageW(dialog_, WM_COMMAND, IDC_SET_FILTER, 0); }, {std::move(step)});
  }
  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog_, id)) != FALSE; }

  HWND dialog_ = nullptr;
  TempFolder folder_;
  MessageRecorder messages;
};
