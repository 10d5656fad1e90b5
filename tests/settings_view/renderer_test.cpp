// The dialog pictures recorded into a metafile: positions of values, marks,
// headers, frames and table lines, and page breaks while printing.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "metafile_recording.h"
#include "settings_view/portable/dialog_table.h"
#include "settings_view/portable/settings_values.h"
#include "settings_view/renderer.h"
#include "tests/support/test_support.h"

namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class RendererTest : public testing::Test {
 protected:
  void SetUp() override {
    DialogTable = BuildDialogTable();
    CreateRenderObjects();
    Render = RenderState{};
    Render.headerTime = {2026, 12, 0, 6, 21, 45, 0, 0};
    MachDir = L"C:\\Mach3";
    ProfileName = L"Mill";
    IgnoreToolChange = AutoToolChanger = 0;
    MarkFixturesEmpty();
    MarkToolsInvalid();
    ClearPlugins();
  }
  std::vector<DrawnItem> Draw(uint32_t mask, bool validOnly = false) {
    Render.mask = mask;
    Render.validOnly = validOnly;
    PrepareLayout(validOnly);
    return RecordDrawing([](HDC dc) {
      DrawingTarget target{dc, [dc] { RecordPageBreak(dc); }};
      DrawSelectedDialogs(target);
    });
  }
  std::vector<RECT> Dots(const std::vector<DrawnItem>& items) {
    std::vector<RECT> dots;
    for (const DrawnItem& item : ItemsOf(items, EMR_ELLIPSE)) dots.push_back(item.box);
    return dots;
  }
  MessageRecorder messages;
};

// The dot of a radio button whose circle starts at (x, y).
bool IsDotAt(const RECT& box, int x, int y) {
  return box.left == x + 2 && box.top == y + 2 && box.right == x + 13 && box.bottom == y + 13;
}

// Dialog 0's dot sits on the lead for 0, on the chosen member otherwise and
// nowhere past the last; General Config's tool-change radios follow both flags.
TEST_F(RendererTest, RadioDotsSitOnTheChosenMember) {
  // Dialog 0: circles at left 600 + x + 20, top 10 + y 50 + 22.
  const int dialogZero[][2] = {{0, 630}, {1, 720}, {2, 0}};
  for (const auto& [value, x] : dialogZero) {
    DialogTable[0].rows[0].value.number = value;
    const std::vector<RECT> dots = Dots(Draw(1));
    ASSERT_EQ(dots.size(), x ? 1u : 0u) << value;
    if (x) {
      EXPECT_TRUE(IsDotAt(dots[0], x, 82)) << value;
    }
  }
  // General Config rows at y 110, 130, 150: circles at 10 + y + 22, ours at x 25.
  const int toolChange[][3] = {{0, 0, 142}, {1, 0, 162}, {1, 1, 182}, {0, 1, 0}};  // ignore, auto, dot (0: none)
  for (const auto& [ignore, automatic, dotY] : toolChange) {
    IgnoreToolChange = ignore;
    AutoToolChanger = automatic;
    std::vector<RECT> ours;
    for (const RECT& dot : Dots(Draw(1u << 9))) {
      if (dot.left == 27 && dot.top >= 140 && dot.top <= 190) ours.push_back(dot);
    }
    ASSERT_EQ(ours.size(), dotY ? 1u : 0u) << ignore << automatic;
    if (dotY) {
      EXPECT_TRUE(IsDotAt(ours[0], 25, dotY)) << ignore << automatic;
    }
  }
}

TEST_F(RendererTest, ChecksGetCrossesAndEditValuesSitFiveRightThreeBelow) {
  DialogTable[9].rows[1].value.number = 1;                    // DROLOCK at 0,50
  SetValueText(DialogTable[14].rows[1], L"0.0125");          // BackX edit-left at 60,40
  DialogTable[6].rows[18].value.number = 5000;               // PWMBase, an integer
  const std::vector<DrawnItem> items = Draw((1u << 9) | (1u << 14));
  EXPECT_TRUE(HasLine(items, 25, 82, 40, 97));
  EXPECT_TRUE(HasLine(items, 40, 82, 25, 97));
  // Backlash is drawn below General Config: its top is 10 + the config's 10 + 670.
  const int top = 10 + 10 + 670;
  const DrawnItem* value = FindText(items, L"0.0125");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->box.left, 600 + 60 + 5);
  EXPECT_EQ(value->box.top, top + 40 + 20 + 3);
  const std::vector<DrawnItem> numbers = Draw(1u << 6);
  const DrawnItem* number = FindText(numbers, L"5000");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->box.left, 100 + 390 + 5);
  EXPECT_EQ(number->box.top, 10 + 130 + 20 + 3);
}

