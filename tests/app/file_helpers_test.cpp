// The open-file dialog, the colour chooser and the guarded file access,
// against real files and scripted dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/file_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "tests/support/disk_full.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

TEST(ChooseOpenFile, AsksTheDialogOwnedByTheMainWindowWithinTheBuffer) {
  ScriptedDialogs dialogs;
  wchar_t file[PathCapacity] = L"";
  EXPECT_FALSE(ChooseOpenFile(file, L"", L"*.kws\0*.kws\0", L"Print file"));  // cancelled
  EXPECT_STREQ(file, L"");
  dialogs.OpenFileAnswer(L"C:\\Mach3\\NotThere.xml");
  EXPECT_TRUE(ChooseOpenFile(file, nullptr, L"*.xml\0*.xml\0", L"Profile"));
  EXPECT_STREQ(file, L"C:\\Mach3\\NotThere.xml");  // need not exist
  const OPENFILENAMEW& asked = dialogs.lastOpenFileRequest;
  EXPECT_EQ(asked.hwndOwner, MainWindow);
  EXPECT_EQ(asked.lpstrFile, file);
  EXPECT_EQ(asked.nMaxFile, PathCapacity);  // never more than the buffer holds
  EXPECT_STREQ(asked.lpstrTitle, L"Profile");
}

TEST(ChooseColour, AFailureIsReportedByItsCode) {
  const struct {
    DWORD code;
    const wchar_t* text;
  } cases[] = {
      {9, L"Choosecolor unknown error nmb:9"},  // a gap in the codes
      {11, L"Choosecolor CDERR_NOHOOK"},
      {0xFFFF, L"Choosecolor unknown error nmb:65535"},
  };
  LanguageIndex = German;
  for (const auto& c : cases) {
    ScriptedDialogs dialogs;
    MessageRecorder messages;
    dialogs.FailWith(c.code);
    COLORREF colour = RGB(4, 5, 6);
    EXPECT_FALSE(ChooseColour(&colour, nullptr));
    EXPECT_EQ(colour, RGB(4, 5, 6));
    EXPECT_EQ(messages.Shown(),
              (std::vector<ShownMessage>{{c.text, L"Kestrelwood Fehler", MB_TASKMODAL | MB_ICONERROR}}));
  }
  LanguageIndex = English;
}

class FileAccess : public testing::Test {
 protected:
  void TearDown() override { CloseFileHandle(&file); }
  TempFolder folder;
  MessageRecorder messages;
  HANDLE file = INVALID_HANDLE_VALUE;
};

