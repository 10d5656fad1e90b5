// The pin report sheet, driven as a user would: pages, rows, labels,
// colours, details and the message when no port is used.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/text_triple.h"
#include "pins/lpt_ports.h"
#include "pins/pin_report_sheet.h"
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

void CloseSheet(HWND sheet) { SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

TEST_F(PinReportSheetTest, FaultyProfileGivesModbusAndPortPages) {
  const std::wstring name = L"Mill";
  std::wstring caption;
  std::vector<std::wstring> titles, modbusRow, modbusErrors, known, errors, labels;
  std::vector<std::vector<std::wstring>> rows;
  std::vector<std::wstring> detailsMultiple, detailsWrong, detailsOther;
  LRESULT drawStart = 0, drawFaulty = 0, drawPlain = 0;
  COLORREF faultyText = 0, faultyBack = 0, plainText = 0;
  int modbusCount = 0;
  std::vector<std::wstring> headings;

  const INT_PTR result = DriveModal(
      [&] { return PinReportSheet(nullptr, FaultyModel(), L"C:\\Mach3\\Mill.xml", &name, true); },
      {[&](HWND sheet) {
         caption = WindowText(sheet);
         titles = SheetTabTitles(sheet);
         HWND page = CurrentSheetPage(sheet);
         HWND list = GetDlgItem(page, IDC_PIN_TABLE);
         modbusCount = ListViewCount(list);
         modbusRow = ListViewRow(list, 0, 9);
         modbusErrors = ListBoxLines(GetDlgItem(page, IDC_PIN_ERRORS));
         SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
       },
       [&](HWND sheet) {
         HWND page = CurrentSheetPage(sheet);
         HWND list = GetDlgItem(page, IDC_PIN_TABLE);
         for (int i = 0; i < ListViewCount(list); ++i) rows.push_back(ListViewRow(list, i, 9));
         for (int i = 0; i < 9; ++i) headings.push_back(ListViewHeading(list, i));
         known = ListBoxLines(GetDlgItem(page, IDC_PIN_KNOWN_PORTS));
         errors = ListBoxLines(GetDlgItem(page, IDC_PIN_ERRORS));
         for (int id : {IDC_PIN_KNOWN_LABEL, IDC_PIN_ERRORS_LABEL, IDC_PIN_DETAIL_LABEL}) {
           labels.push_back(ItemText(page, id));
         }
         drawStart = SendCustomDraw(page, CDDS_PREPAINT, 0, nullptr, nullptr);
         drawFaulty = SendCustomDraw(page, CDDS_ITEMPREPAINT, 9, &faultyText, &faultyBack);
         drawPlain = SendCustomDraw(page, CDDS_ITEMPREPAINT, 0, &plainText, nullptr);
         ActivateCell(page, 9, 8);
         PauseForLooking(sheet);
         detailsMultiple = ListBoxLines(GetDlgItem(page, IDC_PIN_DETAILS));
         ActivateCell(page, 11, 8);
         detailsWrong = ListBoxLines(GetDlgItem(page, IDC_PIN_DETAILS));
         ActivateCell(page, 9, 4);  // not the status column: the box is only emptied
         detailsOther = ListBoxLines(GetDlgItem(page, IDC_PIN_DETAILS));
         CloseSheet(sheet);
       }});
  EXPECT_EQ(result, 0);
  EXPECT_EQ(caption, L"C:\\Mach3\\Mill.xml Mill");
  EXPECT_EQ(titles, (std::vector<std::wstring>{L"Modbus", L"Pin assignments LPT1"}));

  EXPECT_EQ(modbusCount, 1);
  EXPECT_EQ(modbusRow, (std::vector<std::wstring>{L"22", L"0", L" ", L" ", L"Probe", L"  <----  ", L"", L"", L""}));
  EXPECT_TRUE(modbusErrors.empty());

  ASSERT_EQ(rows.size(), 25u);
  EXPECT_EQ(rows[9], (std::vector<std::wstring>{L"10", L"1", L"LPT1  ECP Printer Port (LPT1)", L"Port 0x378", L"Y++",
                                                 L"  <----  ", L"0 aktiv", L"Shift Alt \"Z\" (3162)",
                                                 L"Multiple used pin nmb: (2)   "}));
  EXPECT_EQ(rows[11][5], L"  <----  ");
  EXPECT_EQ(rows[11][8], L"Wrong direction   ");
  EXPECT_EQ(rows[19][4], L"Step  X ");
  EXPECT_EQ(rows[19][5], L"");
  EXPECT_EQ(rows[19][8], L"Illegal pin number   ");
  EXPECT_EQ(rows[20], (std::vector<std::wstring>{L"21", L"", L"", L"", L" Ground", L"  <--->  ", L"", L"", L""}));
  EXPECT_EQ(rows[0], (std::vector<std::wstring>{L"1", L"", L"", L"", L"", L"  ---->  ", L"", L"", L""}));
  EXPECT_EQ(headings, (std::vector<std::wstring>{L"Pin nmb", L"Mach port nr", L"Port name", L"Port addr", L"Pin name",
                                                 L"PC   CNC", L"1 / 0 active", L"Hotkey", L"Status"}));

  EXPECT_EQ(known, std::vector<std::wstring>{L"0x0378    ECP Printer Port (LPT1)"});
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"Dir pin:0 = 30 Pinmust be smaller 26",
                                               L"Input port:22 = 12 Port nmb too big"}));
  EXPECT_EQ(labels, (std::vector<std::wstring>{L"System known LPT's", L"Invalid pin and port numbers",
                                               L"Detailed error"}));

  EXPECT_EQ(drawStart, CDRF_NOTIFYITEMDRAW);
  EXPECT_EQ(drawFaulty, CDRF_NEWFONT);
  EXPECT_EQ(faultyText, RGB(255, 0, 0));
  EXPECT_EQ(faultyBack, RGB(200, 200, 200));
  EXPECT_EQ(drawPlain, CDRF_DODEFAULT);
  EXPECT_EQ(plainText, RGB(1, 2, 3));

  EXPECT_EQ(detailsMultiple, std::vector<std::wstring>{L"Multiple used pin\tpin nmb: 10 X++   Y++"});
  EXPECT_EQ(detailsWrong, std::vector<std::wstring>{L"Wrong direction.\tpin nmb: 12 Charge Pump"});
  EXPECT_TRUE(detailsOther.empty());
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(PinReportSheetTest, TextsInEveryLanguage) {
  struct Case {
    int language;
    std::wstring caption;
    std::vector<std::wstring> titles;
    std::wstring knownLabel;
    std::wstring firstHeading;
    std::wstring status;
  } cases[] = {
      {German, L"C:\\p.xml LPT Pin Zuordnung", {L"Pin Belegung LPT1"}, L"Im System bekannte LPT's", L"Pin Nr",
       L"Mehrfach benutzter Pin Nr: (2)   "},
      {English, L"C:\\p.xml LPT pin assignement", {L"Pin assignments LPT1"}, L"System known LPT's", L"Pin nmb",
       L"Multiple used pin nmb: (2)   "},
      {French, L"C:\\p.xml Affectation des broches du port parallèle",
       {L"Affectation des broches du port parallèle1"}, L"Ports parallèles connus", L"Broche n°",
       L"Broche utilisée plusieurs fois : Pin nr: (2)   "},
  };
  for (const Case& c : cases) {
    LanguageIndex = c.language;
    const PinModel model = FaultyModel();
    std::wstring caption, knownLabel, heading, status;
    std::vector<std::wstring> titles;
    DriveModal([&] { return PinReportSheet(nullptr, model, L"C:\\p.xml", nullptr, false); },
               {[&](HWND sheet) {
                 caption = WindowText(sheet);
                 titles = SheetTabTitles(sheet);
                 HWND page = CurrentSheetPage(sheet);
                 knownLabel = ItemText(page, IDC_PIN_KNOWN_LABEL);
                 heading = ListViewHeading(GetDlgItem(page, IDC_PIN_TABLE), 0);
                 status = ListViewText(GetDlgItem(page, IDC_PIN_TABLE), 9, 8);
                 ActivateCell(page, 9, 8);
                 PauseForLooking(sheet);
                 CloseSheet(sheet);
               }});
    EXPECT_EQ(caption, c.caption) << c.language;
    EXPECT_EQ(titles, c.titles) << c.language;
    EXPECT_EQ(knownLabel, c.knownLabel) << c.language;
    EXPECT_EQ(heading, c.firstHeading) << c.language;
    EXPECT_EQ(status, c.status) << c.language;
  }
}

