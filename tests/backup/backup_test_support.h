// Helpers shared by the backup tests: answering the conflict dialog by
// script and finding the dialogs a modal run created.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/test_support.h"

struct ConflictSeen {
  std::wstring replaceText;
  std::wstring leaveText;
  std::wstring keepBothText;
};

// A step that answers the conflict dialog with `button` (1083 replace, 1084
// leave, 1079 skip, 1085 keep both, 2 cancel), ticking the two boxes as told.
DialogStep AnswerConflict(int button, bool forAll = false, bool dontAsk = false, ConflictSeen* seen = nullptr);
