// The profile rewrite on real files: structure, removal, encodings, what
// reads back, refusals and writer failures.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <regex>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/text_triple.h"
#include "plugins/plugin_rules.h"
#include "plugins/profile_rewrite.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"
#include "tools/profile_generator.h"

namespace {

struct Entry {
  std::wstring path, name, value;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& entry, std::ostream* out) {
  *out << "{" << testing::PrintToString(entry.path) << ", " << testing::PrintToString(entry.name) << ", "
       << testing::PrintToString(entry.value) << "}";
}

// The entries of a slot; `present` leaves out those marked removed.
std::vector<Entry> EntriesOf(int slot, bool present = false) {
  std::vector<Entry> entries;
  const ProfileList& list = ProfileSlots[slot];
  for (uint32_t i = 0; i < list.Count(); ++i) {
    const ProfileEntry& record = list.records[i];
    if (present && record.removed) continue;
    entries.push_back({std::wstring(record.path), std::wstring(record.name), std::wstring(record.value)});
  }
  return entries;
}

std::vector<Entry> NonEmpty(std::vector<Entry> entries) {
  std::erase_if(entries, [](const Entry& entry) { return entry.value.empty(); });
  return entries;
}

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

const wchar_t* const Prefs = L"profile / Preferences / ";
const wchar_t* const Plugs = L"profile / PlugIns / ";

class ProfileRewriteTest : public testing::Test {
 protected:
  void SetUp() override {
    LanguageIndex = English;
    dialog_ = CreateTestDialog(IDD_REMOVE_PLUGIN, PassiveDialogProc);
    ASSERT_NE(dialog_, nullptr);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(List(), 0, &column);
    profile_ = folder_.Path(L"P.xml");
    target_ = profile_ + L"ppp";
  }
  void TearDown() override {
    DestroyWindow(dialog_);
    ReleaseAllProfiles();
    PluginSelection.entries.clear();
  }
  HWND List() const { return GetDlgItem(dialog_, IDC_PLUGIN_LIST); }

  // Loads the profile into slot 0 and lists `rows` as the dialog would.
  void Load(const std::string& bytes, const std::vector<std::wstring>& rows = {}) {
    WriteBytes(profile_, bytes);
    ASSERT_EQ(ReadProfile(FirstProfileSlot, profile_.c_str()), 1)
        << (messages_.Messages().empty() ? std::string() : testing::PrintToString(messages_.Messages()[0].text));
    ListView_DeleteAllItems(List());
    for (size_t i = 0; i < rows.size(); ++i) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = const_cast<wchar_t*>(rows[i].c_str());
      ListView_InsertItem(List(), &item);
    }
  }
  void Select(const std::vector<std::pair<std::wstring, int>>& chosen) {
    PluginSelection.entries.clear();
    for (const auto& [name, row] : chosen) PluginSelection.entries.push_back({name, row});
  }
  std::vector<std::wstring> Rows() const {
    std::vector<std::wstring> rows;
    for (int i = 0; i < ListView_GetItemCount(List()); ++i) {
      wchar_t text[100] = {};
      ListView_GetItemText(List(), i, 0, text, 100);
      rows.push_back(text);
    }
    return rows;
  }
  std::vector<Entry> ReadBack() {
    EXPECT_EQ(ReadProfile(SecondProfileSlot, target_.c_str()), 1);
    return EntriesOf(SecondProfileSlot);
  }
  int Progress() const { return static_cast<int>(SendDlgItemMessageW(dialog_, IDC_PLUGIN_PROGRESS, PBM_GETPOS, 0, 0)); }

  TempFolder folder_;
  std::wstring profile_, target_;
  HWND dialog_ = nullptr;
  MessageRecorder messages_;
};

const char* const PrefsAndPlugins =
    "<profile><Preferences><X>1</X><Y>2</Y></Preferences><PlugIns><A>1</A><B>0</B></PlugIns></profile>";

