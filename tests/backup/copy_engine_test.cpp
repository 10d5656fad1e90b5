// The copy of single files under date rules and conflict answers, the
// folder walk and folder creation, on real files in temporary folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/file_helpers.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "backup/copy_engine.h"
#include "backup/file_sets.h"
#include "backup/walk_tree.h"
#include "resources/resource.h"
#include "tests/backup/backup_test_support.h"
#include "tests/support/disk_full.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

class CopyEngineTest : public testing::Test {
 protected:
  void SetUp() override {
    LanguageIndex = English;
    StartCopyCommand(nullptr, NoDateRule, 10);
    source = folder.Path(L"from\\P.xml");
    target = folder.Path(L"to\\P.xml");
    folder.Write(L"from\\P.xml", "new content");
  }
  // Copies under the rules while the steps answer the dialogs.
  bool Copy(const std::wstring& from, std::wstring* to, uint32_t* setAnswer, std::vector<DialogStep> steps = {}) {
    return DriveModal([&] { return static_cast<INT_PTR>(CopyFileUnderRules(from, to, setAnswer)); },
                      std::move(steps)) != 0;
  }
  bool Copy(std::vector<DialogStep> steps = {}) {
    uint32_t setAnswer = 0;
    std::wstring to = target;
    return Copy(source, &to, &setAnswer, std::move(steps));
  }
  TempFolder folder;
  MessageRecorder messages;
  std::wstring source, target;
};

