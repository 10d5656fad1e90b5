// The profile rewrite without chosen plug-ins and the exchange of the old
// profile file for the new one, on real files read back with the reader.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "app/portable/text_triple.h"
#include "plugins/profile_rewrite.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "tests/profile/profile_entries.h"
#include "tests/support/disk_full.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

std::vector<Entry> Without(std::vector<Entry> entries, std::vector<std::wstring> plugins) {
  std::erase_if(entries, [&](const Entry& e) {
    return e.path == L"profile / PlugIns / " &&
           std::find(plugins.begin(), plugins.end(), e.name) != plugins.end();
  });
  return entries;
}

// A window with the two controls the rewrite keeps in step.
class RewriteWindow {
 public:
  explicit RewriteWindow(const std::vector<std::wstring>& rows) {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 300, 200, window_,
                            reinterpret_cast<HMENU>(IDC_PLUGIN_LIST), nullptr, nullptr);
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 210, 300, 20, window_,
                                reinterpret_cast<HMENU>(IDC_PLUGIN_PROGRESS), nullptr, nullptr);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(list_, 0, &column);
    for (size_t i = 0; i < rows.size(); ++i) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<wchar_t*>(rows[i].c_str());
      ListView_InsertItem(list_, &item);
    }
  }
  ~RewriteWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  std::vector<std::wstring> Rows() const { return ListViewColumn(list_, 0); }
  int Progress() const { return static_cast<int>(SendMessageW(progress_, PBM_GETPOS, 0, 0)); }

 private:
  HWND window_, list_, progress_;
};

const char PreferencesAndPlugins[] =
    "<profile><Preferences><X>1</X><Y/></Preferences>"
    "<PlugIns><A>1</A><B>0</B><SystemTest>1</SystemTest></PlugIns></profile>";

class ProfileRewriteTest : public testing::Test {
 protected:
  void SetUp() override { LanguageIndex = English; }
  void TearDown() override { ReleaseAllProfiles(); }
  void Load(const std::string& text) {
    folder.Write(L"P.xml", text);
    ASSERT_EQ(ReadProfile(FirstProfileSlot, profile.c_str()), 1);
    before = EntriesOf(FirstProfileSlot);
  }
  std::vector<Entry> ReadBack(const std::wstring& path) {
    EXPECT_EQ(ReadProfile(SecondProfileSlot, path.c_str()), 1);
    return EntriesOf(SecondProfileSlot);
  }
  TempFolder folder;
  MessageRecorder messages;
  std::wstring profile = folder.Path(L"P.xml");
  std::wstring target = folder.Path(L"P.xmlppp");
  std::vector<Entry> before;
};

// A second removal without a reload leaves out the first plug-in too; with
// every plug-in gone an empty section is left, which reads back as an entry
// of its own and survives the next rewrite.
TEST_F(ProfileRewriteTest, EachRemovalKeepsEveryOtherEntryAndTheRows) {
  Load(PreferencesAndPlugins);
  RewriteWindow window({L"A", L"B", L"SystemTest"});
  PluginSelection = {{L"B", 1}};
  EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  EXPECT_EQ(ReadBack(target), Without(before, {L"B"}));
  EXPECT_EQ(window.Rows(), (std::vector<std::wstring>{L"A", L"SystemTest"}));
  EXPECT_EQ(window.Progress(), static_cast<int>(before.size()) - 1);  // the last entry's index
  PluginSelection = {{L"A", 0}, {L"SystemTest", 1}};
  ASSERT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  const std::string written = ReadBytes(target);
  EXPECT_NE(written.find("<PlugIns></PlugIns>"), std::string::npos) << written;
  EXPECT_TRUE(window.Rows().empty());
  std::vector<Entry> expected = Without(before, {L"A", L"B", L"SystemTest"});
  expected.push_back({L"profile / ", L"PlugIns", L""});
  EXPECT_EQ(ReadBack(target), expected);
  Load(written);
  PluginSelection.clear();
  EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  EXPECT_EQ(ReadBack(target), expected);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(ProfileRewriteTest, PluginsFirstEmptyTextsAndEscapesComeOutRight) {
  Load("<profile><PlugIns><A>1</A><B>0</B></PlugIns><Preferences><E/><F></F><T>a&lt;b&amp;c</T></Preferences>"
       "<Empty></Empty></profile>");
  RewriteWindow window({L"A", L"B"});
  PluginSelection = {{L"A", 0}};
  EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  const std::string written = ReadBytes(target);
  // Empty texts and empty sections come out with an explicit end tag.
  EXPECT_NE(written.find("<E></E>"), std::string::npos) << written;
  EXPECT_NE(written.find("<F></F>"), std::string::npos) << written;
  EXPECT_NE(written.find("<Empty></Empty>"), std::string::npos) << written;
  EXPECT_NE(written.find("<T>a&lt;b&amp;c</T>"), std::string::npos) << written;
  EXPECT_EQ(written.find("<A>"), std::string::npos);
  EXPECT_EQ(ReadBack(target), Without(before, {L"A"}));
  EXPECT_EQ(window.Rows(), std::vector<std::wstring>{L"B"});
  // The reader turns a carriage return that stands as itself into a line
  // feed; it has to be written as a reference to come back.
  ProfileSlots[FirstProfileSlot].records[4].value = ProfileSlots[FirstProfileSlot].texts.Keep(L"a\rb\r");  // T
  PluginSelection.clear();
  ASSERT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1);
  const std::string rewritten = ReadBytes(target);
  EXPECT_TRUE(rewritten.find(">a&#xd;b&#xd;</") != std::string::npos ||
              rewritten.find(">a&#xD;b&#xD;</") != std::string::npos)
      << rewritten;
}

