// The Check ports and pins dialog, driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/main_window.h"
#include "app/settings.h"
#include "app/text_triple.h"
#include "pins/check_ports_dialog.h"
#include "resources/resource.h"
#include "tests/pins/fake_dialogs.h"
#include "tests/pins/lpt_test_devices.h"
#include "tests/pins/pin_test_helpers.h"
#include "tests/pins/profile_fixture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

using namespace lpt_test;

void StoreValue(const wchar_t* name, const std::wstring& text) {
  HKEY key = OpenSettingsKey();
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void StoreNumber(const wchar_t* name, DWORD value) {
  HKEY key = OpenSettingsKey();
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(key);
}

DWORD StoredNumber(const wchar_t* name) {
  DWORD value = 99, bytes = sizeof(value);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes);
  return value;
}

std::wstring StoredText(const wchar_t* name) {
  wchar_t text[300] = {};
  DWORD bytes = sizeof(text);
  RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, name, RRF_RT_REG_SZ, nullptr, text, &bytes);
  return text;
}

class CheckPortsDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    RemoveTestDevices();
  }
  void TearDown() override {
    DeleteSettingsKey();
    RemoveTestDevices();
  }
  INT_PTR Run(std::vector<DialogStep> steps) {
    return DriveModal([] { return RunModalDialog(nullptr, IDD_CHECK_PORTS, CheckPortsDialogProc); },
                      std::move(steps));
  }
  MessageRecorder messages;
};

struct DialogView {
  std::wstring title, pathLabel, path, noPort, showAll, check, cancel;
  UINT showAllState = 0;
  std::vector<std::wstring> ports;
  bool checkEnabled = false;
};

DialogView Look(HWND dialog) {
  DialogView view;
  view.title = WindowText(dialog);
  view.pathLabel = ItemText(dialog, IDC_CHECK_PORTS_PATH_LABEL);
  view.path = ItemText(dialog, IDC_CHECK_PORTS_PATH);
  view.noPort = ItemText(dialog, IDC_CHECK_PORTS_NO_PORT);
  view.showAll = ItemText(dialog, IDC_CHECK_PORTS_SHOW_ALL);
  view.check = ItemText(dialog, IDC_CHECK_PORTS_CHECK);
  view.cancel = ItemText(dialog, IDCANCEL);
  view.showAllState = IsDlgButtonChecked(dialog, IDC_CHECK_PORTS_SHOW_ALL);
  view.ports = ListBoxLines(GetDlgItem(dialog, IDC_CHECK_PORTS_LIST));
  view.checkEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK));
  return view;
}

TEST_F(CheckPortsDialogTest, OpensInEachLanguageWithoutPortsShowingTheRedLine) {
  struct Texts {
    std::wstring title, pathLabel, path, noPort, showAll, check, cancel;
  };
  struct Case {
    DWORD language;
    Texts expected;
  } cases[] = {
      {0,
       {L"KestrelwoodV3.02 Ports und Pins prüfen", L"Profile Name. Bitte mit Taste \"durchsuchen\" festlegen.",
        L"C:\\Mach3\\Mill.xml", L"Keine LPT Schnittstelle gefunden", L"Alle referenzierten LPT's anzeigen",
        L"Prüfen", L"Abbrechen"}},
      {1,
       {L"KestrelwoodV3.02 Check ports and pins", L"Profile name. Please use button \"Browse\" to specify.",
        L"C:\\Mach3\\Mill.xml", L"No LPT interface found", L"Show all referenced LPT's", L"Check", L"Cancel"}},
      {2,
       {L"KestrelwoodV3.02 Vérifier les ports et les bornes",
        L"Nom du profil. Utilisez le bouton \"Parcourir...\" pour la sélection.", L"C:\\Mach3\\Mill.xml",
        L"Aucune interface parallèle dérectée", L"Montrer toutes les interfaces parallèle", L"Vérifier",
        L"Annuler"}},
  };
  for (const Case& c : cases) {
    StoreNumber(L"Language", c.language);
    StoreValue(L"Filename check ports and pins2", L"C:\\Mach3\\Mill.xml");
    DialogView view;
    Run({[&](HWND dialog) {
      view = Look(dialog);
      PauseForLooking(dialog);
      ClickButton(dialog, IDCANCEL);
    }});
    EXPECT_EQ(view.title, c.expected.title);
    EXPECT_EQ(view.pathLabel, c.expected.pathLabel);
    EXPECT_EQ(view.path, c.expected.path);
    EXPECT_EQ(view.noPort, c.expected.noPort);
    EXPECT_EQ(view.showAll, c.expected.showAll);
    EXPECT_EQ(view.check, c.expected.check);
    EXPECT_EQ(view.cancel, c.expected.cancel);
    EXPECT_EQ(view.showAllState, static_cast<UINT>(BST_CHECKED));  // the default
    EXPECT_TRUE(view.ports.empty());
  }
}

