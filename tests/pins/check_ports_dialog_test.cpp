// Parallel-port discovery against device keys made in the test prefix's
// registry; the Check ports and pins dialog and the pin report sheet, driven
// as a user would: pages, rows, labels, colours, details and the message
// when no port is used.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "pins/check_ports_dialog.h"
#include "pins/pin_report_sheet.h"
#include "pins/portable/lpt_ports.h"
#include "resources/resource.h"
#include "tests/pins/pin_test_helpers.h"
#include "tests/pins/portable/profile_fixture.h"
#include "tests/pins/portable/resource_list_sample.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

const wchar_t* const Enum = L"System\\CurrentControlSet\\Enum";
const wchar_t* const Roots[] = {L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0400",
                                L"System\\CurrentControlSet\\Enum\\ACPI\\PNP0401",
                                L"System\\CurrentControlSet\\Enum\\MF"};

void RemoveTestDevices() {
  for (const wchar_t* root : Roots) RegDeleteTreeW(HKEY_LOCAL_MACHINE, root);
}

// Sets a value, making its key and the keys above it as needed.
void SetValue(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, size_t bytes) {
  EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), name, type, data, static_cast<DWORD>(bytes)),
            ERROR_SUCCESS)
      << std::string(path.begin(), path.end());
}

void SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  SetValue(path, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// "AllocConfig" values laid out as the Windows running the tests writes them.
std::vector<BYTE> AllocConfig(const std::vector<resource_sample::Partial>& partials) {
  return resource_sample::ResourceList(partials, WindowsResourceDescriptorSize());
}
std::vector<BYTE> PrinterPortConfig(uint32_t address) {
  return resource_sample::PrinterPort(address, WindowsResourceDescriptorSize());
}

struct Device {
  std::wstring path;  // below Enum
  std::wstring service, deviceClass, friendlyName;
  std::optional<std::vector<BYTE>> allocConfig;
  std::optional<std::wstring> portName;
};

void CreateDevice(const Device& device) {
  const std::wstring path = std::wstring(Enum) + L"\\" + device.path;
  SetText(path, L"Service", device.service);
  SetText(path, L"Class", device.deviceClass);
  if (!device.friendlyName.empty()) SetText(path, L"FriendlyName", device.friendlyName);
  if (device.allocConfig) {
    SetValue(path + L"\\Control", L"AllocConfig", REG_RESOURCE_LIST, device.allocConfig->data(),
             device.allocConfig->size());
  }
  if (device.portName) SetText(path + L"\\Device Parameters", L"PortName", *device.portName);
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
  std::vector<LptPortInfo> Present() {
    std::vector<LptPortInfo> present;
    for (const LptPortInfo& entry : LptPorts) {
      if (entry.present) present.push_back(entry);
    }
    return present;
  }
  MessageRecorder messages;
};

class LptDiscoveryTest : public CheckPortsDialogTest {};

TEST_F(LptDiscoveryTest, BothPassesWithTheirRules) {
  const std::wstring longName(99, L'n');  // the longest name a port may have
  using namespace resource_sample;
  const std::vector<Device> devices = {
      // Pass 1: exact case only.
      {L"ACPI\\PNP0400\\0", L"Parport", L"Ports", longName, PrinterPortConfig(0x378), L"LPT1"},
      {L"ACPI\\PNP0400\\1", L"parport", L"Ports", L"Lower-case service", PrinterPortConfig(0x278), L"LPT9"},
      {L"ACPI\\PNP0400\\2", L"Parport", L"Ports", L"No port name", PrinterPortConfig(0x278), std::nullopt},
      {L"ACPI\\PNP0400\\4", L"Parport", L"Ports", L"No config", std::nullopt, L"LPT7"},
      {L"ACPI\\PNP0400\\5", L"Parport", L"Printer", L"Other class", PrinterPortConfig(0x278), L"LPT6"},
      {L"ACPI\\PNP0401\\0", L"Parport", L"Ports", L"", PrinterPortConfig(0x3BC), L"LPT2"},
      // Pass 2: case-blind, lower-cased names, cards without a port range skipped.
      {L"MF\\PCI#VEN_9710\\0", L"Parport", L"PORTS", L"PCI Parallel Port (LPT3)",
       AllocConfig({{Interrupt, 16, 16}, {Port, 0xE010, 8}, {Port, 0xE000, 8}}), L"LPT3"},
      {L"MF\\PCI#VEN_9710\\1", L"NMPAR", L"Ports", L"Empty range", AllocConfig({{Port, 0, 8}}), L"LPT5"},
      {L"MF\\PCI#VEN_9710\\2", L"serial", L"Ports", L"Serial", AllocConfig({{Port, 0xE8F8, 8}}), L"COM3"},
  };
  for (const Device& device : devices) CreateDevice(device);

  EXPECT_EQ(DiscoverLptPorts(), 3);
  const std::vector<LptPortInfo> present = Present();
  ASSERT_EQ(present.size(), 3u);
  EXPECT_EQ(present[0].address, 0x378);
  EXPECT_EQ(present[0].portName, L"LPT1");
  EXPECT_EQ(present[0].friendlyName, longName);
  EXPECT_EQ(present[1].address, 0x3BC);
  EXPECT_EQ(present[1].portName, L"LPT2");
  EXPECT_EQ(present[1].friendlyName, L"");
  EXPECT_EQ(present[2].address, 0xE010);
  EXPECT_EQ(present[2].friendlyName, L"pci parallel port (lpt3)");
  EXPECT_EQ(present[2].portName, L"LPT3");
  // Found ports fill the table from entry 1 on.
  EXPECT_TRUE(LptPorts[2].present);
  EXPECT_FALSE(LptPorts[3].present);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(LptDiscoveryTest, TableHoldsAtMost256PortsAndKeepsNoneFromAnEarlierRun) {
  for (const wchar_t* root : {L"ACPI\\PNP0400", L"ACPI\\PNP0401"}) {
    for (int i = 0; i < 128; ++i) {
      CreateDevice({std::wstring(root) + L"\\" + std::to_wstring(i), L"Parport", L"Ports", L"",
                    PrinterPortConfig(0x100 + i), L"LPT"});
    }
  }
  CreateDevice({L"MF\\Card\\0", L"parport", L"ports", L"one too many", PrinterPortConfig(0x200), L"LPTX"});
  EXPECT_EQ(DiscoverLptPorts(), 256);
  EXPECT_TRUE(LptPorts[255].present);
  EXPECT_EQ(LptPorts[255].portName, L"LPT");
  // Nothing is left from an earlier run.
  RemoveTestDevices();
  EXPECT_EQ(DiscoverLptPorts(), 0);
  EXPECT_TRUE(Present().empty());
  EXPECT_TRUE(messages.Messages().empty());
}


// Without ports the red line shows; texts follow the stored language.
// Browse shows and stores the chosen file (cancelled: nothing changes).
// Check with an empty field asks for a file; an unticked box is kept.
TEST_F(CheckPortsDialogTest, OpensWithoutPortsBrowsesAsksForAFileAndKeepsTheBox) {
  StoreSettingNumber(L"Language", 0);
  StoreSettingText(L"Filename check ports and pins2", L"C:\\Mach3\\Mill.xml");
  ScriptedDialogs dialogs;
  HWND seen = nullptr;
  Run({[&](HWND dialog) {  // checks inside the step: the driver fails the test when it does not run
    seen = dialog;
    EXPECT_EQ(WindowText(dialog), L"KestrelwoodV3.02 Ports und Pins prüfen");
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_PATH), L"C:\\Mach3\\Mill.xml");
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_NO_PORT), L"Keine LPT Schnittstelle gefunden");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHECK_PORTS_SHOW_ALL), static_cast<UINT>(BST_CHECKED));  // the default
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_CHECK_PORTS_LIST, LB_GETCOUNT, 0, 0), 0);
    ClickButton(dialog, IDC_CHECK_PORTS_BROWSE);
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_PATH), L"C:\\Mach3\\Mill.xml");
    dialogs.OpenFileAnswer(L"Z:\\profiles\\Router.xml");
    ClickButton(dialog, IDC_CHECK_PORTS_BROWSE);
    EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_PATH), L"Z:\\profiles\\Router.xml");
    SetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, L"");
    ClickButton(dialog, IDC_CHECK_PORTS_CHECK);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK)));
    CheckDlgButton(dialog, IDC_CHECK_PORTS_SHOW_ALL, BST_UNCHECKED);
    ClickButton(dialog, IDC_CHECK_PORTS_SHOW_ALL);
    ClickButton(dialog, IDCANCEL);
  }});
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0].text, L"Bitte Datei  angeben");
  EXPECT_EQ(messages.Messages()[0].owner, seen);
  EXPECT_EQ(StoredSettingText(L"Filename check ports and pins2"), L"Z:\\profiles\\Router.xml");
  EXPECT_EQ(dialogs.openFileCalls, 2);
  Run({[&](HWND dialog) {
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHECK_PORTS_SHOW_ALL), static_cast<UINT>(BST_UNCHECKED));
    ClickButton(dialog, IDCANCEL);
  }});
}

