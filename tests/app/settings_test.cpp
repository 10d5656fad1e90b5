// The settings store against the registry of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>

#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "tests/support/test_support.h"

namespace {

// Spot checks of values no other test reads or writes by name, as users and
// other programs see them in the registry.
struct ExpectedValue {
  const wchar_t* name;
  DWORD type;
  const wchar_t* text;
  DWORD number;
};

const ExpectedValue FirstStartValues[] = {
    {L"Filename profile", REG_SZ, L"", 0},
    {L"Show all referenced LPTs", REG_DWORD, nullptr, 1},
    {L"Listview Font face name unequal", REG_SZ, L"Arial", 0},
    {L"Listview mark font height equal", REG_DWORD, nullptr, 12},
};

UniqueKey OpenKeyForTest() {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            ERROR_SUCCESS);
  return UniqueKey(key);
}

void SetString(const wchar_t* name, const std::wstring& text, DWORD bytes) {
  UniqueKey key = OpenKeyForTest();
  ASSERT_EQ(RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes),
            ERROR_SUCCESS);
}

class SettingsStore : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    Settings = {};
    LanguageIndex = German;
  }
  void TearDown() override { DeleteSettingsKey(); }
  MessageRecorder messages;
};

TEST_F(SettingsStore, FirstStartCreatesEveryValueWithItsTypeAndDefault) {
  LoadAllSettings();
  EXPECT_TRUE(messages.Messages().empty());

  EXPECT_EQ(StoredSettingCount(), 41u);
  UniqueKey key = OpenKeyForTest();

  for (const ExpectedValue& expected : FirstStartValues) {
    SCOPED_TRACE(testing::Message() << "value " << std::string(expected.name, expected.name + wcslen(expected.name)));
    BYTE data[600] = {};
    DWORD type = 0;
    DWORD bytes = sizeof(data);
    ASSERT_EQ(RegQueryValueExW(key.get(), expected.name, nullptr, &type, data, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, expected.type);
    if (expected.type == REG_SZ) {
      // Written without the terminating zero; Windows (and Wine) may add one.
      EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(data)), expected.text);
      EXPECT_LE(bytes, (wcslen(expected.text) + 1) * sizeof(wchar_t));
    } else {
      EXPECT_EQ(bytes, 4u);
      EXPECT_EQ(*reinterpret_cast<DWORD*>(data), expected.number);
    }
  }
  // The variables took the defaults too.
  EXPECT_EQ(LanguageIndex, English);
  EXPECT_STREQ(Settings.saveMachPath, L"C:\\Mach3");
}

TEST_F(SettingsStore, StoredValuesLoadAndDeletedValuesComeBackAsDefaults) {
  StoreSettingNumber(L"Language", French);
  SetString(L"Filename profile 1", L"C:\\Mach3\\Mill.xml", 17 * 2);  // no terminator, as stored
  StoreSettingNumber(L"Select color", 0x123456);
  LoadAllSettings();
  EXPECT_EQ(LanguageIndex, French);
  EXPECT_STREQ(Settings.filenameProfile1, L"C:\\Mach3\\Mill.xml");
  EXPECT_EQ(Settings.selectColor, 0x123456u);

  // A value deleted while the program runs is recreated by the next load.
  {
    UniqueKey key = OpenKeyForTest();
    RegDeleteValueW(key.get(), L"Select color");
  }
  LoadAllSettings();
  EXPECT_EQ(Settings.selectColor, 0xF04B19u);
  EXPECT_TRUE(messages.Messages().empty());

  // A language out of range selects the English texts.
  StoreSettingNumber(L"Language", 7);
  LoadAllSettings();
  EXPECT_STREQ(SelectText(CaptionWarning), L"Kestrelwood Warning");
  LanguageIndex = -1;
  EXPECT_STREQ(SelectText(TextOutOfMemory), L"Out of memory");
  LanguageIndex = German;
  EXPECT_STREQ(SelectText(TextOutOfMemory), L" Zu wenig Speicher");
}

