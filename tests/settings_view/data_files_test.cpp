// Mach3's data files on disk: read while Mach3 holds them open, without
// write rights, and silently skipped when missing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "app/handles.h"
#include "settings_view/data_files.h"
#include "settings_view/portable/settings_values.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

class DataFilesTest : public testing::Test {
 protected:
  void SetUp() override {
    folder.MakeFolder(L"macros\\Mill");
    MachDir = folder.Path();
    ProfileName = L"Mill";
  }
  void Write(const wchar_t* name, const std::string& bytes) { WriteBytes(MacroFilePath(name), bytes); }
  TempFolder folder;
  MessageRecorder messages;
};

// fixtures.dat with the first record's X and the second record's name.
std::string FixturesWithFirstX(double x, const char* secondName) {
  std::string bytes(253 * 48, '\0');
  memcpy(bytes.data(), &x, 8);
  return bytes + "\n" + secondName + "\n";
}

TEST_F(DataFilesTest, ReadsAFileThatMach3HoldsOpenAndAReadOnlyFile) {
  Write(L"fixtures.dat", FixturesWithFirstX(1.5, "Vise"));
  {
    // Mach3 keeps its tables open for reading and writing, sharing both.
    UniqueFile held(CreateFileW(MacroFilePath(L"fixtures.dat").c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    ASSERT_TRUE(held);
    LoadFixtureFile();
  }
  EXPECT_EQ(FixtureTable[0].empty, 0);
  EXPECT_EQ(FixtureTable[0].coords[0], L"1.5000");
  EXPECT_EQ(FixtureTable[1].name, L"Vise");
  Write(L"fixtures.dat", FixturesWithFirstX(2.0, ""));
  SetFileAttributesW(MacroFilePath(L"fixtures.dat").c_str(), FILE_ATTRIBUTE_READONLY);
  LoadFixtureFile();
  EXPECT_EQ(FixtureTable[0].coords[0], L"2.0000");
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(DataFilesTest, MissingFilesAreSkippedSilentlyAndLeaveEverythingUnused) {
  FixtureTable[7].empty = 0;
  ToolTable[3].valid = 1;
  LoadFixtureFile();
  LoadToolFile();
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(FixtureTable[7].empty, 1);
  EXPECT_EQ(ToolTable[3].valid, 0);
}

TEST_F(DataFilesTest, AFileLockedByAnotherProgramIsReported) {
  Write(L"tools3.dat", std::string(1, '\0'));
  UniqueFile locked(CreateFileW(MacroFilePath(L"tools3.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(locked);
  LoadToolFile();
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].caption, L"CreateFile:   " + MacroFilePath(L"tools3.dat"));
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_TASKMODAL | MB_ICONINFORMATION));
}

}  // namespace