TEST_F(ProfileRewriteTest, ADeeperStructureIsRefusedAndNothingWritten) {
  Load("<profile><Preferences><Deep><X>1</X></Deep></Preferences><PlugIns><A>1</A></PlugIns></profile>");
  RewriteWindow window({L"A"});
  PluginSelection = {{L"A", 0}};
  LanguageIndex = German;
  EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 0);
  EXPECT_FALSE(FileExists(target));
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text,
            L"Das Profil hat eine Struktur, die nicht neu geschrieben werden kann. Es wurde nichts geändert.");
  EXPECT_EQ(messages.Messages()[0].caption, L"Kestrelwood Fehler");
  EXPECT_EQ(window.Rows(), std::vector<std::wstring>{L"A"});
}

TEST_F(ProfileRewriteTest, AWriterFailureIsReportedWithItsCodeAndLeavesNoFile) {
  Load(PreferencesAndPlugins);
  folder.MakeFolder(L"P.xmlppp");  // the new file cannot be created
  RewriteWindow window({L"A"});
  PluginSelection = {{L"A", 0}};
  EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 0);
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text.rfind(L"Error creating file writer, error is ", 0), 0u);
  EXPECT_EQ(messages.Messages()[0].text.size(), 45u);  // eight hexadecimal digits
  EXPECT_EQ(ProfileSlots[FirstProfileSlot].Count(), 0u);
  EXPECT_EQ(ReadBytes(profile), PreferencesAndPlugins);
}

TEST_F(ProfileRewriteTest, AFullDiskIsReportedAndLeavesNoFile) {
  Load(PreferencesAndPlugins);
  RewriteWindow window({L"A"});
  PluginSelection = {{L"A", 0}};
  {
    DiskFull disk(40);
    EXPECT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 0);
  }
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"Error, Method: Flush, error is 80070070");
  EXPECT_FALSE(FileExists(target));
  EXPECT_EQ(ReadBytes(profile), PreferencesAndPlugins);
}

TEST_F(ProfileRewriteTest, AProfileKeepsTheEncodingItWasReadIn) {
  // A typed umlaut as one ANSI byte, and in UTF-8.
  for (const std::string name : {"Fr\xE4se", "Fr\xC3\xA4se"}) {
    Load("<profile><Preferences><Name>" + name + "</Name></Preferences><PlugIns><A>1</A><B>0</B></PlugIns></profile>");
    RewriteWindow window({L"A"});
    PluginSelection = {{L"A", 0}};
    ASSERT_EQ(RewriteProfileWithout(window.get(), target.c_str()), 1)
        << (messages.Messages().empty() ? std::wstring() : messages.Messages()[0].text);
    const std::string written = ReadBytes(target);
    EXPECT_NE(written.find(name), std::string::npos) << written;
    EXPECT_NE(written.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark was read, none is written";
    EXPECT_EQ(ReadBack(target), Without(before, {L"A"}));
    EXPECT_TRUE(messages.Messages().empty());
  }
}

class ReplaceProfileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder.Write(L"P.xml", "old profile");
    folder.Write(L"P.xmlppp", "new profile");
  }
  std::vector<std::wstring> Names() {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
      names.push_back(entry.path().filename().wstring());
    }
    return names;
  }
  TempFolder folder;
  MessageRecorder messages;
  std::wstring profile = folder.Path(L"P.xml");
  std::wstring rewritten = folder.Path(L"P.xmlppp");
};

// A virus scanner, say, holds the new file just when it is to be renamed;
// the old profile has already gone to the recycle bin by then.
BOOL RenameWhileHeld(const wchar_t* from, const wchar_t* to) {
  HANDLE held = CreateFileW(from, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const BOOL renamed = MoveFileExW(from, to, 0);
  const DWORD error = GetLastError();
  CloseHandle(held);
  SetLastError(error);
  return renamed;
}

TEST_F(ReplaceProfileTest, AnyFailureLeavesTheOldProfileAndNoTemporaryFile) {
  const struct {
    const char* what;
    bool locked;
    bool diskFull;  // while the old profile is copied aside
    DWORD error;
  } cases[] = {
      {"profile held by another process", true, false, ERROR_SHARING_VIOLATION},
      {"disk full", false, true, ERROR_DISK_FULL},
      {"new file held by another process while it is renamed", false, false, ERROR_SHARING_VIOLATION},
  };
  for (const auto& c : cases) {
    folder.Write(L"P.xml", "old profile");
    folder.Write(L"P.xmlppp", "new profile");
    messages.Clear();
    HANDLE lock = c.locked ? CreateFileW(profile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
    const bool renameFails = !c.locked && !c.diskFull;
    const FileRenameFunction before = renameFails ? SetFileRenameFunction(RenameWhileHeld) : nullptr;
    {
      DiskFull disk(c.diskFull ? 4 : static_cast<size_t>(-1));
      EXPECT_FALSE(ReplaceProfileFile(profile, rewritten)) << c.what;
    }
    if (renameFails) SetFileRenameFunction(before);
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    EXPECT_EQ(ReadBytes(profile), "old profile") << c.what;
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"P.xml"}) << c.what;
    ASSERT_EQ(messages.Messages().size(), 1u) << c.what;
    EXPECT_EQ(messages.Messages()[0].text, SystemErrorText(c.error)) << c.what;
    EXPECT_EQ(messages.Messages()[0].caption, profile);
  }
}

}  // namespace
