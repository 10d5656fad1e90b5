// The Show Settings pictures recorded into a metafile: positions of values,
// marks, headers, frames and table lines, and page breaks while printing.
// The dialog from end to end on a Mach3 folder the test writes: showing,
// refusals, print files written, read back and refused.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"
#include "app/settings.h"
#include "profile/portable/profile_list.h"
#include "resources/resource.h"
#include "settings_view/output_window.h"
#include "settings_view/portable/dialog_table.h"
#include "settings_view/portable/settings_values.h"
#include "settings_view/print_file_io.h"
#include "settings_view/renderer.h"
#include "settings_view/settings_load.h"
#include "settings_view/settings_printing.h"
#include "settings_view/show_settings_dialog.h"
#include "tests/pins/pdf_printer.h"
#include "tests/support/disk_full.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"

namespace {

// ---------------------------------------------------------------- Drawings
// EMF records read back into texts, shapes and lines.

// A drawn text, ellipse or line, with the page it was drawn on.
struct DrawnItem {
  DWORD type;         // EMR_EXTTEXTOUTW, EMR_ELLIPSE or EMR_LINETO
  int page;           // pages broken before it
  std::wstring text;  // texts
  RECT box;           // texts: reference point; ellipses; lines: from (left, top) to (right, bottom)
};

// The page breaks of the drawing show as GDI comments in the record stream.
const char PageMark[] = "kw page";

void RecordPageBreak(HDC dc) { GdiComment(dc, sizeof(PageMark), reinterpret_cast<const BYTE*>(PageMark)); }

struct Reading {
  std::vector<DrawnItem> items;
  std::vector<std::vector<BYTE>> raw;
  int page = 0;
  POINT position{};
};

int CALLBACK ReadRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
  Reading& reading = *reinterpret_cast<Reading*>(data);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(record);
  if (record->iType != EMR_HEADER && record->iType != EMR_EOF) {
    reading.raw.emplace_back(bytes, bytes + record->nSize);
  }
  DrawnItem item{};
  item.type = record->iType;
  item.page = reading.page;
  switch (record->iType) {
    case EMR_GDICOMMENT: {
      const auto* comment = reinterpret_cast<const EMRGDICOMMENT*>(record);
      if (comment->cbData == sizeof(PageMark) && std::memcmp(comment->Data, PageMark, sizeof(PageMark)) == 0) {
        ++reading.page;
      }
      return 1;
    }
    case EMR_EXTTEXTOUTW: {
      const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
      const auto* chars = reinterpret_cast<const wchar_t*>(bytes + text->emrtext.offString);
      item.text.assign(chars, text->emrtext.nChars);
      item.box = {text->emrtext.ptlReference.x, text->emrtext.ptlReference.y, 0, 0};
      break;
    }
    case EMR_ELLIPSE: {
      // Metafiles keep boxes inclusive of their right and bottom edges; the
      // drawing calls take them exclusive.
      const RECTL& box = reinterpret_cast<const EMRELLIPSE*>(record)->rclBox;
      item.box = {box.left, box.top, box.right + 1, box.bottom + 1};
      break;
    }
    case EMR_MOVETOEX: {
      const auto* move = reinterpret_cast<const EMRMOVETOEX*>(record);
      reading.position = {move->ptl.x, move->ptl.y};
      return 1;
    }
    case EMR_LINETO: {
      const auto* line = reinterpret_cast<const EMRLINETO*>(record);
      item.box = {reading.position.x, reading.position.y, line->ptl.x, line->ptl.y};
      reading.position = {line->ptl.x, line->ptl.y};
      break;
    }
    default:
      return 1;
  }
  reading.items.push_back(item);
  return 1;
}

Reading Record(const std::function<void(HDC)>& draw) {
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  draw(dc);
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  Reading reading;
  EnumEnhMetaFile(nullptr, metafile, ReadRecord, &reading, nullptr);
  DeleteEnhMetaFile(metafile);
  return reading;
}