// The known ports are listed without the red line. A typed path is checked
// (and named in the sheet's caption) without being stored; the button is
// disabled while the sheet is open.
TEST_F(CheckPortsDialogTest, CheckReadsTheProfileAndShowsTheSheet) {
  TempFolder folder;
  ProfileKeys keys = {{"Profile", "Mill"}, {"Port1On", "1"}, {"Port1Add", "888"}, {"Port2On", "0"},
                      {"Input0Active", "1"}, {"Input0Port", "1"}, {"Input0Pin", "10"},
                      {"Input1Active", "1"}, {"Input1Port", "1"}, {"Input1Pin", "10"},
                      {"Input2Active", "1"}, {"Input2Port", "2"}, {"Input2Pin", "11"}};
  folder.Write(L"Mill.xml", ProfileXml(keys));
  CreateDevice({L"ACPI\\PNP0400\\0", L"Parport", L"Ports", L"ECP Printer Port (LPT1)",
                PrinterPortConfig(0x378), L"LPT1"});
  CreateDevice({L"ACPI\\PNP0401\\0", L"Parport", L"Ports", L"Printer Port (LPT2)", PrinterPortConfig(0x278),
                L"LPT2"});
  StoreSettingText(L"Filename check ports and pins2", L"C:\\stored.xml");
  const std::wstring path = folder.Path(L"Mill.xml");
  HWND checkDialog = nullptr;
  Run({[&](HWND dialog) {
         checkDialog = dialog;
         EXPECT_EQ(ListBoxItems(dialog, IDC_CHECK_PORTS_LIST),
                   (std::vector<std::wstring>{L"ECP Printer Port (LPT1)   LPT1    0x378",
                                              L"Printer Port (LPT2)   LPT2    0x278"}));
         EXPECT_EQ(ItemText(dialog, IDC_CHECK_PORTS_NO_PORT), L"");
         EXPECT_GT(SendDlgItemMessageW(dialog, IDC_CHECK_PORTS_LIST, LB_GETHORIZONTALEXTENT, 0, 0), 0);
         SetDlgItemTextW(dialog, IDC_CHECK_PORTS_PATH, path.c_str());
         ClickButton(dialog, IDC_CHECK_PORTS_CHECK);  // returns when the sheet is closed
         EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CHECK_PORTS_CHECK)));
         ClickButton(dialog, IDCANCEL);
       },
       [&](HWND sheet) {
         EXPECT_FALSE(IsWindowEnabled(GetDlgItem(checkDialog, IDC_CHECK_PORTS_CHECK)));
         EXPECT_EQ(WindowText(sheet), path + L" Mill");
         EXPECT_EQ(SheetTabTitles(sheet), (std::vector<std::wstring>{L"Pin assignments LPT1", L"Pin assignments LPT2"}));
         HWND list = GetDlgItem(CurrentSheetPage(sheet), IDC_PIN_TABLE);
         EXPECT_EQ(ListViewText(list, 9, 8), L"Multiple used pin nmb: (2)   ");
         CloseSheet(sheet);
       }});
  EXPECT_EQ(StoredSettingText(L"Filename check ports and pins2"), L"C:\\stored.xml");
  EXPECT_TRUE(messages.Messages().empty());
}