TEST_F(CheckPortsDialogTest, ListsTheKnownPortsAndHidesTheRedLine) {
  CreateDevice({L"ACPI\\PNP0400\\0", L"Parport", L"Ports", L"ECP Printer Port (LPT1)",
                AllocConfig(0x78, 0x00, 0x03, 0x00), L"LPT1"});
  CreateDevice({L"ACPI\\PNP0401\\0", L"Parport", L"Ports", L"Printer Port (LPT2)", AllocConfig(0x78, 0x00, 0x02, 0x00),
                L"LPT2"});
  DialogView view;
  LRESULT extent = 0;
  Run({[&](HWND dialog) {
    view = Look(dialog);
    extent = SendDlgItemMessageW(dialog, IDC_CHECK_PORTS_LIST, LB_GETHORIZONTALEXTENT, 0, 0);
    ClickButton(dialog, IDCANCEL);
  }});
  EXPECT_EQ(view.ports, (std::vector<std::wstring>{L"ECP Printer Port (LPT1)   LPT1    0x378",
                                                   L"Printer Port (LPT2)   LPT2    0x278"}));
  EXPECT_EQ(view.noPort, L"");
  EXPECT_GT(extent, 0);
}

TEST_F(CheckPortsDialogTest, CheckWithEmptyFieldAsksForAFile) {
  HWND seen = nullptr;
  bool enabledAfter = false;
  Run({[&](HWND dialog) {
    seen = dialog;
    ClickButton(dialog, IDC_CHECK_PORTS_CHECK);
    enabledAfter = IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK));
    ClickButton(dialog, IDCANCEL);
  }});
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"Please specify file");
  EXPECT_EQ(messages.Messages()[0].caption, L"Kestrelwood Error");
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(messages.Messages()[0].owner, seen);
  EXPECT_TRUE(enabledAfter);
}