std::vector<DrawnItem> RecordDrawing(const std::function<void(HDC)>& draw) { return Record(draw).items; }

// Every metafile record but the header and end, as raw bytes, for comparing
// two drawings.
std::vector<std::vector<BYTE>> RecordRaw(const std::function<void(HDC)>& draw) { return Record(draw).raw; }

std::vector<DrawnItem> ItemsOf(const std::vector<DrawnItem>& items, DWORD type) {
  std::vector<DrawnItem> found;
  for (const DrawnItem& item : items) {
    if (item.type == type) found.push_back(item);
  }
  return found;
}

const DrawnItem* FindText(const std::vector<DrawnItem>& items, const std::wstring& text) {
  for (const DrawnItem& item : items) {
    if (item.type == EMR_EXTTEXTOUTW && item.text == text) return &item;
  }
  return nullptr;
}

bool HasLine(const std::vector<DrawnItem>& items, int x1, int y1, int x2, int y2) {
  for (const DrawnItem& item : items) {
    if (item.type == EMR_LINETO && item.box.left == x1 && item.box.top == y1 && item.box.right == x2 &&
        item.box.bottom == y2) {
      return true;
    }
  }
  return false;
}

// The texts here are plain ASCII.
std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }

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

// Where a text was drawn: its reference point, {-1, -1} when it was not.
std::pair<int, int> At(const std::vector<DrawnItem>& items, const std::wstring& text) {
  const DrawnItem* item = FindText(items, text);
  return item ? std::pair{static_cast<int>(item->box.left), static_cast<int>(item->box.top)} : std::pair{-1, -1};
}
int Top(const std::vector<DrawnItem>& items, const std::wstring& text) { return At(items, text).second; }

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
  EXPECT_EQ(At(items, L"0.0125"), std::pair(600 + 60 + 5, top + 40 + 20 + 3));
  EXPECT_EQ(At(Draw(1u << 6), L"5000"), std::pair(100 + 390 + 5, 10 + 130 + 20 + 3));
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
  EXPECT_EQ(Top(items, L"Signal"), 50);
  EXPECT_EQ(Top(items, L"X ++"), 70);
  EXPECT_EQ(Top(items, L"X Home"), 90);
  EXPECT_EQ(FindText(items, L"X --"), nullptr);
  EXPECT_EQ(At(items, L"12").first, 250 + 260 + 20);
  // Check marks: Enabled at x 370 and Active Low at x 620.
  EXPECT_TRUE(HasLine(items, 370, 80, 372, 84));
  EXPECT_TRUE(HasLine(items, 620, 100, 622, 104));
  EXPECT_EQ(Render.currentOffset, 110);

  items = Draw(1u << 3, false);
  EXPECT_EQ(Top(items, L"X --"), 90);
  EXPECT_EQ(Top(items, L"Jog A--"), 70 + 20 * 52);
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
  EXPECT_EQ(Top(items, L"Work Offset"), 50);
  EXPECT_EQ(Top(items, L"G-Code Pos"), 70);
  EXPECT_EQ(At(items, L"G55"), std::pair(230, 92));
  EXPECT_EQ(At(items, L"-210.4375").first, 310);
  EXPECT_EQ(At(items, L"Vise").first, 795);
  EXPECT_EQ(FindText(items, L"G54"), nullptr);
  // Tools below: the table's offset is the fixtures' last line + 20.
  const int toolTop = 10 + 92 + 20;
  EXPECT_EQ(Top(items, L"Description"), toolTop + 10 + 40);
  EXPECT_EQ(At(items, L"Spot drill"), std::pair(200 + 90 + 25, toolTop + 10 + 40 + 40));
  // Plug-ins below the tool line: headings 20 + 40 below their top.
  const int pluginTop = 10 + (toolTop + 10 + 40 + 40) + 20;
  EXPECT_EQ(Top(items, L"PluginName"), pluginTop + 20 + 40);
  EXPECT_NE(FindText(items, L"Flash"), nullptr);
  EXPECT_EQ(FindText(items, L"Joystick"), nullptr);
}