TEST_F(RendererTest, HeaderCarriesTitleFolderProfileAndTimeAboveTheFrame) {
  const std::vector<DrawnItem> items = Draw(1);
  const DrawnItem* header = FindText(items, L"Set native units       C:\\Mach3\\Mill    06.12.2026 21:45");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->box.left, 610);
  EXPECT_EQ(header->box.top, 13);
  EXPECT_TRUE(HasLine(items, 610, 10, 890, 10));   // top edge
  EXPECT_TRUE(HasLine(items, 600, 40, 900, 40));   // line under the header
  EXPECT_TRUE(HasLine(items, 600, 40, 600, 200));  // left side down to the corner
  EXPECT_TRUE(HasLine(items, 890, 210, 610, 210)); // bottom edge at top + height
  EXPECT_EQ(Render.currentOffset, 210);
  EXPECT_NE(FindText(items, L"MM's"), nullptr);
  EXPECT_EQ(FindText(items, L"MM's")->box.left, 650);
}

TEST_F(RendererTest, SignalLinesOfDisabledInputsTakeNoSpaceWithValidOnly) {
  // Inputs 0 and 2 enabled, with port, pin and active-low of input 2 set.
  SettingsDialog& inputs = DialogTable[3];
  inputs.rows[7 + 1].value.number = 1;
  inputs.rows[21 + 1].value.number = 1;
  SetValueText(inputs.rows[21 + 2], L"1");
  SetValueText(inputs.rows[21 + 3], L"12");
  inputs.rows[21 + 4].value.number = 1;
  std::vector<DrawnItem> items = Draw(1u << 3, true);
  // Headings at 10 + 20 + 20; lines 20 apart below them.
  ASSERT_NE(FindText(items, L"Signal"), nullptr);
  EXPECT_EQ(FindText(items, L"Signal")->box.top, 50);
  ASSERT_NE(FindText(items, L"X ++"), nullptr);
  EXPECT_EQ(FindText(items, L"X ++")->box.top, 70);
  EXPECT_EQ(FindText(items, L"X Home")->box.top, 90);
  EXPECT_EQ(FindText(items, L"X --"), nullptr);
  EXPECT_EQ(FindText(items, L"12")->box.left, 250 + 260 + 20);
  // Check marks: Enabled at x 370 and Active Low at x 620.
  EXPECT_TRUE(HasLine(items, 370, 80, 372, 84));
  EXPECT_TRUE(HasLine(items, 620, 100, 622, 104));
  EXPECT_EQ(Render.currentOffset, 110);

  items = Draw(1u << 3, false);
  EXPECT_EQ(FindText(items, L"X --")->box.top, 90);
  EXPECT_EQ(FindText(items, L"Jog A--")->box.top, 70 + 20 * 52);
}

TEST_F(RendererTest, FixtureToolAndPluginTablesListTheirLines) {
  FixtureTable[1].empty = 0;
  FixtureTable[1].coords[0] = L"-210.4375";
  FixtureTable[1].name = L"Vise";
  for (ToolSlot& slot : ToolTable) slot.valid = 0;
  SetFieldText(ToolTable[3].number, ToolNumberCapacity, L"3");
  SetFieldText(ToolTable[3].description, ToolDescriptionCapacity, L"Spot drill");
  ToolTable[3].valid = 1;
  AddPlugin(L"profile / PlugIns / ", L"Flash", L"1");
  AddPlugin(L"profile / PlugIns / ", L"Joystick", L"0");
  const std::vector<DrawnItem> items = Draw((1u << 15) | (1u << 16) | (1u << 17), true);
  // Fixtures: headings at 50, column headings at 70, the line 22 lower.
  EXPECT_EQ(FindText(items, L"Work Offset")->box.top, 50);
  EXPECT_EQ(FindText(items, L"G-Code Pos")->box.top, 70);
  ASSERT_NE(FindText(items, L"G55"), nullptr);
  EXPECT_EQ(FindText(items, L"G55")->box.top, 92);
  EXPECT_EQ(FindText(items, L"G55")->box.left, 230);
  EXPECT_EQ(FindText(items, L"-210.4375")->box.left, 310);
  EXPECT_EQ(FindText(items, L"Vise")->box.left, 795);
  EXPECT_EQ(FindText(items, L"G54"), nullptr);
  // Tools below: the table's offset is the fixtures' last line + 20.
  const int toolTop = 10 + 92 + 20;
  EXPECT_EQ(FindText(items, L"Description")->box.top, toolTop + 10 + 40);
  EXPECT_EQ(FindText(items, L"Spot drill")->box.top, toolTop + 10 + 40 + 40);
  EXPECT_EQ(FindText(items, L"Spot drill")->box.left, 200 + 90 + 25);
  // Plug-ins below the tool line: headings 20 + 40 below their top.
  const int pluginTop = 10 + (toolTop + 10 + 40 + 40) + 20;
  EXPECT_EQ(FindText(items, L"PluginName")->box.top, pluginTop + 20 + 40);
  ASSERT_NE(FindText(items, L"Flash"), nullptr);
  EXPECT_EQ(FindText(items, L"Joystick"), nullptr);
}

