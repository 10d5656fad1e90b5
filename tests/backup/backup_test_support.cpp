// Conflict-dialog answers for the backup tests.
#include "tests/backup/backup_test_support.h"

#include <gtest/gtest.h>

#include "resources/resource.h"

DialogStep AnswerConflict(int button, bool forAll, bool dontAsk, ConflictSeen* seen) {
  return [=](HWND) {
    HWND conflict = LiveDialogWith(IDC_CONFLICT_REPLACE);
    ASSERT_NE(conflict, nullptr) << "no conflict dialog to answer";
    if (seen) {
      seen->replaceText = ItemText(conflict, IDC_CONFLICT_REPLACE);
      seen->leaveText = ItemText(conflict, IDC_CONFLICT_LEAVE);
      seen->keepBothText = ItemText(conflict, IDC_CONFLICT_KEEP_BOTH);
    }
    CheckDlgButton(conflict, IDC_CONFLICT_FOR_ALL, forAll ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(conflict, IDC_CONFLICT_DONT_ASK, dontAsk ? BST_CHECKED : BST_UNCHECKED);
    ClickButton(conflict, button);
  };
}