// The header carries title, folder, profile and time above the frame.
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
  EXPECT_EQ(std::pair(first->box.left, first->box.top), std::pair(610L, 13L));
  EXPECT_EQ(At(items, L"MM's").first, 650);
  EXPECT_TRUE(HasLine(items, 610, 10, 890, 10));    // top edge
  EXPECT_TRUE(HasLine(items, 600, 40, 900, 40));    // line under the header
  EXPECT_TRUE(HasLine(items, 600, 40, 600, 200));   // left side down to the corner
  EXPECT_TRUE(HasLine(items, 890, 210, 610, 210));  // bottom edge at top + height
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
        EXPECT_LE(item.box.top + 16, pageHeight) << Utf8(item.text) << " on page " << item.page;
        if (item.text.rfind(L"Vise", 0) == 0 || item.box.left == 200 + 10 + 25) ++lines[item.text];
        if (item.text == L"G-Code Pos" || item.text == L"Diam. Wear") ++headingsOnPage[item.page];
      }
      EXPECT_EQ(lines.size(), static_cast<size_t>(FixtureCount + ToolCount)) << pageHeight << validOnly;
      for (const auto& [text, count] : lines) EXPECT_EQ(count, 1) << Utf8(text);
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
  EXPECT_EQ(messages.Texts(), (std::vector<std::wstring>{L"List:Save Z Setup  15 undefined DLG_TYPE_EDIT",
                                                         L"List:Save Z Setup  0x28 undefined DLG_TYPE",
                                                         L"List:Save Z Setup 5 undefined FORMAT_TYPE"}));
  EXPECT_EQ(messages.Messages()[0].style, static_cast<UINT>(MB_TOPMOST | MB_ICONERROR));
  EXPECT_EQ(messages.Messages()[0].owner, nullptr);
}

// ---------------------------------------------------------------- The dialog

class ShowSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    root = folder.Path();
    profilePath = folder.Path(L"Mill.xml");
    printFile = folder.Path(L"settings.kws");
    WriteBytes(profilePath, Utf8(L"<profile><Preferences><DefDir>" + root +
                                 L"</DefDir><Profile>Mill</Profile><Units>1</Units><Port1Add>888</Port1Add>"
                                 L"<PathMode>1</PathMode><IGNORETOOL>1</IGNORETOOL><AutoTool>0</AutoTool>"
                                 L"<Input0Active>1</Input0Active><Input0Pin>10</Input0Pin><BackX>0.0125</BackX>"
                                 L"<PULLEY>0</PULLEY><LSPEED1>100</LSPEED1><SPINRATIO1>2.5e+000</SPINRATIO1>"
                                 L"</Preferences><PlugIns><SystemTest>1</SystemTest><Flash>1</Flash>"
                                 L"<Joystick>0</Joystick></PlugIns></profile>"));
    std::string fixtures(253 * 48, '\0');
    const double x = 1.5;
    std::memcpy(&fixtures[48], &x, 8);
    folder.Write(L"macros\\Mill\\fixtures.dat", fixtures + "\nVise\n");
    std::string tools;
    for (int i = 0; i < 254; ++i) {
      const std::string description = i == 2 ? "Spot drill" : "Empty";
      tools += static_cast<char>(description.size()) + description + std::string(66, '\0');
    }
    folder.Write(L"macros\\Mill\\tools3.dat", tools);
    DialogTable = BuildDialogTable();
    // The stored profile path, as after choosing it with "....".
    CopyText(Settings.filenameProfile1, PathCapacity, profilePath.c_str());
    StoreSettings({Settings.filenameProfile1});
    dialog = CreateTestDialog(IDD_SHOW_SETTINGS, ShowSettingsDialogProc);
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, profilePath.c_str());
    SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, printFile.c_str());
  }
  void TearDown() override {
    DestroySettingsOutputWindow();
    DestroyWindow(dialog);
    ReleaseAllProfiles();
    DeleteSettingsKey();
  }
  void Tick(std::initializer_list<int> dialogs) {
    ClickButton(dialog, IDC_SETTINGS_CLEAR_ALL);
    for (int i : dialogs) CheckDlgButton(dialog, IDC_SETTINGS_FIRST_DIALOG + i, BST_CHECKED);
  }
  std::wstring LastMessage() { return messages.Messages().empty() ? L"" : messages.Messages().back().text; }
  std::vector<std::vector<BYTE>> DrawNow(const SYSTEMTIME& time) {
    Render.headerTime = time;
    PrepareLayout(Render.validOnly);
    return RecordRaw([](HDC dc) { DrawSelectedDialogs(DrawingTarget{dc, nullptr}); });
  }

  TempFolder folder;
  std::wstring root, profilePath, printFile;
  HWND dialog = nullptr;
  MessageRecorder messages;
  ScriptedDialogs fileDialogs;
};