// ---------------------------------------------------------------- The report sheet

// Two inputs on port 1 pin 10, an output on pin 12, a step signal on a
// ground pin, a bad dir pin, and an input whose bad port sends it to Modbus.
PinModel FaultyModel() {
  PinModel model = {};
  model.ports[1] = {0x378, 1};
  model.ports[2] = {0x278, 0};
  model.motors[0] = {1, 0, 1, 30, 1, 1, 20};
  model.inputs[0] = {1, 1, 10, 0, 0, 0};
  model.inputs[3] = {1, 1, 10, 1, 1, 3162};
  model.inputs[22] = {1, 12, 5, 0, 0, 0};
  model.outputs[13] = {1, 1, 12, 0};
  return model;
}

class PinReportSheetTest : public testing::Test {
 protected:
  void SetUp() override {
    LanguageIndex = English;
    for (LptPortInfo& entry : LptPorts) entry = LptPortInfo{};
    LptPorts[0] = {0x378, 1, L"LPT1", L"ECP Printer Port (LPT1)"};
  }
  void TearDown() override {
    for (LptPortInfo& entry : LptPorts) entry = LptPortInfo{};
  }
  MessageRecorder messages;
};

LRESULT SendCustomDraw(HWND page, DWORD stage, DWORD_PTR item, COLORREF* text, COLORREF* back) {
  NMLVCUSTOMDRAW draw = {};
  draw.nmcd.hdr.hwndFrom = GetDlgItem(page, IDC_PIN_TABLE);
  draw.nmcd.hdr.idFrom = IDC_PIN_TABLE;
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = stage;
  draw.nmcd.dwItemSpec = item;
  draw.clrText = RGB(1, 2, 3);
  draw.clrTextBk = RGB(4, 5, 6);
  const LRESULT result = SendMessageW(page, WM_NOTIFY, IDC_PIN_TABLE, reinterpret_cast<LPARAM>(&draw));
  if (text) *text = draw.clrText;
  if (back) *back = draw.clrTextBk;
  return result;
}