// Large enough to be copied in several pieces. A missing source is neither
// shown nor counted. (The backup tests copy missing targets under both date
// rules.)
TEST_F(CopyEngineTest, AMissingTargetIsCopiedWholeWithoutADialog) {
  std::string content(3 * 1024 * 1024 + 123, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>((i * 7919) >> 3);
  folder.Write(L"from\\P.xml", content);
  folder.MakeFolder(L"to");
  EXPECT_TRUE(Copy());
  EXPECT_TRUE(ReadBytes(target) == content);
  EXPECT_TRUE(DialogsSeen().empty());
  EXPECT_EQ(CurrentCopyCommand.copiedCount, 1);
  std::wstring to = folder.Path(L"to\\none.xml");
  uint32_t setAnswer = 0;
  EXPECT_TRUE(Copy(folder.Path(L"from\\none.xml"), &to, &setAnswer));
  EXPECT_TRUE(Copy(folder.Path(L"from\\gone\\none.xml"), &to, &setAnswer));
  EXPECT_FALSE(FileExists(to));
  EXPECT_EQ(CurrentCopyCommand.copiedCount, 1);
  EXPECT_TRUE(messages.Messages().empty());
}

// The copy kept beside the target takes the first free number; the target
// and the earlier copy stay as they were.
TEST_F(CopyEngineTest, KeepBothCopiesUnderTheFirstFreeNumber) {
  folder.Write(L"to\\P.xml", "old content");
  folder.Write(L"to\\P(2).xml", "second");
  uint32_t setAnswer = 0;
  std::wstring to = target;
  EXPECT_TRUE(Copy(source, &to, &setAnswer, {AnswerConflict(IDC_CONFLICT_KEEP_BOTH)}));
  EXPECT_EQ(setAnswer, static_cast<uint32_t>(KeepBoth));
  EXPECT_EQ(to, folder.Path(L"to\\P(3).xml"));
  EXPECT_EQ(ReadBytes(to), "new content");
  EXPECT_EQ(ReadBytes(target), "old content");
  EXPECT_EQ(ReadBytes(folder.Path(L"to\\P(2).xml")), "second");
  EXPECT_EQ(NamesIn(folder.Path(L"to")).size(), 3u) << "a temporary file was left";
}

// "Don't ask again" reaches later sets with the last answer.
TEST_F(CopyEngineTest, DontAskAgainReachesLaterSets) {
  folder.Write(L"from\\fixtures.dat", "f new");
  folder.Write(L"to\\P.xml", "p old");
  folder.Write(L"to\\fixtures.dat", "f old");
  uint32_t firstSet = 0, laterSet = 0;
  std::wstring to = target;
  EXPECT_TRUE(Copy(source, &to, &firstSet, {AnswerConflict(IDC_CONFLICT_LEAVE, false, true)}));
  EXPECT_TRUE(CurrentCopyCommand.dontAsk);
  to = folder.Path(L"to\\fixtures.dat");
  EXPECT_TRUE(Copy(folder.Path(L"from\\fixtures.dat"), &to, &laterSet));
  EXPECT_TRUE(DialogsSeen().empty());
  EXPECT_EQ(ReadBytes(to), "f old");
  EXPECT_EQ(laterSet, static_cast<uint32_t>(DontCopy));
}

// Each button shows its own file: Replace the one being copied, Leave the
// one in the target folder.
TEST_F(CopyEngineTest, TheConflictButtonsShowEachFilesSizeAndDate) {
  folder.Write(L"to\\P.xml", "old");
  folder.Write(L"from\\P.xml", "newer");
  const std::wstring blanks(30, L' ');
  const auto tail = [&](const std::wstring& path, SYSTEMTIME when, int size) {
    FILETIME written, local;
    SystemTimeToFileTime(&when, &written);
    SetWriteTime(path, written);
    SYSTEMTIME shown;
    FileTimeToLocalFileTime(&written, &local);
    FileTimeToSystemTime(&local, &shown);
    return FormatText(L"\r\n%sFile size    %d\r\n%sLast changed %02d.%02d.%d %02d:%02d", blanks.c_str(), size,
                      blanks.c_str(), shown.wDay, shown.wMonth, shown.wYear, shown.wHour, shown.wMinute);
  };
  const std::wstring targetTail = tail(target, {2024, 3, 0, 5, 14, 7, 0, 0}, 3);
  const std::wstring sourceTail = tail(source, {2025, 11, 0, 20, 9, 41, 0, 0}, 5);
  ConflictSeen seen;
  Copy({AnswerConflict(IDC_CONFLICT_SKIP, false, false, &seen)});
  EXPECT_EQ(seen.replaceText, L"Replace the file in the destination folder with the file you are copying:\r\n\r\n" +
                                  blanks + L"File name    P.xml(" + folder.Path(L"from") + L")" + sourceTail);
  EXPECT_EQ(seen.leaveText, L"No files will be changed. Leave this file in the destination folder:\r\n\r\n" +
                                blanks + L"File name    P.xml(" + folder.Path(L"to") + L")" + targetTail);
}

// Failures leave the old target as it was and no temporary file behind,
// and the command goes on. A read-only target is refused even where the
// platform would overwrite it. Only the first failure is shown.
TEST_F(CopyEngineTest, FailedFilesAreReportedOnceTheTargetsKeptAndTheCommandGoesOn) {
  folder.Write(L"to\\P.xml", "p old");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(Copy({AnswerConflict(IDC_CONFLICT_REPLACE)}));
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE lock = CreateFileW(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Copy());
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes(target), "p old");
  EXPECT_EQ(NamesIn(folder.Path(L"to")), std::vector<std::wstring>{L"P.xml"});
  EXPECT_EQ(CurrentCopyCommand.failedCount, 2);
  EXPECT_EQ(messages.Shown(),
            (std::vector<ShownMessage>{{SystemErrorText(ERROR_ACCESS_DENIED), L"CreateFile:   " + target,
                                        MB_TASKMODAL | MB_ICONINFORMATION}}));
}

// The disk fills up in the middle of the second piece of a large file.
TEST_F(CopyEngineTest, AFullDiskIsReportedAndLeavesTheOldTarget) {
  folder.Write(L"from\\P.xml", std::string(3 * 1024 * 1024, 'n'));
  folder.Write(L"to\\P.xml", "p old");
  {
    DiskFull disk(1536 * 1024);
    EXPECT_TRUE(Copy({AnswerConflict(IDC_CONFLICT_REPLACE)}));
    EXPECT_EQ(disk.Refusals(), 1);
  }
  EXPECT_EQ(NamesIn(folder.Path(L"to")), std::vector<std::wstring>{L"P.xml"});
  EXPECT_EQ(ReadBytes(target), "p old");
  EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{{SystemErrorText(ERROR_DISK_FULL), L"Open file " + target,
                                                          MB_TASKMODAL | MB_ICONERROR}}));
  EXPECT_EQ(CurrentCopyCommand.copiedCount, 0);
}