TEST_F(ShowSettingsTest, ShowLoadsTheProfileAndASecondShowIsRefusedWhileTheWindowIsOpen) {
  Tick({0, 9, 15, 16, 17, 18});
  ClickButton(dialog, IDC_SETTINGS_SHOW);
  ASSERT_NE(SettingsOutputWindow, nullptr);
  EXPECT_TRUE(messages.Messages().empty()) << LastMessage();
  // The window paints the pictures: the top edge of the first frame, 610 to 890.
  RedrawWindow(SettingsOutputWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  HDC dc = GetDC(SettingsOutputWindow);
  int black = 0;
  for (int x = 600; x < 900; ++x) black += GetPixel(dc, x, 10) == RGB(0, 0, 0) ? 1 : 0;
  ReleaseDC(SettingsOutputWindow, dc);
  EXPECT_GT(black, 250);
  EXPECT_EQ(MachDir, root);
  EXPECT_EQ(ProfileName, L"Mill");
  EXPECT_EQ(std::wstring(DialogTable[1].rows[1].value.text), L"0x0378");
  ASSERT_EQ(PluginList.size(), 2u);  // SystemTest left out

  ClickButton(dialog, IDC_SETTINGS_SHOW);
  ASSERT_FALSE(messages.Messages().empty());
  EXPECT_EQ(LastMessage(), L"Please close output window first");
  EXPECT_EQ(messages.Messages().back().owner, dialog);
  EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));

  // The keyboard scrolls the pictures; Esc closes the window, as the menu's Close does.
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(ScrollPosition, GetScrollPos(SettingsOutputWindow, SB_VERT));
  EXPECT_GT(ScrollPosition, 0);
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_PRIOR, 0);
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(ScrollPosition, 0);
  SendMessageW(SettingsOutputWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(SettingsOutputWindow, nullptr);
  ASSERT_TRUE(CreateSettingsOutputWindow());
  SendMessageW(SettingsOutputWindow, WM_COMMAND, IDM_OUTPUT_CLOSE, 0);
  EXPECT_EQ(SettingsOutputWindow, nullptr);
}