TEST_F(ProfileRewriteTest, LeavesOutTheChosenPluginsAndTheirRows) {
  struct Case {
    const char* xml;
    std::vector<std::wstring> rows;  // listed before
    std::vector<std::pair<std::wstring, int>> chosen;
    std::vector<Entry> expected;
    std::vector<std::wstring> rowsLeft;
    const char* outputPattern;  // what the text itself must show
  } cases[] = {
      {PrefsAndPlugins, {L"A", L"B"}, {{L"B", 1}}, {{Prefs, L"X", L"1"}, {Prefs, L"Y", L"2"}, {Plugs, L"A", L"1"}},
       {L"A"},
       "<profile>\\s*<Preferences>\\s*<X>1</X>\\s*<Y>2</Y>\\s*</Preferences>\\s*<PlugIns>\\s*<A>1</A>\\s*</PlugIns>"
       "\\s*</profile>\\s*$"},
      {PrefsAndPlugins, {L"A", L"B"}, {{L"A", 0}, {L"B", 1}}, {{Prefs, L"X", L"1"}, {Prefs, L"Y", L"2"}}, {},
       "<PlugIns></PlugIns>"},
      {"<profile><PlugIns><A>1</A><B>0</B></PlugIns><Preferences><X>1</X></Preferences></profile>", {L"A", L"B"},
       {{L"A", 0}}, {{Plugs, L"B", L"0"}, {Prefs, L"X", L"1"}}, {L"B"}, "^<\\?xml[^>]*>\\s*<profile>\\s*<PlugIns>"},
      // Only entries of the plug-in section are plug-ins; names match with their case.
      {PrefsAndPlugins, {L"A", L"B"}, {{L"X", 0}, {L"b", 1}},
       {{Prefs, L"X", L"1"}, {Prefs, L"Y", L"2"}, {Plugs, L"A", L"1"}, {Plugs, L"B", L"0"}}, {L"A", L"B"},
       "<X>1</X>"},
      // Empty texts get an explicit end tag (which, like <F></F>, makes no
      // entry when read); markup characters survive.
      {"<profile><Preferences><E/><F></F><T>a&lt;b&amp;c&gt;\r\nz</T></Preferences></profile>", {}, {},
       {{Prefs, L"T", L"a<b&c>\nz"}}, {}, "<E></E>[\\s\\S]*a&lt;b&amp;c&gt;"},
  };
  for (const Case& c : cases) {
    Load(c.xml, c.rows);
    Select(c.chosen);
    ASSERT_EQ(RewriteProfileWithout(dialog_, target_.c_str()), 1) << c.xml;
    EXPECT_EQ(ReadBack(), c.expected) << c.xml;
    EXPECT_EQ(NonEmpty(EntriesOf(FirstProfileSlot, true)), c.expected) << c.xml;
    EXPECT_EQ(Rows(), c.rowsLeft) << c.xml;
    EXPECT_TRUE(std::regex_search(ReadBytes(target_), std::regex(c.outputPattern))) << ReadBytes(target_);
    EXPECT_EQ(Progress(), static_cast<int>(ProfileSlots[0].Count()) - 1) << c.xml;
  }
  EXPECT_TRUE(messages_.Messages().empty());
}

// The XML reader turns a carriage return as itself into a line feed.
TEST_F(ProfileRewriteTest, CarriageReturnsAreWrittenAsReferences) {
  Load("<profile><Preferences><T>x</T></Preferences></profile>");
  ProfileSlots[0].records[0].value = ProfileSlots[0].texts.Keep(L"a\rb\r");
  Select({});
  ASSERT_EQ(RewriteProfileWithout(dialog_, target_.c_str()), 1);
  EXPECT_TRUE(std::regex_search(ReadBytes(target_), std::regex("<T>a&#x[dD];b&#x[dD];</T>"))) << ReadBytes(target_);
}

TEST_F(ProfileRewriteTest, ASecondRemovalWithoutReloadLeavesOutTheFirstToo) {
  Load(PrefsAndPlugins, {L"A", L"B"});
  Select({{L"A", 0}});
  ASSERT_EQ(RewriteProfileWithout(dialog_, target_.c_str()), 1);
  Select({{L"B", 0}});
  ASSERT_EQ(RewriteProfileWithout(dialog_, target_.c_str()), 1);
  EXPECT_EQ(ReadBack(), (std::vector<Entry>{{Prefs, L"X", L"1"}, {Prefs, L"Y", L"2"}}));
  EXPECT_TRUE(Rows().empty());
}

// A generated Mach3-sized profile with a plug-in section, written back
// without removing anything, in every encoding a profile is read in.
// Wine's XML reader breaks on UTF-16 input of some thousand characters
// and on a line break after the root element, so those profiles are
// smaller and end at the root; it reads no big-endian UTF-16 at all.
std::wstring GeneratedProfile(size_t entries) {
  ProfileShape shape;
  shape.entries = entries;
  std::vector<GeneratedEntry> generated = MakeProfileEntries(shape);
  generated.push_back({"PlugIns", "Flash", "1"});
  generated.push_back({"PlugIns", "JoyStick", "0"});
  generated.push_back({"Preferences", "Umlaut", "\xC3\xA4\xC3\xB6\xC3\xBC \xC3\x9F"});  // UTF-8 of "äöü ß"
  const std::string utf8 = MakeProfileText(generated);
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                      static_cast<int>(wide.size()));
  return wide;
}

std::string Encoded(const std::wstring& text, UINT codePage, const std::string& mark = {}) {
  std::string bytes = mark;
  if (codePage == 1200 || codePage == 1201) {
    for (wchar_t unit : text) {
      const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
      bytes += codePage == 1201 ? high : low;
      bytes += codePage == 1201 ? low : high;
    }
    return bytes;
  }
  std::string converted(text.size() * 3, '\0');
  converted.resize(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), converted.data(),
                                       static_cast<int>(converted.size()), nullptr, nullptr));
  return bytes + converted;
}