// Another program (a virus scanner, say) opens the target while the new
// content is being written, so the complete copy cannot take its name.
std::wstring TargetToHold;
HANDLE HeldTarget = INVALID_HANDLE_VALUE;

BOOL WriteWhileTheTargetIsTaken(HANDLE file, const void* data, DWORD size, DWORD* written) {
  if (HeldTarget == INVALID_HANDLE_VALUE) {
    HeldTarget = CreateFileW(TargetToHold.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  return WriteFile(file, data, size, written, nullptr);
}

TEST_F(CopyEngineTest, ATargetTakenDuringTheCopyIsReportedAndKept) {
  folder.Write(L"to\\P.xml", "p old");
  TargetToHold = target;
  const FileWriteCalls before = SetFileWriteCalls({WriteWhileTheTargetIsTaken, nullptr, nullptr});
  EXPECT_TRUE(Copy({AnswerConflict(IDC_CONFLICT_REPLACE)}));
  SetFileWriteCalls(before);
  ASSERT_NE(HeldTarget, INVALID_HANDLE_VALUE);
  CloseHandle(HeldTarget);
  HeldTarget = INVALID_HANDLE_VALUE;
  EXPECT_EQ(ReadBytes(target), "p old");
  EXPECT_EQ(NamesIn(folder.Path(L"to")), std::vector<std::wstring>{L"P.xml"});
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].caption, L"Open file " + target);
}

