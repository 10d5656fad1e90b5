// The About box and the Language dialog, driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "resources/resource.h"
#include "tests/support/test_support.h"

namespace {

DWORD StoredLanguage() {
  DWORD value = 99;
  DWORD bytes = sizeof(value);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, L"Language", RRF_RT_REG_DWORD, nullptr, &value, &bytes);
  return value;
}

class LanguageDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    LanguageIndex = German;
    ASSERT_EQ(CreateMainWindow(Instance, SW_HIDE), 1);  // English on a first start
  }
  void TearDown() override {
    DestroyWindow(MainWindow);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    DeleteSettingsKey();
  }
  INT_PTR RunLanguageDialog(std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(MainWindow, IDD_LANGUAGE, LanguageDialogProc); },
                      std::move(steps));
  }
  std::wstring HelpMenuText() { return MenuItemText(GetMenu(MainWindow), 3, true); }
  MessageRecorder messages;
};

void SelectLanguage(HWND dialog, int position) {
  SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_SETCURSEL, position, 0);
}

TEST_F(LanguageDialogTest, OkStoresTheLanguageAndRelabelsTheMenu) {
  const INT_PTR result = RunLanguageDialog({[](HWND dialog) {
    SelectLanguage(dialog, French);
    ClickButton(dialog, IDOK);
  }});
  EXPECT_EQ(result, 1);
  EXPECT_EQ(LanguageIndex, French);
  EXPECT_EQ(StoredLanguage(), 2u);
  EXPECT_EQ(HelpMenuText(), L"Aide");
  EXPECT_EQ(MenuItemText(GetMenu(MainWindow), IDM_LANGUAGE, false), L"Langue");
  // States are untouched by the relabelling: Remove Plugin stays disabled and drawn grey.
  EXPECT_EQ(GetMenuState(GetMenu(MainWindow), IDM_REMOVE_PLUGIN, MF_BYCOMMAND) & (MF_DISABLED | MF_GRAYED),
            static_cast<UINT>(MF_DISABLED | MF_GRAYED));

  // The next dialog opens in the new language (checked in the step, which
  // the driver makes sure runs).
  RunLanguageDialog({[&](HWND dialog) {
    EXPECT_EQ(ItemText(dialog, IDCANCEL), L"Annuler");
    ClickButton(dialog, IDCANCEL);
  }});
}

// It opens with the stored language selected; Cancel keeps it.
TEST_F(LanguageDialogTest, CancelAfterChangingTheSelectionChangesNothing) {
  const INT_PTR result = RunLanguageDialog({[&](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_LANGUAGE_LIST, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ItemText(dialog, IDCANCEL), L"Cancel");
    SelectLanguage(dialog, German);
    ClickButton(dialog, IDCANCEL);
  }});
  EXPECT_EQ(result, 2);
  EXPECT_EQ(LanguageIndex, English);
  EXPECT_EQ(StoredLanguage(), 1u);
  EXPECT_EQ(HelpMenuText(), L"Help");
}

TEST_F(LanguageDialogTest, OkWithoutSelectionComplainsAndStaysOpen) {
  const INT_PTR result = RunLanguageDialog({
      [](HWND dialog) {
        SelectLanguage(dialog, -1);
        ClickButton(dialog, IDOK);
      },
      [&](HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(dialog));
        SelectLanguage(dialog, German);
        ClickButton(dialog, IDOK);
      },
  });
  EXPECT_EQ(result, 1);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"No language selected");
  EXPECT_EQ(messages.Messages()[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(LanguageIndex, German);
  EXPECT_EQ(HelpMenuText(), L"Hlife");
}

TEST(AboutBox, ShowsVersionAndCreditInTheCurrentLanguage) {
  LanguageIndex = French;
  const INT_PTR result = DriveModal([] { return RunModalDialog(nullptr, IDD_ABOUT, AboutDialogProc); },
                                    {[&](HWND about) {
                                      EXPECT_EQ(ItemText(about, IDC_ABOUT_VERSION), L"Kestrelwood V3.02");
                                      EXPECT_EQ(ItemText(about, IDC_ABOUT_CREDIT).rfind(L"Traduction", 0), 0u);
                                      ClickButton(about, IDCANCEL);
                                    }});
  EXPECT_EQ(result, 2);
}

}  // namespace