// Mach3-sized generated profiles with a plug-in section, written back
// without removing anything, in every encoding a profile is read in.
TEST_F(ProfileRewriteTest, EveryEntryReadsBackInTheEncodingItWasReadIn) {
  const std::wstring large = GeneratedProfile(3000);
  std::wstring small = GeneratedProfile(20);
  small.resize(small.find_last_not_of(L"\r\n") + 1);
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-8", Encoded(large, CP_UTF8)},
      {"UTF-8 with mark", Encoded(large, CP_UTF8, "\xEF\xBB\xBF")},
      {"UTF-16", Encoded(small, 1200, "\xFF\xFE")},
      {"ANSI", Encoded(small, 1252)},  // read as UTF-16 too
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(c.bytes);
    const ProfileTextForm form = ProfileSlots[0].form;
    Select({});
    ASSERT_EQ(RewriteProfileWithout(dialog_, target_.c_str()), 1) << c.name;
    EXPECT_EQ(ReadBack(), EntriesOf(FirstProfileSlot)) << c.name;
    const ProfileTextForm written = ProfileSlots[1].form;
    EXPECT_EQ(written.encoding, form.encoding) << c.name;
    EXPECT_EQ(written.byteOrderMark, form.byteOrderMark) << c.name;
  }
  // Mach3 reads the umlauts of an ANSI profile as single bytes.
  EXPECT_NE(ReadBytes(target_).find("\xE4\xF6\xFC \xDF"), std::string::npos);
  EXPECT_TRUE(messages_.Messages().empty());
}

TEST_F(ProfileRewriteTest, RefusesProfilesItCannotWriteBackAlike) {
  const char* const cases[] = {
      "<profile><Preferences><Deep><X>1</X></Deep></Preferences></profile>",
      "<profile><Version>3</Version><Preferences><X>1</X></Preferences></profile>",
      "<profile><Preferences><X>1</X></Preferences><PlugIns/></profile>",
      "<profile>text</profile>",
  };
  for (const char* xml : cases) {
    WriteBytes(profile_, xml);
    ASSERT_EQ(ReadProfile(FirstProfileSlot, profile_.c_str()), 1) << xml;
    messages_.Clear();
    const std::vector<Entry> before = EntriesOf(FirstProfileSlot);
    EXPECT_EQ(RewriteProfileWithout(dialog_, target_.c_str()), 0) << xml;
    ASSERT_EQ(messages_.Messages().size(), 1u) << xml;
    EXPECT_EQ(messages_.Messages()[0].text, L"The profile's structure cannot be rewritten. Nothing was changed.");
    EXPECT_EQ(messages_.Messages()[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(FileExists(target_)) << xml;
    EXPECT_EQ(EntriesOf(FirstProfileSlot), before) << xml;
    EXPECT_EQ(ReadBytes(profile_), xml);
  }
}

TEST_F(ProfileRewriteTest, NothingLoadedWritesNothing) {
  ReleaseAllProfiles();
  EXPECT_EQ(RewriteProfileWithout(dialog_, target_.c_str()), 0);
  EXPECT_FALSE(FileExists(target_));
  EXPECT_TRUE(messages_.Messages().empty());
}

// A file stream that takes nothing: a full disk.
class FullDiskStream final : public IStream {
 public:
  virtual ~FullDiskStream() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_MEDIUMFULL; }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

 private:
  ULONG references_ = 1;
};

// The real file is made, as the real opener would, then refuses its bytes.
HRESULT OpenFullDisk(const wchar_t* path, IStream** stream) {
  WriteBytes(path, "");
  *stream = new FullDiskStream;
  return S_OK;
}

TEST_F(ProfileRewriteTest, WriterFailuresAreReportedAndLeaveNoFile) {
  struct Case {
    bool fullDisk;
    bool missingFolder;
    const wchar_t* message;
  } cases[] = {
      {false, true, L"Error creating file writer, error is 80070003"},
      {true, false, L"Error, Method: Write, error is 80030070"},
  };
  for (const Case& c : cases) {
    Load(PrefsAndPlugins, {L"A", L"B"});
    Select({{L"A", 0}});
    messages_.Clear();
    const std::wstring target = c.missingFolder ? folder_.Path(L"missing\\P.xmlppp") : target_;
    const ProfileStreamOpener before = c.fullDisk ? SetProfileStreamOpener(OpenFullDisk) : nullptr;
    EXPECT_EQ(RewriteProfileWithout(dialog_, target.c_str()), 0);
    if (c.fullDisk) SetProfileStreamOpener(before);
    ASSERT_EQ(messages_.Messages().size(), 1u);
    EXPECT_EQ(messages_.Messages()[0].text, c.message);
    EXPECT_EQ(messages_.Messages()[0].owner, MainWindow);
    EXPECT_EQ(messages_.Messages()[0].caption, L"Kestrelwood Error");
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(ReadBytes(profile_), PrefsAndPlugins);
    EXPECT_EQ(ProfileSlots[0].Capacity(), 0u);  // released: the rows no longer match a list
  }
}

}  // namespace