TEST_F(PinReportSheetTest, NoUsedPortGivesTheMessageInstead) {
  struct Case {
    int language;
    const wchar_t* text;
  } cases[] = {
      {English, L"Activated ports:\n\rMach Port1, Mach Port2\n\rNo pins assigned to port"},
      {German, L"Aktivierte Ports:\n\rMach Port1, Mach Port2\n\rKeine Pinzuweisung für Port"},
  };
  for (const Case& c : cases) {
    LanguageIndex = c.language;
    messages.Clear();
    PinModel model = {};
    model.ports[1] = {0x378, 1};
    model.ports[2] = {0x278, 1};
    model.inputs[0] = {1, 3, 10, 0, 0, 0};  // port 3 is not enabled
    EXPECT_EQ(PinReportSheet(nullptr, model, L"C:\\p.xml", nullptr, false), -1);
    ASSERT_EQ(messages.Messages().size(), 1u);
    const RecordedMessage& message = messages.Messages()[0];
    EXPECT_EQ(message.text, c.text);
    EXPECT_EQ(message.caption, SelectText(CaptionError));
    EXPECT_EQ(message.style, static_cast<UINT>(MB_TASKMODAL | MB_ICONERROR));
    EXPECT_EQ(message.owner, nullptr);
  }
}

TEST_F(PinReportSheetTest, ShowAllReferencedPortsAddsPagesForDisabledPorts) {
  PinModel model = FaultyModel();
  model.inputs[1] = {1, 2, 11, 0, 0, 0};  // port 2 is disabled
  struct Case {
    bool showAll;
    std::vector<std::wstring> titles;
  } cases[] = {
      {true, {L"Modbus", L"Pin assignments LPT1", L"Pin assignments LPT2"}},
      {false, {L"Pin assignments LPT1"}},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> titles;
    DriveModal([&] { return PinReportSheet(nullptr, model, L"C:\\p.xml", nullptr, c.showAll); },
               {[&](HWND sheet) {
                 titles = SheetTabTitles(sheet);
                 CloseSheet(sheet);
               }});
    EXPECT_EQ(titles, c.titles) << c.showAll;
  }
}

}  // namespace