// Valid only is ticked from the start; Set all ticks every dialog.
TEST_F(ShowSettingsTest, PrintFileDrawsLikeTheProfile) {
  EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SETTINGS_VALID_ONLY), BST_CHECKED);
  ClickButton(dialog, IDC_SETTINGS_SET_ALL);
  EXPECT_EQ(Render.mask, 0xFFFFFu);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_EQ(messages.Shown(), (std::vector<ShownMessage>{{L"Printdata successfully written into file",
                                                          L"Kestrelwood Info", MB_TOPMOST | MB_ICONINFORMATION}}));
  // The same pictures from the profile and from the file.
  const SYSTEMTIME time = {2026, 12, 0, 6, 21, 45, 0, 0};
  Render.mask = 0xFFFFF;
  Render.validOnly = 1;
  Render.printing = 0;
  const auto fromProfile = DrawNow(time);
  DialogTable = BuildDialogTable();
  HANDLE file = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(OpenFileHandle(printFile.c_str(), GENERIC_READ, OPEN_EXISTING, &file));
  ASSERT_TRUE(ReadPrintFile(file));
  EXPECT_EQ(PrintFileMask, 0xFFFFFFFFu);
  const auto fromFile = DrawNow(time);
  ASSERT_EQ(fromFile.size(), fromProfile.size());
  for (size_t i = 0; i < fromFile.size(); ++i) {
    // Font records carry unused name bytes that differ between two fonts.
    const DWORD type = reinterpret_cast<const EMR*>(fromFile[i].data())->iType;
    if (type == EMR_EXTCREATEFONTINDIRECTW) continue;
    ASSERT_EQ(fromFile[i], fromProfile[i]) << "record " << i << " of type " << type;
  }
}

TEST_F(ShowSettingsTest, ShowFromFileDrawsOnlyDialogsInBothTheFileAndTheSelection) {
  ASSERT_TRUE(LoadSettingsValues());
  PrintFileWriteMask = (1u << 0) | (1u << 1);
  ASSERT_TRUE(WritePrintFile(printFile));
  PrintFileWriteMask = 0xFFFFFFFF;
  Tick({1, 2});
  ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
  EXPECT_TRUE(messages.Messages().empty()) << LastMessage();
  EXPECT_NE(SettingsOutputWindow, nullptr);
  EXPECT_EQ(Render.mask, 1u << 1);
}

TEST_F(ShowSettingsTest, RefusedPrintFilesChangeNothingOnScreen) {
  ClickButton(dialog, IDC_SETTINGS_SET_ALL);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  const std::string good = ReadBytes(printFile);
  const struct {
    const char* what;
    size_t cutTo;  // 0: keep the size
    size_t patchAt;
    unsigned char patch;
    const wchar_t* message;
  } refusals[] = {
      {"version 2", 0, 202, 2, L"Print profile versions different !"},
      {"foreign mark", 0, 0, 'X', L"This is no Kestrelwood generated printfile"},
      {"cut in the header", 500, 0, 'K', L"Print file is damaged or incomplete"},
  };
  Tick({0});
  for (const auto& r : refusals) {
    std::string bad = good;
    if (r.cutTo) bad.resize(r.cutTo);
    bad[r.patchAt] = r.patch;
    WriteBytes(printFile, bad);
    DialogTable[0].rows[0].value.number = 55;
    messages.Clear();
    ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
    EXPECT_EQ(LastMessage(), r.message) << r.what;
    EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_TOPMOST | MB_ICONERROR)) << r.what;
    EXPECT_EQ(DialogTable[0].rows[0].value.number, 55) << r.what;
    EXPECT_EQ(SettingsOutputWindow, nullptr) << r.what;
  }
}

// Printed for real on the CUPS PDF printer (tools/setup-printer.sh) and read
// back: every page starts with the header of the dialog at its top.
TEST_F(ShowSettingsTest, PrintFromFilePrintsEveryDialogAndClosesTheOutputWindow) {
  const std::wstring pdfs = PdfFolder();
  if (SpoolerDefaultPrinter().empty() || pdfs.empty()) GTEST_SKIP() << "no default printer";
  const wchar_t* const prefix = L"Kestrelwood_Settings_Brannoc";
  ClickButton(dialog, IDC_SETTINGS_SET_ALL);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  messages.Clear();
  const auto before = PdfFiles(pdfs, prefix);
  ClickButton(dialog, IDC_SETTINGS_PRINT_FROM_FILE);
  EXPECT_TRUE(messages.Messages().empty()) << LastMessage();
  EXPECT_EQ(SettingsOutputWindow, nullptr);
  EXPECT_EQ(Render.mask, 0xFFFFFu);
  const std::vector<std::string> pages = PdfPageTexts(WaitForNewPdf(pdfs, before, 60000, prefix));
  ASSERT_EQ(static_cast<int>(pages.size()), LastPrintedPageCount());
  ASSERT_GE(pages.size(), 3u);
  std::string all;
  for (const std::string& page : pages) {
    const size_t start = page.find_first_not_of(" \r\n");
    ASSERT_NE(start, std::string::npos);
    EXPECT_NE(page.substr(start, page.find('\n', start) - start).find("\\Mill "), std::string::npos) << page;
    all += page;
  }
  for (const char* title : {"Set native units ", "Motor Tuning ", "Tool Table ", "Save Z Setup ", "Vise", "Spot drill"}) {
    EXPECT_NE(all.find(title), std::string::npos) << title;
  }
}

