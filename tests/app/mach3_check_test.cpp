// The Mach3-running check against a real process named MACH3.EXE.
#include "app/mach3_check.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "app/portable/text_triple.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

class Mach3CheckTest : public testing::Test {
 protected:
  void SetUp() override { LanguageIndex = English; }
  MessageRecorder messages;
};

TEST_F(Mach3CheckTest, CapitalisedMach3IsFoundInBothModes) {
  TempFolder folder;  // MACH3.EXE in a folder of its own, both gone at the end
  RunningProcess mach3(folder.Path(), L"MACH3.EXE");
  ASSERT_TRUE(mach3.Started());

  struct Case {
    int mode;
    int answer;
    bool stop;
    const wchar_t* text;
    UINT style;
  } cases[] = {
      {Mach3AskToContinue, IDYES, false,
       L"Mach3 seems to be running. In case of changes on the Mach3 settings, Mach3 should be terminated. "
       L"Otherwise the last changes will not be recognized by Kestrelwood. Continue?",
       MB_ICONWARNING | MB_YESNO | MB_TOPMOST},
      {Mach3AskToContinue, IDNO, true, nullptr, MB_ICONWARNING | MB_YESNO | MB_TOPMOST},
      {Mach3Refuse, IDOK, true, L"Mach3 is currently running, please terminate Mach3", MB_ICONWARNING},
  };
  for (const Case& c : cases) {
    messages.Clear();
    messages.Answer(c.answer);
    EXPECT_EQ(CheckMach3Running(c.mode), c.stop) << c.mode << " " << c.answer;
    ASSERT_EQ(messages.Messages().size(), 1u);
    const RecordedMessage& message = messages.Messages()[0];
    if (c.text) {
      EXPECT_EQ(message.text, c.text);
    }
    EXPECT_EQ(message.caption, SelectText(CaptionWarning));
    EXPECT_EQ(message.style, c.style);
    EXPECT_EQ(message.owner, nullptr);
  }
}

}  // namespace