void ActivateCell(HWND page, int item, int column) {
  NMITEMACTIVATE activate = {};
  activate.hdr.hwndFrom = GetDlgItem(page, IDC_PIN_TABLE);
  activate.hdr.idFrom = IDC_PIN_TABLE;
  activate.hdr.code = LVN_ITEMACTIVATE;
  activate.iItem = item;
  activate.iSubItem = column;
  SendMessageW(page, WM_NOTIFY, IDC_PIN_TABLE, reinterpret_cast<LPARAM>(&activate));
}

// Checks run inside the steps: the driver fails the test when a step does not run.
TEST_F(PinReportSheetTest, FaultyProfileGivesModbusAndPortPages) {
  const std::wstring name = L"Mill";
  using Lines = std::vector<std::wstring>;
  const INT_PTR result = DriveModal(
      [&] { return PinReportSheet(nullptr, FaultyModel(), L"C:\\Mach3\\Mill.xml", &name, true); },
      {[&](HWND sheet) {
         EXPECT_EQ(WindowText(sheet), L"C:\\Mach3\\Mill.xml Mill");
         EXPECT_EQ(SheetTabTitles(sheet), (Lines{L"Modbus", L"Pin assignments LPT1"}));
         HWND page = CurrentSheetPage(sheet);
         HWND list = GetDlgItem(page, IDC_PIN_TABLE);
         EXPECT_EQ(ListViewCount(list), 1);
         EXPECT_EQ(ListViewRow(list, 0, 9), (Lines{L"22", L"0", L" ", L" ", L"Probe", L"  <----  ", L"", L"", L""}));
         EXPECT_TRUE(ListBoxItems(page, IDC_PIN_ERRORS).empty());
         SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
       },
       [&](HWND sheet) {
         HWND page = CurrentSheetPage(sheet);
         HWND list = GetDlgItem(page, IDC_PIN_TABLE);
         ASSERT_EQ(ListViewCount(list), 25);
         EXPECT_EQ(ListViewRow(list, 9, 9), (Lines{L"10", L"1", L"LPT1  ECP Printer Port (LPT1)", L"Port 0x378", L"Y++",
                                                   L"  <----  ", L"0 aktiv", L"Shift Alt \"Z\" (3162)",
                                                   L"Multiple used pin nmb: (2)   "}));
         // The other rows' texts come from BuildPinRows, tested with the rules.
         EXPECT_EQ(ListBoxItems(page, IDC_PIN_KNOWN_PORTS), Lines{L"0x0378    ECP Printer Port (LPT1)"});
         EXPECT_EQ(ListBoxItems(page, IDC_PIN_ERRORS),
                   (Lines{L"Dir pin:0 = 30 Pinmust be smaller 26", L"Input port:22 = 12 Port nmb too big"}));
         // Faulty rows red on grey, the others as the list draws them.
         COLORREF text = 0, back = 0;
         EXPECT_EQ(SendCustomDraw(page, CDDS_PREPAINT, 0, nullptr, nullptr), CDRF_NOTIFYITEMDRAW);
         EXPECT_EQ(SendCustomDraw(page, CDDS_ITEMPREPAINT, 9, &text, &back), CDRF_NEWFONT);
         EXPECT_EQ(text, RGB(255, 0, 0));
         EXPECT_EQ(back, RGB(200, 200, 200));
         EXPECT_EQ(SendCustomDraw(page, CDDS_ITEMPREPAINT, 0, &text, nullptr), CDRF_DODEFAULT);
         EXPECT_EQ(text, RGB(1, 2, 3));
         // Activating a status cell shows its details; another cell empties the box.
         const struct {
           int item, column;
           Lines details;
         } cells[] = {{19, 8, {L"Illegal pin number\t 20"}},
                      {9, 4, {}},
                      {9, 8, {L"Multiple used pin\tpin nmb: 10 X++   Y++"}}};
         for (const auto& cell : cells) {
           ActivateCell(page, cell.item, cell.column);
           EXPECT_EQ(ListBoxItems(page, IDC_PIN_DETAILS), cell.details) << cell.item << "/" << cell.column;
         }
         CloseSheet(sheet);
       }});
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(PinReportSheetTest, NoUsedPortGivesTheMessageInstead) {
  PinModel model = {};
  model.ports[1] = {0x378, 1};
  model.ports[2] = {0x278, 1};
  model.inputs[0] = {1, 3, 10, 0, 0, 0};  // port 3 is not enabled
  EXPECT_EQ(PinReportSheet(nullptr, model, L"C:\\p.xml", nullptr, false), -1);
  EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{{L"Activated ports:\n\rMach Port1, Mach Port2\n\rNo pins "
                                                          L"assigned to port",
                                                          L"Kestrelwood Error", MB_TASKMODAL | MB_ICONERROR}}));
}

}  // namespace