bool TemporaryFilesIn(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\~kw*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

// An old file is replaced only when the user agrees. One that cannot be
// replaced and one that fails midway: each ends with its message, the old
// file as it was and no temporary file. (The other faults are those of every
// file written in place, tried once there.)
TEST_F(ShowSettingsTest, PrintToFileFailuresKeepTheOldFile) {
  const struct {
    const char* what;
    bool locked;
    DWORD error;
    std::wstring caption;
  } cases[] = {
      {"file held by another program", true, ERROR_SHARING_VIOLATION, L"CreateFile:   " + printFile},
      {"disk full midway over an old file", false, ERROR_DISK_FULL, L"Kestrelwood Error"},
  };
  // Answered no, the old file is left alone; answered yes, it is replaced.
  WriteBytes(printFile, "\x01\x02\x03");
  messages.Answer(IDNO);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(LastMessage(), L"File exists. Overwrite?");
  EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_YESNO | MB_TOPMOST | MB_ICONERROR));
  EXPECT_EQ(ReadBytes(printFile), "\x01\x02\x03");
  messages.Answer(IDYES);
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_GT(ReadBytes(printFile).size(), 750u);
  for (const auto& c : cases) {
    WriteBytes(printFile, "\x01\x02\x03");
    UniqueFile lock(c.locked ? CreateFileW(printFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE);
    messages.Clear();
    messages.Answer(IDYES);
    {
      DiskFull disk(c.locked ? static_cast<size_t>(-1) : 1000);
      ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
    }
    lock.reset();
    ASSERT_EQ(messages.Messages().size(), 2u) << c.what;
    EXPECT_EQ(messages.Messages().back().text, SystemErrorText(c.error)) << c.what;
    EXPECT_EQ(messages.Messages().back().caption, c.caption) << c.what;
    EXPECT_EQ(ReadBytes(printFile), "\x01\x02\x03") << c.what;
    EXPECT_FALSE(TemporaryFilesIn(root)) << c.what;
  }
}

// Print to file takes the profile the field shows and stores it; with an
// empty field and none stored it asks for one.
TEST_F(ShowSettingsTest, PrintToFileTakesTheProfileOfTheField) {
  Settings.filenameProfile1[0] = L'\0';
  StoreSettings({Settings.filenameProfile1});
  SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, L"");
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);  // cancelled
  EXPECT_EQ(fileDialogs.openFileCalls, 1);
  EXPECT_EQ(std::wstring(fileDialogs.lastOpenFileRequest.lpstrTitle), L"Profile file to open");
  EXPECT_EQ(std::wstring(fileDialogs.lastOpenFileRequest.lpstrFilter), L"*.xml");
  EXPECT_EQ(GetFileAttributesW(printFile.c_str()), INVALID_FILE_ATTRIBUTES);

  const std::wstring lathe = folder.Path(L"Lathe.xml");
  WriteBytes(lathe, Utf8(L"<profile><Preferences><DefDir>" + root + L"</DefDir><Profile>Lathe</Profile>"
                         L"</Preferences></profile>"));
  SetDlgItemTextW(dialog, IDC_SETTINGS_PROFILE_PATH, lathe.c_str());
  ClickButton(dialog, IDC_SETTINGS_PRINT_TO_FILE);
  EXPECT_EQ(fileDialogs.openFileCalls, 1);
  EXPECT_EQ(LastMessage(), L"Printdata successfully written into file");
  EXPECT_EQ(ProfileName, L"Lathe");
  EXPECT_EQ(StoredSettingText(L"Filename profile 1"), lathe);
}