// 300 characters: the folders are made and a file is copied there and
// replaced, though the temporary file's name is longer than the target's;
// a save of the tree and its restore walk down to the file.
TEST_F(CopyEngineTest, PathsOf260CharactersAndMoreWork) {
  std::wstring deep = folder.Path(L"to\\GCode");
  while (deep.size() < 294) deep += L"\\" + std::wstring(40, L'd');  // whatever the temporary folder's length
  const std::wstring longTarget = deep + L"\\P.xml";
  ASSERT_GE(longTarget.size(), 300u);
  EXPECT_TRUE(CreateFolderPath(deep));
  std::wstring to = longTarget;
  uint32_t setAnswer = 0;
  EXPECT_TRUE(Copy(source, &to, &setAnswer));
  folder.Write(L"from\\P.xml", "newer content");
  EXPECT_TRUE(Copy(source, &to, &setAnswer, {AnswerConflict(IDC_CONFLICT_REPLACE)}));
  EXPECT_EQ(ReadBytes(LongPathForm(longTarget)), "newer content");
  EXPECT_EQ(NamesIn(LongPathForm(deep)), std::vector<std::wstring>{L"P.xml"});
  const uint32_t gcode = 0x010;
  RunFileSets({folder.Path(L"to"), folder.Path(L"saved"), false, gcode, NoDateRule, {}});
  RunFileSets({folder.Path(L"saved"), folder.Path(L"back"), true, gcode, NoDateRule, {}});
  const std::wstring relative = longTarget.substr(folder.Path(L"to").size());
  EXPECT_EQ(ReadBytes(LongPathForm(folder.Path(L"back") + relative)), "newer content");
  EXPECT_EQ(CurrentCopyCommand.copiedCount, 4);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(CreateFolderPath, CreatesEveryMissingFolderOrReportsTheOneItCannot) {
  TempFolder folder;
  MessageRecorder messages;
  EXPECT_TRUE(CreateFolderPath(folder.Path(L"macros\\P")));
  EXPECT_TRUE(FolderExists(folder.Path(L"macros\\P")));
  EXPECT_TRUE(CreateFolderPath(folder.Path(L"macros\\P")));  // all there already
  EXPECT_FALSE(CreateFolderPath(L"\\Backup"));                // no drive, no share
  EXPECT_TRUE(messages.Messages().empty());
  LanguageIndex = German;
  folder.Write(L"blocked", "a file where the folder should be");
  EXPECT_FALSE(CreateFolderPath(folder.Path(L"blocked\\x")));
  EXPECT_EQ(messages.Shown(),
            (std::vector<ShownMessage>{{L"Fehler Einrichten Verzeichnis: " + folder.Path(L"blocked\\x"),
                                        L"Kestrelwood Fehler", MB_ICONERROR}}));
  EXPECT_EQ(ReadBytes(folder.Path(L"blocked")), "a file where the folder should be");
  LanguageIndex = English;
}

// A folder comes before what it holds; the pattern applies to folders too,
// and entries before the start index stay; a folder without matches shows
// the find error, except for macros.
TEST(WalkTreeTest, ListsFoldersFirstAndReportsAFolderWithoutMatches) {
  TempFolder folder;
  MessageRecorder messages;
  ResetWalkList();
  for (const wchar_t* file : {L"root\\a.txt", L"root\\Sub\\b.txt", L"root\\Sub\\Deep\\c.txt", L"root\\x.brn"}) {
    folder.Write(file, "");
  }
  folder.MakeFolder(L"root\\Old");
  const auto walk = [&](const wchar_t* start, const wchar_t* pattern, int32_t first) {
    int32_t count = first;
    WalkTree(folder.Path(start), &count, pattern);
    std::vector<std::wstring> walked;
    for (int32_t i = first; i < count; ++i) {
      const WalkEntry& entry = WalkList[static_cast<size_t>(i)];
      walked.push_back(entry.folder.substr(folder.Path().size()) + (entry.IsFolder() ? L"" : L"|" + entry.name));
    }
    return walked;
  };
  std::vector<std::wstring> walked = walk(L"root", L"*.*", 0);
  const auto at = [&](const wchar_t* entry) { return std::find(walked.begin(), walked.end(), entry) - walked.begin(); };
  EXPECT_LT(at(L"\\root\\Sub"), at(L"\\root\\Sub|b.txt"));
  EXPECT_LT(at(L"\\root\\Sub\\Deep"), at(L"\\root\\Sub\\Deep|c.txt"));
  std::sort(walked.begin(), walked.end());  // the file system's order is its own
  EXPECT_EQ(walked, (std::vector<std::wstring>{L"\\root\\Old", L"\\root\\Sub", L"\\root\\Sub\\Deep",
                                                L"\\root\\Sub\\Deep|c.txt", L"\\root\\Sub|b.txt",
                                                L"\\root|a.txt", L"\\root|x.brn"}));
  ResetWalkList();
  EXPECT_EQ(walk(L"root", L"*.brn", 5), std::vector<std::wstring>{L"\\root|x.brn"});
  EXPECT_EQ(WalkList[4].folder, L"");
  EXPECT_TRUE(messages.Messages().empty());

  EXPECT_TRUE(walk(L"root\\Old", L"*.brn", 0).empty());
  EXPECT_EQ(messages.Shown(),
            (std::vector<ShownMessage>{{L"_tfindfirst File not found", L"Kestrelwood Error", MB_ICONERROR}}));
  messages.Clear();
  EXPECT_TRUE(walk(L"root\\Old", L"*.m*s", 0).empty());
  EXPECT_TRUE(messages.Messages().empty());
}

// A link pointing back up the tree (a symbolic link of the repository,
// which Wine shows as a reparse point, as Windows shows a junction) is
// neither entered nor listed; the log lists it as skipped.
TEST(WalkTreeTest, ALinkIsNeverFollowedAndIsLogged) {
  ResetWalkList();
  std::wstring root = L"" KW_LINK_LOOP;
  std::replace(root.begin(), root.end(), L'/', L'\\');
  BackupLog log(false, root, L"E:", {});
  CopyLog = &log;
  int32_t count = 0;
  WalkTree(root, &count, L"*.*");
  CopyLog = nullptr;
  std::vector<std::wstring> walked;
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) walked.push_back(WalkList[i].folder + L"|" + WalkList[i].name);
  std::sort(walked.begin(), walked.end());
  EXPECT_EQ(walked, (std::vector<std::wstring>{root + L"\\Facing|", root + L"\\Facing|Facing.txt"}));
  EXPECT_NE(log.Text().find(L"Links not followed:\r\n    " + root + L"\\Facing\\loop\r\n"), std::wstring::npos)
      << log.Text();
}

}  // namespace
