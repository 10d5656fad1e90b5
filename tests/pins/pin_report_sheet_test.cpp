// The pin report sheet, driven as a user would: pages, rows, labels,
// colours, details and the message when no port is used.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/portable/text_triple.h"
#include "pins/pin_report_sheet.h"
#include "pins/portable/lpt_ports.h"
#include "resources/resource.h"
#include "tests/pins/pin_test_helpers.h"
#include "tests/support/test_support.h"

namespace {

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
         EXPECT_TRUE(ListBoxLines(GetDlgItem(page, IDC_PIN_ERRORS)).empty());
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
         EXPECT_EQ(ListBoxLines(GetDlgItem(page, IDC_PIN_KNOWN_PORTS)), Lines{L"0x0378    ECP Printer Port (LPT1)"});
         EXPECT_EQ(ListBoxLines(GetDlgItem(page, IDC_PIN_ERRORS)),
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
           EXPECT_EQ(ListBoxLines(GetDlgItem(page, IDC_PIN_DETAILS)), cell.details) << cell.item << "/" << cell.column;
         }
         CloseSheet(sheet);
       }});
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(messages.Messages().empty());
}

// The sheet's texts follow the language in force when it opens.
TEST_F(PinReportSheetTest, TextsFollowTheLanguage) {
  LanguageIndex = German;
  std::wstring caption, status;
  std::vector<std::wstring> titles;
  DriveModal([&] { return PinReportSheet(nullptr, FaultyModel(), L"C:\\p.xml", nullptr, false); },
             {[&](HWND sheet) {
               caption = WindowText(sheet);
               titles = SheetTabTitles(sheet);
               status = ListViewText(GetDlgItem(CurrentSheetPage(sheet), IDC_PIN_TABLE), 9, 8);
               ActivateCell(CurrentSheetPage(sheet), 9, 8);
               CloseSheet(sheet);
             }});
  EXPECT_EQ(caption, L"C:\\p.xml LPT Pin Zuordnung");
  EXPECT_EQ(titles, std::vector<std::wstring>{L"Pin Belegung LPT1"});
  EXPECT_EQ(status, L"Mehrfach benutzter Pin Nr: (2)   ");
}

TEST_F(PinReportSheetTest, NoUsedPortGivesTheMessageInstead) {
  PinModel model = {};
  model.ports[1] = {0x378, 1};
  model.ports[2] = {0x278, 1};
  model.inputs[0] = {1, 3, 10, 0, 0, 0};  // port 3 is not enabled
  EXPECT_EQ(PinReportSheet(nullptr, model, L"C:\\p.xml", nullptr, false), -1);
  ASSERT_EQ(messages.Messages().size(), 1u);
  const RecordedMessage& message = messages.Messages()[0];
  EXPECT_EQ(message.text, L"Activated ports:\n\rMach Port1, Mach Port2\n\rNo pins assigned to port");
  EXPECT_EQ(message.caption, SelectText(CaptionError));
  EXPECT_EQ(message.style, static_cast<UINT>(MB_TASKMODAL | MB_ICONERROR));
}

}  // namespace