TEST_F(ShowSettingsTest, ShowWithoutDialogsPathOrFileIsRefused) {
  Tick({});
  ClickButton(dialog, IDC_SETTINGS_SHOW);
  EXPECT_EQ(LastMessage(), L"No data selected");
  EXPECT_EQ(messages.Messages().back().style, static_cast<UINT>(MB_TOPMOST | MB_TASKMODAL | MB_ICONERROR));
  EXPECT_EQ(SettingsOutputWindow, nullptr);
  Tick({0});
  SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, L"");
  ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
  EXPECT_EQ(LastMessage(), L"No Print-file path specified");
  SetDlgItemTextW(dialog, IDC_SETTINGS_PRINT_FILE_PATH, (root + L"\\missing.kws").c_str());
  ClickButton(dialog, IDC_SETTINGS_SHOW_FROM_FILE);
  EXPECT_EQ(LastMessage(), L"Print File not found");
}

// Mach3's data files are read while Mach3 holds them open and when they are
// read-only; a missing one is skipped silently, one locked by another
// program is reported.
TEST_F(ShowSettingsTest, DataFilesAreReadWhileHeldOrReadOnlyAndALockedOneIsReported) {
  const std::wstring fixtures = folder.Path(L"macros\\Mill\\fixtures.dat");
  const std::wstring tools = folder.Path(L"macros\\Mill\\tools3.dat");
  SetFileAttributesW(tools.c_str(), FILE_ATTRIBUTE_READONLY);
  {
    // Mach3 keeps its tables open for reading and writing, sharing both.
    UniqueFile held(CreateFileW(fixtures.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    ASSERT_TRUE(LoadSettingsValues());
  }
  SetFileAttributesW(tools.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(FixtureTable[1].name, L"Vise");
  EXPECT_EQ(ToolTable[2].valid, 1);
  EXPECT_TRUE(messages.Messages().empty()) << LastMessage();
  DeleteFileW(fixtures.c_str());
  {
    UniqueFile locked(CreateFileW(tools.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    ASSERT_TRUE(locked);
    ASSERT_TRUE(LoadSettingsValues());
  }
  EXPECT_EQ(FixtureTable[1].empty, 1);
  EXPECT_EQ(ToolTable[2].valid, 0);
  const ShownMessage locked = {SystemErrorText(ERROR_SHARING_VIOLATION), L"CreateFile:   " + tools,
                               MB_TASKMODAL | MB_ICONINFORMATION};
  EXPECT_EQ(messages.Shown(), std::vector<ShownMessage>{locked});
}

// A missing or empty DefDir or Profile keeps the folder and name before.
TEST_F(ShowSettingsTest, AProfileWithoutDefDirKeepsThePreviousFolder) {
  ASSERT_TRUE(LoadSettingsValues());
  for (const std::wstring& preferences :
       {std::wstring(L"<Units>0</Units>"), std::wstring(L"<DefDir></DefDir><Profile>Lathe</Profile>"),
        L"<DefDir>" + root + L"</DefDir><Profile></Profile>"}) {
    WriteBytes(profilePath, Utf8(L"<profile><Preferences>" + preferences + L"</Preferences></profile>"));
    FixtureTable[1].name = L"changed";
    ASSERT_TRUE(LoadSettingsValues());
    EXPECT_EQ(MachDir, root);
    EXPECT_EQ(ProfileName, L"Mill");
    EXPECT_EQ(FixtureTable[1].name, L"Vise");  // read again from the same folder
  }
}

}  // namespace
