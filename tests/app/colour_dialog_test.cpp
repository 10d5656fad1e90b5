// The colour dialog of the comparison list, driven with scripted colour
// choices against the settings key of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "resources/resource.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/test_support.h"

namespace {

const wchar_t* const ColourNames[] = {
    L"Compare window text color equal",   L"Compare window back color equal", L"Compare window text color unequal",
    L"Compare window back color unequal", L"Select color",                    L"Text color selected",
};

class ColourDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    LanguageIndex = English;
  }
  void TearDown() override { DeleteSettingsKey(); }
  INT_PTR Run(std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(nullptr, IDD_COLOURS, ColourDialogProc); }, std::move(steps));
  }
  std::vector<DWORD> StoredColours() {
    std::vector<DWORD> colours;
    for (const wchar_t* name : ColourNames) colours.push_back(StoredSettingNumber(name));
    return colours;
  }
  ScriptedDialogs dialogs;
  MessageRecorder messages;
};

// Each chooser starts from its working colour; Cancel keeps the old colours,
// stored and loaded; OK alone writes the six into a fresh key.
TEST_F(ColourDialogTest, CancelKeepsTheOldColoursAndOkStoresTheSixInTheirOrder) {
  LoadAllSettings();
  const std::vector<DWORD> before = StoredColours();
  dialogs.ChooseColourAnswer(RGB(7, 7, 7));
  std::vector<COLORREF> starts;
  EXPECT_EQ(Run({[&](HWND dialog) {
              ClickButton(dialog, IDC_BACK_UNEQUAL);
              starts.push_back(dialogs.lastColourRequest.rgbResult);
              ClickButton(dialog, IDC_BACK_UNEQUAL);  // starts from the colour just chosen, and is cancelled
              starts.push_back(dialogs.lastColourRequest.rgbResult);
              EXPECT_EQ(dialogs.lastColourRequest.hwndOwner, dialog);
              ClickButton(dialog, IDCANCEL);
            }}),
            2);
  EXPECT_EQ(starts, (std::vector<COLORREF>{0x1414F0, RGB(7, 7, 7)}));
  EXPECT_EQ(StoredColours(), before);
  EXPECT_EQ(Settings.compareBackColorUnequal, 0x1414F0u);

  for (BYTE grey = 1; grey <= 4; ++grey) dialogs.ChooseColourAnswer(RGB(grey, grey, grey));
  std::wstring sample;
  EXPECT_EQ(Run({[&](HWND dialog) {
              for (int id : {IDC_TEXT_UNEQUAL, IDC_BACK_UNEQUAL, IDC_TEXT_EQUAL, IDC_BACK_EQUAL})
                ClickButton(dialog, id);
              // A cancelled chooser keeps the colour and repaints the sample.
              SetDlgItemTextW(dialog, IDC_SAMPLE_EQUAL, L"");
              ClickButton(dialog, IDC_TEXT_EQUAL);
              sample = ItemText(dialog, IDC_SAMPLE_EQUAL);
              DeleteSettingsKey();
              ClickButton(dialog, IDOK);
            }}),
            1);
  EXPECT_EQ(sample, L"sample text");
  EXPECT_EQ(dialogs.colourCalls, 7);
  EXPECT_EQ(StoredSettingCount(), 6u);
  EXPECT_EQ(StoredColours(), (std::vector<DWORD>{RGB(3, 3, 3), RGB(4, 4, 4), RGB(1, 1, 1), RGB(2, 2, 2),
                                                 0xF04B19, 0xF0F0F0}));
  EXPECT_EQ(Settings.compareTextColorEqual, RGB(3, 3, 3));
  EXPECT_EQ(Settings.compareBackColorUnequal, RGB(2, 2, 2));
}

}  // namespace
