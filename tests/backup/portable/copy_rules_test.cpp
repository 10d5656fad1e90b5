// Path, name and answer rules of the file copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/portable/text_format.h"
#include "backup/portable/copy_rules.h"

namespace {

TEST(SplitAtLastBackslash, SplitsAfterTheFirstCharacterOnly) {
  const struct {
    const wchar_t* path;
    bool split;
    const wchar_t* folder;
    const wchar_t* name;
  } cases[] = {
      {L"C:\\Mach3\\Mill.xml", true, L"C:\\Mach3", L"Mill.xml"},
      {L"C:\\Mill.xml", true, L"C:", L"Mill.xml"},
      {L"C:\\Mach3\\", true, L"C:\\Mach3", L""},
      {L"\\Mill.xml", false, L"-", L"-"},  // a backslash at position 0 does not count
      {L"Mill.xml", false, L"-", L"-"},
      {L"", false, L"-", L"-"},
  };
  for (const auto& c : cases) {
    std::wstring folder = L"-", name = L"-";
    EXPECT_EQ(SplitAtLastBackslash(c.path, &folder, &name), c.split) << c.path;
    EXPECT_EQ(folder, c.folder) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
  }
}

// The folders a path needs, after its root, and the form the system takes
// beyond 259 characters.
TEST(FoldersAlong, StartAfterTheDriveOrShareInEveryForm) {
  using Folders = std::vector<std::wstring>;
  const struct {
    const wchar_t* path;
    bool known;
    Folders folders;
    const wchar_t* longForm;
  } cases[] = {
      {L"D:\\Backup\\macros\\P", true, {L"D:\\Backup", L"D:\\Backup\\macros", L"D:\\Backup\\macros\\P"},
       L"\\\\?\\D:\\Backup\\macros\\P"},
      {L"D:\\", true, {}, L"\\\\?\\D:\\"},
      {L"\\\\server\\share\\Backup\\P", true, {L"\\\\server\\share\\Backup", L"\\\\server\\share\\Backup\\P"},
       L"\\\\?\\UNC\\server\\share\\Backup\\P"},
      {L"\\\\server\\share", true, {}, L"\\\\?\\UNC\\server\\share"},
      {L"\\\\?\\D:\\Backup\\P\\", true, {L"\\\\?\\D:\\Backup", L"\\\\?\\D:\\Backup\\P"}, L"\\\\?\\D:\\Backup\\P\\"},
      {L"\\\\?\\UNC\\server\\share\\B", true, {L"\\\\?\\UNC\\server\\share\\B"}, L"\\\\?\\UNC\\server\\share\\B"},
      {L"macros\\P", true, {L"macros", L"macros\\P"}, L"macros\\P"},
      {L"D:/Backup/P", true, {L"D:/Backup/P"}, L"\\\\?\\D:\\Backup\\P"},
      {L"\\Backup", false, {}, L"\\Backup"},
      {L"\\\\server", false, {}, L"\\\\server"},
  };
  for (const auto& c : cases) {
    Folders folders = {L"left over"};
    EXPECT_EQ(FoldersAlong(c.path, &folders), c.known) << c.path;
    EXPECT_EQ(folders, c.folders) << c.path;
    EXPECT_EQ(LongPathForm(c.path), c.longForm) << c.path;
  }
}

TEST(KeptCopyCandidate, NumbersBeforeTheLastExtension) {
  const struct {
    const wchar_t* name;
    int n;
    const wchar_t* candidate;
  } cases[] = {
      {L"fixtures.dat", 3, L"D:\\B\\fixtures(3).dat"},
      {L"a.b.txt", 2, L"D:\\B\\a.b(2).txt"},
      {L"README", 2, L"D:\\B\\README(2)"},      // no extension
      {L".profile", 2, L"D:\\B\\.profile(2)"},  // a leading dot is no extension
      {L"x.", 4, L"D:\\B\\x(4)."},
  };
  for (const auto& c : cases) EXPECT_EQ(KeptCopyCandidate(L"D:\\B", c.name, c.n), c.candidate) << c.name;
}

TEST(TranslateFolder, KeepsThePathBelowTheSourceRoot) {
  const struct {
    const wchar_t* found;
    const wchar_t* sourceRoot;
    const wchar_t* targetRoot;
    const wchar_t* expected;
  } cases[] = {
      {L"C:\\Mach3\\macros\\Mill", L"C:\\Mach3", L"D:\\Backup", L"D:\\Backup\\macros\\Mill"},
      {L"C:\\Mach3", L"C:\\Mach3", L"D:\\Backup", L"D:\\Backup"},
      // Drive roots, as a folder browser gives them for a USB stick.
      {L"E:\\macros\\Mill", L"E:\\", L"C:\\Mach3", L"C:\\Mach3\\macros\\Mill"},
      {L"C:\\Mach3\\GCode\\a\\b", L"C:\\Mach3\\", L"E:\\", L"E:\\GCode\\a\\b"},
  };
  for (const auto& c : cases) EXPECT_EQ(TranslateFolder(c.found, c.sourceRoot, c.targetRoot), c.expected) << c.found;
}

// An entry's profile is its name before the last dot (the backup tests show
// the usual entries). The selection stored for a save without a window
// reads back as file names; what could lead out of the folders is dropped.
TEST(ProfileListEntries, StoredAsFileNamesThatFit) {
  EXPECT_EQ(ProfileNameOfEntry(L"My.Mill.xml"), L"My.Mill");
  EXPECT_EQ(JoinProfileNames({L"Mill.xml", L"Test.xml \tUnused", L"Lathe.xml"}, 100),
            L"Mill.xml|Test.xml|Lathe.xml");
  EXPECT_EQ(JoinProfileNames({L"Mill.xml", L"LongName.xml", L"A.xml"}, 16), L"Mill.xml|A.xml");
  EXPECT_EQ(SplitProfileNames(L"|Mill.xml||..|..\\Evil.xml|C:x.xml|a/b.xml|Test.xml"),
            (std::vector<std::wstring>{L"Mill.xml", L"Test.xml"}));
}

TEST(IsSaveCommandLine, SaveOrDashSaveInAnyCase) {
  for (const wchar_t* line : {L"/save", L"-save", L"/SAVE", L" -Save ", L"\"/save\""}) {
    EXPECT_TRUE(IsSaveCommandLine(line)) << line;
  }
  for (const wchar_t* line : {L"", L"save", L"/saves", L"/save now", L"--save", L"/sav"}) {
    EXPECT_FALSE(IsSaveCommandLine(line)) << line;
  }
}

TEST(IsSelectedProfileFolder, MatchesFoldersDirectlyBelowTheBaseInAnyCase) {
  const std::vector<std::wstring> selected = {L"Mach3Mill.xml", L"Test.xml \tUnused", L"Router"};
  const struct {
    const wchar_t* folder;
    bool selected;
  } cases[] = {
      {L"C:\\Mach3\\macros\\Mach3Mill", true},  {L"C:\\Mach3\\macros\\mach3mill", true},
      {L"C:\\Mach3\\macros\\TEST", true},       {L"C:\\Mach3\\macros\\Router", true},
      {L"C:\\Mach3\\macros\\Other", false},     {L"C:\\Mach3\\macros\\Mach3Mill\\Sub", false},
      {L"C:\\Mach3\\macros", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsSelectedProfileFolder(c.folder, L"C:\\Mach3\\macros", selected), c.selected) << c.folder;
  }
  EXPECT_FALSE(IsSelectedProfileFolder(L"C:\\Mach3\\macros\\Mach3Mill", L"C:\\Mach3\\macros", {}));
}

TEST(HasMacroFolder, ComparesTheLastFolderNameWithTheProfileInLowerCase) {
  const std::vector<std::wstring> folders = {L"C:\\Mach3\\macros\\mach3mill", L"C:\\Mach3\\macros\\Router\\Old"};
  EXPECT_TRUE(HasMacroFolder(L"Mach3Mill.xml", folders));
  EXPECT_TRUE(HasMacroFolder(L"old.XML", folders));  // any depth counts
  EXPECT_FALSE(HasMacroFolder(L"Router.xml", folders));
  EXPECT_FALSE(HasMacroFolder(L"Test.xml", {}));
}

TEST(FindErrorText, NamesTheSearchFunctionExceptForTwoTexts) {
  const struct {
    int number;
    const wchar_t* text;
    bool icon;
  } cases[] = {
      {2, L"_tfindfirst File not found", true},
      {13, L"Permission denied", false},
      {22, L"Invalid argument", true},
      {15, L"", true},  // numbers outside the table show nothing
  };
  for (const auto& c : cases) {
    bool icon = !c.icon;
    EXPECT_EQ(FindErrorText(c.number, &icon), c.text) << c.number;
    EXPECT_EQ(icon, c.icon) << c.number;
  }
  // The system's codes become the runtime's numbers, as its search sets them.
  const std::pair<uint32_t, int> codes[] = {{3, 2}, {5, 13}, {32, 13}, {206, 2}, {1450, 22}};
  for (const auto& [code, number] : codes) EXPECT_EQ(FindErrorNumber(code), number) << code;
}

}  // namespace