// A caption with a very long path is cut to the buffer.
TEST_F(FileAccess, OpeningAMissingFileShowsTheSystemTextUnderCreateFileAndThePath) {
  const std::wstring path = folder.Path(L"missing.xml");
  const std::wstring longPath = L"C:\\" + std::wstring(600, L'a') + L"\\missing.xml";
  EXPECT_FALSE(OpenFileHandle(path.c_str(), GENERIC_READ, OPEN_EXISTING, &file));
  EXPECT_FALSE(OpenFileHandle(longPath.c_str(), GENERIC_READ, OPEN_EXISTING, &file));
  EXPECT_EQ(file, INVALID_HANDLE_VALUE);
  ASSERT_EQ(messages.Messages().size(), 2u);
  const RecordedMessage& shown = messages.Messages()[0];
  EXPECT_EQ(shown.text, SystemErrorText(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(shown.text.empty());
  EXPECT_EQ(shown.caption, L"CreateFile:   " + path);
  EXPECT_EQ(shown.style, static_cast<UINT>(MB_TASKMODAL | MB_ICONINFORMATION));
  EXPECT_EQ(shown.owner, nullptr);
  EXPECT_EQ(messages.Messages()[1].caption, (L"CreateFile:   " + longPath).substr(0, PathCapacity - 1));
}

// Opened without sharing, at the start, and read within the buffer; closing
// clears the slot, may be repeated, and lets the file be opened again.
TEST_F(FileAccess, ReadingTheWholeFileTakesOneCallAndNeverMoreThanTheBuffer) {
  folder.Write(L"p.xml", "0123456789");
  ASSERT_TRUE(OpenFileHandle(folder.Path(L"p.xml").c_str(), GENERIC_READ, OPEN_EXISTING, &file));
  HANDLE second =
      CreateFileW(folder.Path(L"p.xml").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(second, INVALID_HANDLE_VALUE);
  if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
  EXPECT_TRUE(CloseFileHandle(&file));
  EXPECT_EQ(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseFileHandle(&file));
  const struct {
    size_t capacity;
    DWORD count;
    DWORD expected;
    bool refused;
  } cases[] = {
      {10, WholeFile, 10, false},  // exactly fits
      {9, WholeFile, 0, true},  // the file is larger than the buffer
      {16, 5, 5, false},
      {16, 17, 0, true},  // more asked than the buffer holds
      {16, 16, 10, false},  // a short read at the end is fine
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(OpenFileHandle(folder.Path(L"p.xml").c_str(), GENERIC_READ, OPEN_EXISTING, &file));
    messages.Clear();
    std::vector<char> buffer(c.capacity + 8, '#');  // guard bytes after the buffer
    EXPECT_EQ(ReadFileData(&file, buffer.data(), c.capacity, c.count), c.expected) << c.capacity << " " << c.count;
    EXPECT_EQ(std::string(buffer.data(), c.expected), std::string("0123456789").substr(0, c.expected));
    EXPECT_EQ(std::string(buffer.data() + c.capacity, 8), "########") << "written past the buffer";
    const ShownMessage refusal = {SystemErrorText(ERROR_INSUFFICIENT_BUFFER), L"ReadFile", MB_ICONINFORMATION};
    EXPECT_EQ(messages.Shown(), std::vector<ShownMessage>(c.refused ? 1 : 0, refusal));
    CloseFileHandle(&file);
  }
}

// Whole files of every size are read by the profile reader's tests.
TEST_F(FileAccess, ReadWholeFileReadsAnEmptyFileAsNothingAndReportsAFailedRead) {
  folder.Write(L"empty.xml", "");  // without a message
  ASSERT_TRUE(OpenFileHandle(folder.Path(L"empty.xml").c_str(), GENERIC_READ, OPEN_EXISTING, &file));
  std::vector<BYTE> data = {1};
  EXPECT_TRUE(ReadWholeFile(&file, &data));
  EXPECT_TRUE(data.empty());
  EXPECT_TRUE(messages.Messages().empty());
  CloseFileHandle(&file);

  // A read failure shows the system's text under "ReadFile".
  ASSERT_TRUE(OpenFileHandle(folder.Path(L"empty.xml").c_str(), GENERIC_WRITE, OPEN_EXISTING, &file));
  char bytes[8];
  EXPECT_EQ(ReadFileData(&file, bytes, sizeof(bytes), 3), 0u);
  EXPECT_EQ(messages.Shown(),
            (std::vector<ShownMessage>{{SystemErrorText(ERROR_ACCESS_DENIED), L"ReadFile", MB_ICONINFORMATION}}));
}

int Flushes = 0;
BOOL CountFlush(HANDLE file) {
  ++Flushes;
  return FlushFileBuffers(file);
}

// Whatever fails, the old file keeps its bytes and no temporary file stays;
// only a replaced file is flushed before it takes the name.
TEST_F(FileAccess, AFileWrittenInPlaceIsCompleteOrTheOldOneIsKept) {
  enum Fault { None, NoOldFile, ReadOnly, Locked, DiskIsFull, NoFolder, FileForFolder };
  const struct {
    Fault fault;
    InPlaceStep step;
    DWORD error;
  } cases[] = {
      {None, InPlaceStep::Done, 0},
      {NoOldFile, InPlaceStep::Done, 0},
      {ReadOnly, InPlaceStep::Open, ERROR_ACCESS_DENIED},
      {Locked, InPlaceStep::Open, ERROR_SHARING_VIOLATION},
      {DiskIsFull, InPlaceStep::Write, ERROR_DISK_FULL},
      {NoFolder, InPlaceStep::Open, ERROR_PATH_NOT_FOUND},
      {FileForFolder, InPlaceStep::Open, ERROR_PATH_NOT_FOUND},
  };
  const std::string fresh(3000, 'n');
  for (const auto& c : cases) {
    TempFolder here;
    const bool noFolder = c.fault == NoFolder || c.fault == FileForFolder;
    const std::wstring path = here.Path(noFolder ? L"missing\\out.kws" : L"out.kws");
    if (c.fault == FileForFolder) here.Write(L"missing", "a file");
    if (c.fault != NoOldFile && !noFolder) here.Write(L"out.kws", "old");
    if (c.fault == ReadOnly) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE lock = c.fault == Locked ? CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                    : INVALID_HANDLE_VALUE;
    Flushes = 0;
    const FileWriteCalls before = SetFileWriteCalls({nullptr, nullptr, CountFlush});
    InPlaceStep step;
    {
      DiskFull disk(c.fault == DiskIsFull ? 1000 : 1 << 20);
      step = WriteBytesInPlace(path, fresh.data(), fresh.size());
    }
    const DWORD error = step == InPlaceStep::Done ? 0 : GetLastError();
    SetFileWriteCalls(before);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(step, c.step) << c.fault;
    EXPECT_EQ(error, c.error) << c.fault;
    EXPECT_EQ(Flushes, c.fault == None ? 1 : 0) << c.fault;
    if (!noFolder) {
      EXPECT_EQ(ReadBytes(path), c.step == InPlaceStep::Done ? fresh : "old") << c.fault;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(here.Path(L"~kw*").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << c.fault << ": a temporary file was left";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
  }
}

}  // namespace