TEST_F(CheckPortsDialogTest, UntickedBoxIsKeptForTheNextTime) {
  UINT reopened = 0;
  Run({[](HWND dialog) {
    CheckDlgButton(dialog, IDC_CHECK_PORTS_SHOW_ALL, BST_UNCHECKED);
    ClickButton(dialog, IDC_CHECK_PORTS_SHOW_ALL);
    ClickButton(dialog, IDCANCEL);
  }});
  EXPECT_EQ(StoredNumber(L"Show all referenced LPTs"), 0u);
  Run({[&](HWND dialog) {
    reopened = IsDlgButtonChecked(dialog, IDC_CHECK_PORTS_SHOW_ALL);
    ClickButton(dialog, IDCANCEL);
  }});
  EXPECT_EQ(reopened, static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(CheckPortsDialogTest, BrowseStoresAndShowsTheChosenFile) {
  FakeDialogs dialogs;
  StoreValue(L"Filename check ports and pins2", L"C:\\old.xml");
  std::wstring afterCancel, afterChoice;
  Run({[&](HWND dialog) {
         ClickButton(dialog, IDC_CHECK_PORTS_BROWSE);  // cancelled: nothing changes
         afterCancel = ItemText(dialog, IDC_CHECK_PORTS_PATH);
         dialogs.chosenPath = L"Z:\\profiles\\Router.xml";
         ClickButton(dialog, IDC_CHECK_PORTS_BROWSE);
         afterChoice = ItemText(dialog, IDC_CHECK_PORTS_PATH);
         ClickButton(dialog, IDCANCEL);
       }});
  EXPECT_EQ(afterCancel, L"C:\\old.xml");
  EXPECT_EQ(afterChoice, L"Z:\\profiles\\Router.xml");
  EXPECT_EQ(StoredText(L"Filename check ports and pins2"), L"Z:\\profiles\\Router.xml");
  EXPECT_EQ(dialogs.openCount, 2);
  EXPECT_EQ(dialogs.lastTitle, L"Profile file to open");
  EXPECT_EQ(dialogs.lastFilter, L"*.xml|*.xml|");
  EXPECT_EQ(dialogs.lastDefaultExtension, L"xml");
}

// A typed path is checked (and named in the sheet's caption) without being
// stored; the button is disabled while the sheet is open.
TEST_F(CheckPortsDialogTest, CheckReadsTheProfileAndShowsTheSheet) {
  TempFolder folder;
  ProfileKeys keys = {{"Profile", "Mill"}, {"Port1On", "1"}, {"Port1Add", "888"}, {"Port2On", "0"},
                      {"Input0Active", "1"}, {"Input0Port", "1"}, {"Input0Pin", "10"},
                      {"Input1Active", "1"}, {"Input1Port", "1"}, {"Input1Pin", "10"},
                      {"Input2Active", "1"}, {"Input2Port", "2"}, {"Input2Pin", "11"}};
  folder.Write(L"Mill.xml", ProfileXml(keys));
  CreateDevice({L"ACPI\\PNP0400\\0", L"Parport", L"Ports", L"ECP Printer Port (LPT1)",
                AllocConfig(0x78, 0x00, 0x03, 0x00), L"LPT1"});
  StoreValue(L"Filename check ports and pins2", L"C:\\stored.xml");
  const std::wstring path = folder.Path(L"Mill.xml");
  std::wstring caption, status, portName;
  std::vector<std::wstring> titles;
  bool enabledDuringSheet = true, enabledAfter = false;
  HWND checkDialog = nullptr;
  Run({[&](HWND dialog) {
         checkDialog = dialog;
         SetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, path.c_str());
         ClickButton(dialog, IDC_CHECK_PORTS_CHECK);
         enabledAfter = IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK));
         ClickButton(dialog, IDCANCEL);
       },
       [&](HWND sheet) {
         enabledDuringSheet = IsWindowEnabled(GetDlgItem(checkDialog, IDC_CHECK_PORTS_CHECK));
         caption = WindowText(sheet);
         titles = SheetTabTitles(sheet);
         HWND list = GetDlgItem(CurrentSheetPage(sheet), IDC_PIN_TABLE);
         status = ListViewText(list, 9, 8);
         portName = ListViewText(list, 9, 2);
         PauseForLooking(sheet);
         SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
       }});
  EXPECT_EQ(caption, path + L" Mill");
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"Pin assignments LPT1", L"Pin assignments LPT2"}));
  EXPECT_EQ(status, L"Multiple used pin nmb: (2)   ");
  EXPECT_EQ(portName, L"LPT1  ECP Printer Port (LPT1)");
  EXPECT_FALSE(enabledDuringSheet);
  EXPECT_TRUE(enabledAfter);
  EXPECT_EQ(StoredText(L"Filename check ports and pins2"), L"C:\\stored.xml");
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(CheckPortsDialogTest, OnlyTheNoPortLineIsRed) {
  LoadAllSettings();
  HWND dialog = CreateTestDialog(IDD_CHECK_PORTS, CheckPortsDialogProc);
  ASSERT_TRUE(dialog);
  HDC dc = CreateCompatibleDC(nullptr);
  SetTextColor(dc, RGB(0, 0, 0));
  const INT_PTR brush = SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CHECK_PORTS_NO_PORT)));
  EXPECT_EQ(brush, reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  SetTextColor(dc, RGB(0, 0, 0));
  SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CHECK_PORTS_PATH_LABEL)));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  DeleteDC(dc);
  DestroyWindow(dialog);
}

}  // namespace