// Too long a text, or one that fills its buffer exactly without a
// terminator, fails to load with the system's text and leaves the variable
// as it was; the longest that fits loads. A value of the wrong type is
// refused, not reinterpreted.
TEST_F(SettingsStore, OverlongPathsAndWrongTypesFailWithSystemTextAndKeepTheVariable) {
  LoadAllSettings();
  wcscpy(Settings.restoreStorePath, L"kept");
  wcscpy(Settings.filenameProfile2, L"kept");
  SetString(L"Restore Parameter store path", std::wstring(300, L'p'), 300 * 2);
  SetString(L"Filename profile 2", std::wstring(260, L'q'), 260 * 2);
  SetString(L"Filename profile 1", std::wstring(259, L'r'), 259 * 2);
  SetString(L"Language", L"2", 2);
  messages.Clear();
  LoadAllSettings();
  EXPECT_STREQ(Settings.restoreStorePath, L"kept");
  EXPECT_STREQ(Settings.filenameProfile2, L"kept");
  EXPECT_EQ(Settings.filenameProfile1, std::wstring(259, L'r'));
  EXPECT_EQ(LanguageIndex, English);
  // In the load table's order; the stored language is English.
  std::vector<ShownMessage> expected;
  for (DWORD error : {ERROR_MORE_DATA, ERROR_INVALID_DATA, ERROR_MORE_DATA}) {
    expected.push_back({SystemErrorText(error), L"Kestrelwood Error", MB_TASKMODAL | MB_ICONERROR});
  }
  EXPECT_EQ(messages.Shown(), expected);
  EXPECT_FALSE(expected[0].text.empty());
}

// Gives everyone the rights of `sddl` ("KR": read only, "KA": all) on the key.
void SetKeyAccess(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      (std::wstring(L"D:P(A;;") + sddl + L";;;WD)").c_str(), SDDL_REVISION_1, &descriptor, nullptr));
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath, 0, WRITE_DAC, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
  RegCloseKey(key);
  LocalFree(descriptor);
}

// A key the user may read but not write: the dialogs' storing ends with one
// message, the stored values stay, the changed ones live on in memory.
TEST_F(SettingsStore, AKeyThatCannotBeWrittenKeepsItsValues) {
  LoadAllSettings();
  SetKeyAccess(L"KR");
  Settings.showAll = 0;
  Settings.storeGcode = 1;
  const int stored = StoreSettings({&Settings.showAll, &Settings.storeGcode});
  SetKeyAccess(L"KA");
  EXPECT_EQ(stored, 0);
  EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{{SystemErrorText(ERROR_ACCESS_DENIED), L"Kestrelwood Error",
                                                          MB_TASKMODAL | MB_ICONERROR}}));
  EXPECT_EQ(StoredSettingNumber(L"Show All"), 1u);
  EXPECT_EQ(StoredSettingNumber(L"Store gcode files"), 0u);
  EXPECT_EQ(Settings.showAll, 0u);
  EXPECT_EQ(Settings.storeGcode, 1u);
}

// A key that cannot be opened at all: the defaults, not zeros, and one
// warning that nothing is kept; later loads leave the values in memory.
TEST_F(SettingsStore, WithoutAKeyTheProgramRunsOnTheDefaults) {
  LoadAllSettings();
  SetKeyAccess(L"KR");
  Settings = {};
  LanguageIndex = German;
  messages.Clear();
  LoadAllSettings();
  Settings.showAll = 0;
  LoadAllSettings();
  SetKeyAccess(L"KA");
  EXPECT_EQ(LanguageIndex, English);
  EXPECT_EQ(Settings.compareBackColorUnequal, 0x1414F0u);
  EXPECT_STREQ(Settings.listviewFaceEqual, L"Arial");
  EXPECT_EQ(Settings.showAll, 0u);
  // The system's text at each load, the warning once.
  const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_EQ(messages.Texts(), (std::vector<std::wstring>{denied,
                                                         L"Settings cannot be stored. The defaults apply, and changes "
                                                         L"are lost when the program ends.",
                                                         denied}));
  EXPECT_EQ(messages.Messages().at(1).caption, L"Kestrelwood Warning");
  EXPECT_EQ(messages.Messages().at(1).style, static_cast<UINT>(MB_TASKMODAL | MB_ICONWARNING));
}

}  // namespace