TEST_F(RendererTest, PrintingMovesADialogThatDoesNotFitToANewPageWithItsHeader) {
  Render.printing = 1;
  Render.pageHeight = 700;
  // Port setup (380) fits after native units (200); motor tuning (220) does not.
  const std::vector<DrawnItem> items = Draw((1u << 0) | (1u << 1) | (1u << 8));
  const DrawnItem* first = FindText(items, L"Set native units       C:\\Mach3\\Mill    06.12.2026 21:45");
  const DrawnItem* second = nullptr;
  const DrawnItem* third = nullptr;
  for (const DrawnItem& item : ItemsOf(items, EMR_EXTTEXTOUTW)) {
    if (item.text.rfind(L"Ports & Pins Port Setup", 0) == 0) second = &item;
    if (item.text.rfind(L"Motor Tuning", 0) == 0) third = &item;
  }
  ASSERT_TRUE(first && second && third);
  EXPECT_EQ(first->page, 0);
  EXPECT_EQ(second->page, 0);
  EXPECT_EQ(second->box.top, 210 + 10 + 3);
  EXPECT_EQ(third->page, 1);
  EXPECT_EQ(third->box.top, 13);
  // The moved dialog's frame is closed below its rows.
  EXPECT_TRUE(HasLine(items, 890, 230, 260, 230));
}

TEST_F(RendererTest, NewPagePerDialogStartsEveryDialogOnTopOfAPage) {
  Render.printing = 1;
  Render.pageHeight = 5000;
  Render.newPagePerDialog = 1;
  const std::vector<DrawnItem> items = Draw((1u << 0) | (1u << 13) | (1u << 19));
  int pages = 0;
  for (const DrawnItem& item : ItemsOf(items, EMR_EXTTEXTOUTW)) {
    if (item.box.top == 13) {
      EXPECT_EQ(item.page, pages);
      ++pages;
    }
  }
  EXPECT_EQ(pages, 3);
  EXPECT_EQ(items.back().page, 2);  // no empty page after the last
}

// Every line of full fixture and tool tables lands once on paper, broken
// before it would reach the page's end, each page with its headings; the
// frame is closed on the last page.
TEST_F(RendererTest, LongTablesPrintEveryLineOnceWithinThePages) {
  for (int i = 0; i < FixtureCount; ++i) {
    FixtureTable[i].empty = 0;
    FixtureTable[i].name = L"Vise" + std::to_wstring(i);
  }
  for (int i = 0; i < ToolCount; ++i) {
    ToolTable[i].valid = 1;
    SetFieldText(ToolTable[i].number, ToolNumberCapacity, std::to_wstring(i + 1).c_str());
  }
  for (const int pageHeight : {1000, 1117}) {
    for (const bool validOnly : {false, true}) {
      Render.printing = 1;
      Render.pageHeight = pageHeight;
      const std::vector<DrawnItem> items = Draw((1u << 15) | (1u << 16), validOnly);
      std::map<std::wstring, int> lines;
      std::map<int, int> headingsOnPage;
      for (const DrawnItem& item : ItemsOf(items, EMR_EXTTEXTOUTW)) {
        EXPECT_LE(item.box.top + 16, pageHeight) << Narrow(item.text) << " on page " << item.page;
        if (item.text.rfind(L"Vise", 0) == 0 || item.box.left == 200 + 10 + 25) ++lines[item.text];
        if (item.text == L"G-Code Pos" || item.text == L"Diam. Wear") ++headingsOnPage[item.page];
      }
      EXPECT_EQ(lines.size(), static_cast<size_t>(FixtureCount + ToolCount)) << pageHeight << validOnly;
      for (const auto& [text, count] : lines) EXPECT_EQ(count, 1) << Narrow(text);
      EXPECT_EQ(headingsOnPage.size(), static_cast<size_t>(items.back().page + 1));
      EXPECT_EQ(FindText(items, L"Work Offset")->page, 0);  // not after an empty page
      const DrawnItem* last = FindText(items, L"Vise252");
      EXPECT_TRUE(HasLine(items, 890, last->box.top + 20, 210, last->box.top + 20)) << "fixture frame closed";
    }
  }
}

TEST_F(RendererTest, UndrawableKindsAndFormatsAreReported) {
  DialogTable[19].rows[6].kind = 15;
  DialogTable[19].rows[7].kind = 40;
  DialogTable[19].rows[5].format = FORMAT_NONE;
  Draw(1u << 19);
  ASSERT_EQ(messages.Messages().size(), 3u);
  EXPECT_EQ(messages.Messages()[0].text, L"List:Save Z Setup  15 undefined DLG_TYPE_EDIT");
  EXPECT_EQ(messages.Messages()[1].text, L"List:Save Z Setup  0x28 undefined DLG_TYPE");
  EXPECT_EQ(messages.Messages()[2].text, L"List:Save Z Setup 5 undefined FORMAT_TYPE");
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_TOPMOST | MB_ICONERROR));
  EXPECT_EQ(messages.Messages()[0].owner, nullptr);
}

}  // namespace
