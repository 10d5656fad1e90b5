// The rows of the twenty Mach3 dialogs. The signal and axis tables repeat
// one line pattern, so they are generated from their line labels.
#include "settings_view/portable/dialog_table.h"

#include <initializer_list>

const KernelSpeed KernelSpeedNames[KernelSpeedCount] = {
    {L"25000Hz", 25000}, {L"35000Hz", 35000}, {L"45000Hz", 45000}, {L"60000Hz", 60000},
    {L"65000Hz", 65000}, {L"75000Hz", 75000}, {L"100kHz", 100000},
};

size_t RowCount(const SettingsDialog& dialog) {
  size_t count = 0;
  while (count < dialog.rows.size() && !IsEndRow(dialog.rows[count])) ++count;
  return count;
}

bool IsLineTableDialog(int dialogIndex) {
  switch (dialogIndex) {
    case DialogInputSignals:
    case DialogOutputSignals:
    case DialogEncoders:
    case DialogFixtures:
    case DialogToolTable:
    case DialogPlugins:
      return true;
    default:
      return false;
  }
}

static SettingsRow MakeRow(uint32_t kind, int32_t x, int32_t y, const std::wstring& label,
                           const std::wstring& key = {}, int32_t format = 0) {
  SettingsRow row;
  row.kind = kind;
  row.x = x;
  row.y = y;
  row.label = label;
  row.key = key;
  row.format = format;
  return row;
}

static SettingsRow Text(int32_t x, int32_t y, const wchar_t* label) { return MakeRow(DLG_TEXT, x, y, label); }

static SettingsRow Radio(int32_t x, int32_t y, const wchar_t* label, const wchar_t* key = L"") {
  return MakeRow(DLG_RADIO, x, y, label, key);
}

static SettingsRow Check(int32_t x, int32_t y, const wchar_t* label, const wchar_t* key = L"") {
  return MakeRow(DLG_CHECK, x, y, label, key);
}

static SettingsRow Edit(uint32_t kind, int32_t x, int32_t y, const wchar_t* label, int32_t width, int32_t height,
                        int32_t labelWidth, const wchar_t* key, int32_t format) {
  SettingsRow row = MakeRow(kind, x, y, label, key, format);
  row.width = width;
  row.height = height;
  row.labelWidth = labelWidth;
  return row;
}

static SettingsRow EditLeft(int32_t x, int32_t y, const wchar_t* label, int32_t width, int32_t labelWidth,
                            const wchar_t* key, int32_t format = FORMAT_TEXT) {
  return Edit(DLG_EDIT_LABEL_LEFT, x, y, label, width, 18, labelWidth, key, format);
}

static SettingsRow EditRight(int32_t x, int32_t y, const wchar_t* label, int32_t width, const wchar_t* key) {
  return Edit(DLG_EDIT_LABEL_RIGHT, x, y, label, width, 18, 0, key, FORMAT_TEXT);
}

static SettingsRow EditAbove(int32_t x, int32_t y, const wchar_t* label, int32_t width, const wchar_t* key = L"",
                             int32_t format = 0) {
  return Edit(DLG_EDIT_LABEL_ABOVE, x, y, label, width, 18, 0, key, format);
}

static SettingsRow EditPlain(int32_t x, int32_t y, const wchar_t* label, int32_t width, const wchar_t* key,
                             int32_t format = FORMAT_TEXT) {
  return Edit(DLG_EDIT_PLAIN, x, y, label, width, 18, 0, key, format);
}

static SettingsRow EndRow() { return SettingsRow{}; }

static SettingsDialog MakeDialog(const wchar_t* title, int32_t left, int32_t width, int32_t defaultHeight,
                                 std::vector<SettingsRow> rows) {
  SettingsDialog dialog;
  dialog.title = title;
  dialog.left = left;
  dialog.top = 10;
  dialog.width = width;
  dialog.defaultHeight = defaultHeight;
  dialog.height = defaultHeight;
  dialog.rows = std::move(rows);
  dialog.rows.push_back(EndRow());
  return dialog;
}

// One column of a generated line table: the cell's label, its x, the key
// before and after the line number, and its format.
struct CellColumn {
  const wchar_t* label;
  int32_t x;
  const wchar_t* keyPrefix;
  const wchar_t* keySuffix;
  int32_t format;
  bool numbered = true;  // false: one key shared by every line
};

struct Heading {
  const wchar_t* label;
  int32_t x;
};

// Headings at y 20, then per line a text label at x 10 and one cell per
// column. With reservedBits the Enabled cell (the first column) carries
// ReservedEnabledCell and the others ReservedCell, as in the stored table.
static std::vector<SettingsRow> LineTableRows(std::initializer_list<Heading> headings,
                                              const std::vector<std::wstring>& lineLabels,
                                              std::initializer_list<CellColumn> columns, int32_t firstLineY,
                                              bool reservedBits) {
  std::vector<SettingsRow> rows;
  for (const Heading& heading : headings) rows.push_back(Text(heading.x, firstLineY - 20, heading.label));
  for (size_t n = 0; n < lineLabels.size(); ++n) {
    const int32_t y = firstLineY + 20 * static_cast<int32_t>(n);
    rows.push_back(MakeRow(DLG_TEXT, 10, y, lineLabels[n]));
    bool first = true;
    for (const CellColumn& column : columns) {
      uint32_t kind = DLG_CELL;
      if (reservedBits) kind |= first ? ReservedEnabledCell : ReservedCell;
      first = false;
      const std::wstring key =
          column.numbered ? column.keyPrefix + std::to_wstring(n) + column.keySuffix : std::wstring(column.keyPrefix);
      rows.push_back(MakeRow(kind, column.x, y, column.label, key, column.format));
    }
  }
  return rows;
}

static std::vector<std::wstring> Numbered(const wchar_t* prefix, int first, int last) {
  std::vector<std::wstring> labels;
  for (int i = first; i <= last; ++i) labels.push_back(prefix + std::to_wstring(i));
  return labels;
}

static std::vector<std::wstring> Join(std::initializer_list<std::vector<std::wstring>> parts) {
  std::vector<std::wstring> joined;
  for (const auto& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// A function, not a namespace-scope table: the process table below is built
// during static initialisation and must not depend on their order.
static std::vector<std::wstring> AxisLineLabels() {
  return {L"X Axis", L"Y Axis", L"Z Axis", L"A Axis", L"B Axis", L"C Axis", L"Spindle"};
}

static SettingsDialog NativeUnits() {
  return MakeDialog(L"Set native units", 600, 300, 200, {Radio(10, 50, L"MM's", L"Units"), Radio(100, 50, L"Inches")});
}

static SettingsDialog PortSetup() {
  std::vector<SettingsRow> rows = {
      Check(0, 10, L"Port1 Enabled", L"Port1On"),
      EditAbove(0, 50, L"Port Address", 100, L"Port1Add", FORMAT_HEX),
      Check(140, 10, L"Port2 Enabled", L"Port2On"),
      EditAbove(160, 50, L"Port Address", 100, L"Port2Add", FORMAT_HEX),
      Text(300, 50, L"OR"),
      Text(420, 10, L"MaxNC Mode"),
      Check(400, 40, L"Max CL Mode enabled", L"MaxCL"),
      Check(400, 70, L"Max NC-10 Wave Drive", L"MaxNC10"),
      Text(0, 110, L"Kernel Speed"),
  };
  static const int32_t kernelX[KernelSpeedCount] = {0, 100, 200, 300, 0, 100, 200};
  for (int i = 0; i < KernelSpeedCount; ++i) {
    const int32_t y = i < 4 ? 140 : 170;
    rows.push_back(i == 0 ? MakeRow(DLG_RADIO_KERNEL, kernelX[i], y, KernelSpeedNames[i].name, L"PulseSpeed")
                          : Radio(kernelX[i], y, KernelSpeedNames[i].name));
  }
  for (SettingsRow row : {Check(420, 200, L"Sherline 1/2 Pulse mode", L"Sherline"),
                          Check(420, 230, L"ModBus InputOutput Support", L"ModBus"),
                          Check(470, 260, L"Modbus Plugin Supported", L"ModPlug"),
                          Check(420, 290, L"TCP Modbus support", L"TCPMODBUS"),
                          Check(420, 320, L"Event Driven Serial Control", L"Serial")}) {
    rows.push_back(row);
  }
  return MakeDialog(L"Ports & Pins Port Setup and Axis Selection", 200, 700, 380, std::move(rows));
}

static SettingsDialog MotorOutputs() {
  return MakeDialog(L"Ports & Pins Motor Outputs", 200, 700, 220,
                    LineTableRows({{L"Signal", 10},
                                   {L"Enabled", 100},
                                   {L"Step Pin#", 170},
                                   {L"Dir Pin#", 250},
                                   {L"Dir Low Active", 320},
                                   {L"Step Low Active", 430},
                                   {L"Step Port", 540},
                                   {L"Dir Port", 610}},
                                  AxisLineLabels(),
                                  {{L"Enabled", 100, L"Motor", L"Active", FORMAT_FLAG},
                                   {L"Step Pin", 170, L"Motor", L"StepPin", FORMAT_TEXT},
                                   {L"Dir Pin", 250, L"Motor", L"DirPin", FORMAT_TEXT},
                                   {L"Dir Low Act", 320, L"Motor", L"DirNeg", FORMAT_FLAG},
                                   {L"Step Low Act", 430, L"Motor", L"StepNeg", FORMAT_FLAG},
                                   {L"Step Port", 540, L"Motor", L"StepPort", FORMAT_TEXT},
                                   {L"Dir Port", 640, L"Motor", L"DirPort", FORMAT_TEXT}},
                                  40, true));
}

static SettingsDialog InputSignals() {
  const std::vector<std::wstring> labels = Join({
      {L"X ++", L"X --", L"X Home", L"Y ++", L"Y --", L"Y Home", L"Z ++", L"Z --", L"Z Home", L"A ++", L"A --",
       L"A Home", L"B ++", L"B --", L"B Home", L"C ++", L"C --", L"C Home", L"Input #1", L"Input #2", L"Input #3",
       L"Input #4", L"Probe", L"Index", L"Limit Ovrd", L"EStop", L"THC On", L"THC Up", L"THC Down"},
      Numbered(L"OEM Trig#", 1, 15),
      {L"Timing", L"Jog X++", L"Jog X--", L"Jog Y++", L"Jog Y--", L"Jog Z++", L"Jog Z--", L"Jog A++", L"Jog A--"},
  });
  return MakeDialog(L"Ports & Pins Input Signals", 250, 650, 1700,
                    LineTableRows({{L"Signal", 10},
                                   {L"Enabled", 100},
                                   {L"Port#", 170},
                                   {L"Pin Number", 260},
                                   {L"Active Low", 350},
                                   {L"Emulated", 440},
                                   {L"Hotkey", 530}},
                                  labels,
                                  {{L"Enabled", 100, L"Input", L"Active", FORMAT_FLAG},
                                   {L"Port", 170, L"Input", L"Port", FORMAT_TEXT},
                                   {L"Pin", 260, L"Input", L"Pin", FORMAT_TEXT},
                                   {L"ActiveLow", 350, L"Input", L"Neg", FORMAT_FLAG},
                                   {L"Emulated", 440, L"Input", L"Emulated", FORMAT_FLAG},
                                   {L"HotKey", 530, L"Input", L"EmuKey", FORMAT_TEXT}},
                                  40, true));
}

static SettingsDialog OutputSignals() {
  const std::vector<std::wstring> labels =
      Join({{L"Digit Trig"}, Numbered(L"Enable", 1, 6), Numbered(L"Output#", 1, 6),
            {L"Charge Pump", L"Charge Pump2", L"Current Hi/Low"}, Numbered(L"Output#", 7, 20)});
  return MakeDialog(L"Ports & Pins Output Signals", 350, 550, 1000,
                    LineTableRows({{L"Signal", 10},
                                   {L"Enabled", 110},
                                   {L"Port#", 220},
                                   {L"Pin Number", 300},
                                   {L"Active Low", 400}},
                                  labels,
                                  {{L"Enabled", 110, L"Output", L"Active", FORMAT_FLAG},
                                   {L"Port", 220, L"Output", L"Port", FORMAT_TEXT},
                                   {L"Pin", 300, L"Output", L"Pin", FORMAT_TEXT},
                                   {L"Active low", 400, L"Output", L"Neg", FORMAT_FLAG}},
                                  40, true));
}

static SettingsDialog Encoders() {
  // The A and B columns read the keys as Mach3's own dialog labels them.
  return MakeDialog(L"Ports & Pins Encoder/MPG's", 300, 600, 300,
                    LineTableRows({{L"Signal", 10},
                                   {L"Enabled", 110},
                                   {L"A-Port#", 180},
                                   {L"A-Pin#", 240},
                                   {L"B-Port#", 300},
                                   {L"B-Pin#", 360},
                                   {L"Counts/Unit", 420},
                                   {L"Velocity", 500}},
                                  {L"Encoder1", L"Encoder2", L"Encoder3", L"Encoder4", L"MPG #1", L"MPG #2", L"MPG #3"},
                                  {{L"Enabled", 110, L"Encoder", L"Active", FORMAT_FLAG},
                                   {L"A-Port", 180, L"Encoder", L"APin", FORMAT_TEXT},
                                   {L"A-Pin", 240, L"Encoder", L"APort", FORMAT_TEXT},
                                   {L"B-Port", 300, L"Encoder", L"BPin", FORMAT_TEXT},
                                   {L"B-Pin", 360, L"Encoder", L"BPort", FORMAT_TEXT},
                                   {L"Counts", 420, L"Encoder", L"Cal", FORMAT_TEXT},
                                   {L"Veocity", 500, L"MPGVel", L"", FORMAT_DECIMAL}},
                                  40, true));
}

static SettingsDialog SpindleSetup() {
  return MakeDialog(L"Ports & Pins Spindle Setup", 100, 800, 480,
                    {
                        Text(0, 10, L"Relays Control"),
                        Check(0, 40, L"Disable Spindle Relays", L"NoSpindle"),
                        EditLeft(180, 70, L"Clockwise(M3) Output#", 30, 155, L"SpinCW", FORMAT_INT_OFFSET),
                        EditLeft(180, 100, L"CCW(M4) Output #", 30, 155, L"SpinCCW", FORMAT_INT_OFFSET),
                        Text(0, 200, L"Flood Mist Control"),
                        Check(0, 240, L"Disable Flood/Mist Relays", L"NoFlood"),
                        EditLeft(140, 270, L"Mist  M7 Output#", 25, 130, L"Mist", FORMAT_INT_OFFSET),
                        EditLeft(220, 270, L"Delay", 25, 40, L"M7Delay"),
                        EditLeft(140, 290, L"Flood M8 Output#", 25, 130, L"Flood", FORMAT_INT_OFFSET),
                        EditLeft(220, 290, L"Delay", 25, 40, L"M8Delay"),
                        Text(0, 320, L"Modbus Spindle - Use Step/Dir as well"),
                        Check(10, 360, L"Enabled", L"ModSpindleOn"),
                        EditLeft(180, 360, L"Reg", 30, 40, L"ModSpindleReg"),
                        EditLeft(150, 390, L"Max ADC Count", 100, 120, L"ModSpindleCal"),
                        Text(270, 10, L"Motor Control"),
                        Check(270, 40, L"Use Spindle Motor Output", L"Motor6Active"),
                        Radio(270, 100, L"Step/Dir Motor", L"PWM"),
                        Radio(270, 70, L"PWM Control"),
                        EditLeft(390, 130, L"PWMBase Freq.", 50, 115, L"PWMBase", FORMAT_KERNEL_DIVISOR),
                        EditLeft(390, 160, L"Minimum PWM", 30, 100, L"PWMin"),
                        Text(270, 250, L"General Parameters"),
                        EditLeft(440, 280, L"CW Delay Spin UP", 40, 130, L"SpinDelayCW"),
                        EditLeft(440, 310, L"CCW Delay Spin UP", 40, 135, L"SpinDelayCCW"),
                        EditLeft(440, 340, L"CW Delay Spin Down", 40, 140, L"SpinDownCW"),
                        EditLeft(440, 370, L"CCW Delay Spin Down", 40, 150, L"SpinDownCCW"),
                        Check(260, 400, L"Immediate Relay off before delay", L"ImmediateOff"),
                        Text(530, 10, L"Special Functions"),
                        Check(530, 40, L"Use Spindle Feedback in Sync Modes", L"SpinActual"),
                        Check(530, 70, L"Closed Loop Spindle Control", L"SpinClosed"),
                        EditLeft(550, 100, L"P", 35, 14, L"SpinP"),
                        EditLeft(630, 100, L"I", 35, 10, L"SpinI"),
                        EditLeft(730, 100, L"D", 35, 14, L"SpinD"),
                        Check(530, 130, L"Spindle Speed Averaging", L"SpinAverage"),
                        Text(550, 260, L"Special Options, Usually Off"),
                        Check(550, 290, L"Hot Wire Heat for Jog", L"JogHeat"),
                        Check(550, 320, L"Laser  Mode Freq.CCW Delay Spin UP", L"LaserMode"),
                        Check(550, 350, L"Torch Volts Control", L"TORCHVON"),
                        Check(550, 380, L"Torch Auto Off", L"TorchOff"),
                    });
}

// The relay outputs are stored 6 higher than Mach3 shows them.
static void SetRelayOffsets(SettingsDialog& dialog) {
  for (SettingsRow& row : dialog.rows) {
    if (row.format == FORMAT_INT_OFFSET) row.offset = -6;
  }
}

static SettingsDialog MillOptions() {
  return MakeDialog(L"Ports & Pins Mill Options", 230, 670, 450,
                    {
                        Text(10, 10, L"Z-Inhibit"),
                        Check(10, 40, L"Z-Inhibit On", L"Zinhibit"),
                        EditLeft(150, 70, L"Max Depth", 100, 100, L"InhibitDepth"),
                        Check(10, 100, L"Persistant", L"ZINHPersist"),
                        Text(10, 155, L"Digitizing"),
                        Check(10, 185, L"4 Axis Point Clouds", L"Dig4Axis"),
                        Check(10, 215, L"Add Axis Letters to Coordinates", L"DigLetter"),
                        Text(10, 260, L"THC Options"),
                        Check(10, 290, L"Allow THC UP/DOWN Control", L"RaiseLower"),
                        Text(20, 330, L"even if not in THC Mode"),
                        Check(10, 360, L"G28.1 No Initial Move", L"PlasmaHome"),
                        Check(10, 390, L"Set OUTPUT5 when in THC", L"THC5"),
                        Text(400, 10, L"Compensation G42, G42"),
                        Check(410, 40, L"Advanced Compensation Analysis", L"AdvancedComp"),
                        Text(400, 155, L"Loop Control"),
                        Check(410, 185, L"Allow Servo Hold on Input#1"),
                        Text(410, 215, L"Max CL Closed Loop Emulation"),
                        Text(400, 260, L"General Options"),
                        Check(410, 290, L"Homed true when no home switches"),
                        EditLeft(530, 320, L"G73 Pullback", 40, 90, L"G73PullBack"),
                    });
}

static SettingsDialog MotorTuning() {
  SettingsDialog dialog = MakeDialog(
      L"Motor Tuning", 250, 650, 220,
      LineTableRows({{L"Steps per", 100}, {L"Velocity", 200}, {L"Accel", 300}, {L"Step Pulse", 400}, {L"Dir Pulse", 500}},
                    AxisLineLabels(),
                    {{L"Steps", 110, L"Steps", L"", FORMAT_TEXT},
                     {L"Vel", 210, L"Vel", L"", FORMAT_PER_MINUTE},
                     {L"Acc", 310, L"Acc", L"", FORMAT_TEXT},
                     // Step and direction pulse widths are one setting for all axes.
                     {L"Step_Pulse", 410, L"PulseSpeed", L"", FORMAT_TEXT, false},
                     {L"Dir_Pulse", 510, L"DirPulse", L"", FORMAT_TEXT, false}},
                    40, false));
  return dialog;
}

static SettingsDialog GeneralConfig() {
  return MakeDialog(
      L"General Config", 5, 960, 670,
      {
          Text(0, 20, L"G20,G21 Control"),
          Check(0, 50, L"Lock DRO's to setup units", L"DROLOCK"),
          Text(0, 90, L"ToolChange"),
          MakeRow(DLG_TOOLCHANGE_IGNORE, 0, 110, L"Ignore Tool Change", L"IGNORETOOL"),
          MakeRow(DLG_TOOLCHANGE_STOP, 0, 130, L"Stop Spindle. Wait for Cycle Start", L"IGNORETOOL"),
          MakeRow(DLG_TOOLCHANGE_AUTO, 0, 150, L"Auto Tool Changer", L"AutoTool"),
          Text(0, 170, L"Angular Properties"),
          Text(50, 190, L"Unchecked for Linear"),
          Check(0, 210, L"A-Axis is Angular", L"AAngular"),
          Check(0, 230, L"B-Axis is Angular", L"BAngular"),
          Check(0, 250, L"C-Axis is Angular", L"CAngular"),
          Text(0, 300, L"Pgm End or M30 Rewind"),
          Check(0, 320, L"Turn off all outputs", L"AutoTurnOff"),
          Check(0, 340, L"E-Stop the System", L"AutoEStop"),
          Check(0, 360, L"Perform G92.1", L"G92Off"),
          Check(0, 380, L"Remove Tool Offset", L"ToolOffsetOff"),
          Check(0, 400, L"Radius Comp Off", L"RadiusCompOff"),
          Check(0, 420, L"Turn off Spindle", L"M30SpinOff"),
          Text(0, 450, L"M01 Control"),
          Check(0, 470, L"Stop on M1 Command", L"OptStop"),
          Text(0, 500, L"Serial Output"),
          EditLeft(60, 530, L"ComPort#", 30, 55, L"ComPort"),
          EditLeft(150, 530, L"BaudRate", 50, 55, L"BaudRate"),
          Radio(0, 560, L"8-Bit 1Sop", L"SerialType"),
          Radio(90, 560, L"7-Bit 2Sop"),
          Text(0, 590, L"Program Safety"),
          Check(0, 610, L"Progra, Safety Lockout", L"ProgramSafe"),
          Text(240, 20, L"Editor"),
          EditAbove(260, 50, L"GCode Editor", 240, L"Editor", FORMAT_TEXT),
          Text(240, 110, L"Startup Modals"),
          Check(280, 130, L"Use Init String on ALL \"Resets\"", L"InitAllResets"),
          EditAbove(240, 150, L"Initializing String", 270, L"INIT", FORMAT_TEXT),
          Text(240, 190, L"Motion Mode"),
          MakeRow(DLG_RADIO_SWAPPED, 250, 210, L"Constant Velocity", L"PathMode"),
          MakeRow(DLG_RADIO_SWAPPED, 370, 210, L"Exact Stop"),
          Text(240, 250, L"Distance Mode"),
          Radio(225, 270, L"Absolute", L"DistanceMode"),
          Radio(300, 270, L"Inc"),
          Text(370, 250, L"IJ Mode"),
          Radio(350, 270, L"Absolute", L"IJMode"),
          Radio(420, 270, L"Inc"),
          Text(240, 310, L"Active Plane of Movement"),
          Radio(240, 330, L"X-Y", L"Plane"),
          Radio(300, 330, L"Y-Z"),
          Radio(360, 330, L"X-Z"),
          Text(240, 350, L"Jog Increments in Cycle Mode"),
          EditLeft(310, 390, L"Position 1", 50, 50, L"JogInc0", FORMAT_DECIMAL),
          EditPlain(310, 410, L"Position_10", 50, L"JogInc1", FORMAT_DECIMAL),
          EditPlain(310, 430, L"Position_100", 50, L"JogInc2", FORMAT_DECIMAL),
          EditPlain(310, 450, L"Position_1000", 50, L"JogInc3", FORMAT_DECIMAL),
          EditPlain(310, 470, L"Position_10000", 50, L"JogInc4", FORMAT_DECIMAL),
          EditPlain(310, 490, L"Position 1", 50, L"JogInc5", FORMAT_DECIMAL),
          EditPlain(310, 510, L"Position_10", 50, L"JogInc6", FORMAT_DECIMAL),
          EditPlain(310, 530, L"Position_100", 50, L"JogInc7", FORMAT_DECIMAL),
          EditPlain(310, 550, L"Position_1000", 50, L"JogInc8", FORMAT_DECIMAL),
          EditLeft(310, 570, L"Position 10", 50, 60, L"JogInc9", FORMAT_DECIMAL),
          Text(510, 10, L"Shuttle Wheel Setting"),
          EditAbove(520, 40, L"Shuttle Accel", 50),
          Text(520, 90, L"General Configuration"),
          Check(520, 120, L"Z is 2.5D on Output #6", L"Z25D"),
          Check(520, 140, L"Home Sw. Safety", L"HWSAFE"),
          EditLeft(630, 160, L"LookAhead", 30, 80, L"LookAhead"),
          Check(520, 180, L"Ignore M calls while loading", L"IgnoreMacros"),
          Check(520, 200, L"M9-Execute after Block", L"M9After"),
          Check(520, 220, L"UPD Pendant Control", L"UDP"),
          Check(520, 240, L"Run Macro Pump", L"MacroPump"),
          Check(520, 260, L"ChargePump On in EStop", L"ChargeAlwaysOn"),
          Check(520, 280, L"Persistent Jog Mode", L"JogPersist"),
          Check(520, 300, L"FeedOverRide Persist", L"OVPersist"),
          Check(520, 320, L"No System Menu in Mach3", L"MenuOff"),
          Check(520, 340, L"Use Key Clicks", L"KeyClick"),
          Check(520, 360, L"Home Slave with Master Axis", L"SlaveHome"),
          Check(520, 380, L"Include TLO in Z from G31", L"PROBETLO"),
          Check(520, 400, L"Lock Rapid FRO to Feed FRO", L"LockFROs"),
          Text(520, 420, L"Rotational"),
          Check(520, 440, L"Rot 360 rollover", L"Rot360"),
          Check(520, 460, L"Ang Short Rot on G0", L"ShortRot"),
          Check(520, 480, L"Rotational Soft Limits", L"ROTSOFT"),
          Text(520, 500, L"Screen Control"),
          Check(520, 520, L"Hi-Res Screens", L"HiRes"),
          Check(520, 540, L"Boxed DRO's and Graphics", L"Boxed"),
          Check(520, 560, L"Auto Screen Enlarge", L"AutoScreens"),
          Check(520, 580, L"Flash Errors and comments", L"Flash"),
          Text(700, 10, L"Input Signal Debouncing/Noise rejection"),
          EditLeft(850, 40, L"Debounce Interval", 50, 100, L"Debounce"),
          EditLeft(850, 60, L"Index Debounce", 50, 100, L"IndexDebounce"),
          Check(700, 120, L"Disable Gouge/Convavity", L"GougeCheck"),
          Check(700, 140, L"G04 Dwell in ms", L"DwellinMilli"),
          Check(700, 160, L"Use WatchDogs", L"WatchDog"),
          Check(700, 180, L"Debug This Run"),
          MakeRow(DLG_CHECK_INVERTED, 700, 200, L"Enhanced Pulsing", L"SlowMode"),
          Check(700, 220, L"Allow Wave Files", L"Sounds"),
          Check(700, 240, L"Allow Speech", L"Voices"),
          Check(700, 260, L"Set Charge Pump to 5kHz-Laser Standby", L"LaserStandby"),
          Check(700, 280, L"Use OUTPUT20 as Dwell Trigger", L"DwellTrigger"),
          Check(700, 300, L"No FRO on Queue", L"OverMode2"),
          EditRight(720, 320, L"Turn Manuale Spindle Incr.", 60, L"SpinInc"),
          EditRight(720, 340, L"Spindle OV increment", 60, L"OVSpinInc"),
          Text(700, 370, L"CV Control"),
          Check(700, 390, L"Plasma Mode", L"PlasmaMode"),
          EditRight(840, 400, L"Units", 60, L"BlendFactor"),
          Check(700, 410, L"CV Dist Tolerance", L"NoAngle"),
          Check(700, 430, L"G100 Adaptive NurbsCV", L"NURBS"),
          Check(700, 450, L"Stop CV on angle >", L"CVUseAngle"),
          EditRight(840, 450, L"Degrees", 60, L"CVDegrees"),
          Text(700, 470, L"Axis DRO Properties"),
          Check(700, 500, L"Tool Selections Persistent", L"ToolPersist"),
          Check(700, 520, L"Optional Offset Save", L"OffDialogs"),
          Check(700, 540, L"Persistent Offsets", L"OffPersist"),
          Check(700, 560, L"Persistent DRO's", L"DROPERSIST"),
          Check(700, 580, L"Copy G54 from G59.253 on startup", L"G54Back"),
      });
}

static SettingsDialog SystemHotkeys() {
  std::vector<SettingsRow> rows = {Text(0, 40, L"Jog Hotkeys"), Text(20, 60, L"ScanCode"), Text(150, 60, L"ScanCode")};
  static const wchar_t* const jogLabels[12] = {L"X++", L"X--", L"Y++", L"Y--", L"Z++", L"Z--",
                                               L"A++", L"A--", L"B++", L"B--", L"C++", L"C--"};
  for (int i = 0; i < 12; ++i) {
    const bool minus = (i % 2) == 1;
    const std::wstring key = L"AxisKeys" + std::to_wstring(i);
    rows.push_back(EditLeft(minus ? 170 : 50, 80 + 20 * (i / 2), jogLabels[i], 60, minus ? 20 : 25, key.c_str()));
  }
  for (SettingsRow row : {
           Text(0, 220, L"System Hotkeys"),
           Text(70, 240, L"ScanCode"),
           Text(250, 240, L"ScanCode"),
           EditLeft(90, 260, L"DRO Select", 60, 80, L"DROHotKey"),
           EditLeft(260, 260, L"Code List", 60, 60, L"ListKey"),
           EditLeft(90, 280, L"MDI Select", 60, 80, L"MDIHotKey"),
           EditLeft(260, 280, L"Reset On", 60, 60, L"EnableResetHotKey"),
           EditLeft(90, 300, L"Load G-Code", 60, 80, L"GCodeHotKey"),
           Text(300, 20, L"External Buttons - OEM COdes"),
           Text(280, 40, L"Trigger #"),
           Text(330, 40, L"OEM Code"),
       }) {
    rows.push_back(row);
  }
  // Triggers 1..7 on the left, 8..15 on the right, interleaved by line.
  for (int line = 0; line < 8; ++line) {
    const int32_t y = 60 + 20 * line;
    if (line < 7) {
      const std::wstring number = std::to_wstring(line + 1);
      rows.push_back(EditLeft(340, y, number.c_str(), 60, 10, (L"OEM" + number).c_str()));
    }
    const std::wstring number = std::to_wstring(line + 8);
    rows.push_back(EditLeft(440, y, number.c_str(), 60, line + 8 >= 10 ? 15 : 10, (L"OEM" + number).c_str()));
  }
  return MakeDialog(L"System Hotkeys", 350, 550, 350, std::move(rows));
}

static SettingsDialog HomeSoftLimits() {
  std::vector<SettingsRow> rows = {Text(100, 20, L"Entriies are in setup units")};
  std::vector<SettingsRow> table =
      LineTableRows({{L"Axis", 10},
                     {L"Reversed", 50},
                     {L"Soft Max", 110},
                     {L"Soft Min", 170},
                     {L"Slow Zone", 230},
                     {L"Home Off", 290},
                     {L"Home Neg", 350},
                     {L"Auto Zero", 410},
                     {L"Speed %", 470}},
                    {L"X", L"Y", L"Z", L"A", L"B", L"C"},
                    {{L"Reversed", 50, L"M", L"Rev", FORMAT_FLAG},
                     {L"Soft Max", 110, L"M", L"Max", FORMAT_TEXT},
                     {L"Soft Min", 170, L"M", L"Min", FORMAT_TEXT},
                     {L"Slow Zone", 230, L"M", L"SoftRamp", FORMAT_TEXT},
                     {L"Home Off.", 290, L"M", L"RefHome", FORMAT_HOME_OFFSET},
                     {L"Home Neg", 350, L"M", L"Neg", FORMAT_FLAG},
                     {L"Auto Zero", 410, L"M", L"AutoZero", FORMAT_FLAG},
                     {L"Speed %", 470, L"RefSpeed", L"", FORMAT_TEXT}},
                    60, false);
  // The home offset is stored scaled by its axis number.
  for (SettingsRow& row : table) {
    if (row.format == FORMAT_HOME_OFFSET) row.index = (row.y - 60) / 20;
  }
  rows.insert(rows.end(), table.begin(), table.end());
  for (SettingsRow row : {Text(10, 200, L"G28 home location coordinates"), EditLeft(30, 220, L"X", 60, 10, L"G20X"),
                          EditLeft(30, 240, L"Y", 60, 10, L"G20Y"), EditLeft(30, 260, L"Z", 60, 10, L"G20Z"),
                          EditLeft(130, 220, L"A", 60, 10, L"G20A"), EditLeft(130, 240, L"B", 60, 10, L"G20B"),
                          EditLeft(130, 260, L"C", 60, 10, L"G20C")}) {
    rows.push_back(row);
  }
  return MakeDialog(L"Home/Soft Limits", 350, 550, 350, std::move(rows));
}

static SettingsDialog ToolPath() {
  return MakeDialog(L"ToolPath", 350, 550, 350,
                    {
                        Check(10, 20, L"Origin Sphere", L"OriginSphere"),
                        Check(10, 40, L"3d Compass", L"m_3dCompass"),
                        Check(10, 60, L"Machine Boundaries", L"Boundries"),
                        Check(10, 80, L"Tool Position", L"ToolPosition"),
                        Check(10, 100, L"Jog Follow Mode", L"JogFollow"),
                        Check(10, 120, L"Show Tool in Z Bar", L"ZBar"),
                        Text(150, 20, L"Rotations"),
                        Text(150, 40, L"Axis of Rotation"),
                        Check(300, 40, L"Use Radius of Feedrater", L"Use Diam"),
                        Radio(150, 60, L"X-Axis", L"AParallel"),
                        Radio(150, 80, L"Y-Axis"),
                        Radio(150, 100, L"Z-Axis"),
                        Check(150, 120, L"A-Rotation Enabled", L"ToolRotations"),
                        Text(10, 150, L"Colors"),
                        Check(300, 150, L"Show Tool as above centerline in Turn", L"ToolFlip"),
                        Text(110, 155, L"Red"),
                        Text(140, 155, L"Green"),
                        Text(190, 155, L"Blue"),
                        Check(300, 170, L"Show Lathe Object", L"ShowSolid"),
                        EditLeft(130, 175, L"Background Color", 35, 100, L"BR"),
                        EditPlain(170, 175, L"Background Color", 35, L"BG"),
                        EditPlain(210, 175, L"Background Color", 35, L"BB"),
                        EditLeft(130, 195, L"Rapid Color", 35, 100, L"RR"),
                        EditPlain(170, 195, L"Rapid Color", 35, L"RG"),
                        EditPlain(210, 195, L"Rapid Color", 35, L"RB"),
                        EditLeft(400, 200, L"Stock size", 50, 80, L"StockSize"),
                        EditLeft(130, 215, L"Feedrate G1 color", 35, 100, L"FR"),
                        EditPlain(170, 215, L"Feedrate G1 color", 35, L"FG"),
                        EditPlain(210, 215, L"Feedrate G1 color", 35, L"FB"),
                        EditLeft(130, 235, L"G2,G3 Color", 35, 100, L"AR"),
                        EditPlain(170, 235, L"G2,G3 Color", 35, L"AG"),
                        EditPlain(210, 235, L"G2,G3 Color", 35, L"AB"),
                        Check(300, 240, L"Reset Plane on Regen.", L"Plane"),
                        EditLeft(130, 255, L"Enhance Color", 35, 100, L"ER"),
                        EditPlain(170, 255, L"Enhance Color", 35, L"EG"),
                        EditPlain(210, 255, L"Enhance Color", 35, L"EB"),
                        EditLeft(130, 275, L"Material Color", 35, 100, L"MatRed"),
                        EditPlain(170, 275, L"Material Color", 35, L"MatGreen"),
                        EditPlain(210, 275, L"Material Color", 35, L"MatBlue"),
                        Check(300, 290, L"Lines From Last to Current", L"ToolLines"),
                    });
}

static SettingsDialog SlaveAxis() {
  std::vector<SettingsRow> rows;
  static const wchar_t* const masters[3] = {L"X Axis", L"Y Axis", L"Z Axis"};
  for (int axis = 0; axis < 3; ++axis) {
    const int32_t x = 10 + 150 * axis;
    const int32_t radioX = axis == 0 ? 50 : x + 20;
    const std::wstring key = L"Slave" + std::to_wstring(axis);
    rows.push_back(Text(x, 20, masters[axis]));
    rows.push_back(Text(x + 20, 40, L"Slaved Axis"));
    rows.push_back(Radio(radioX, 60, L"A Axis", key.c_str()));
    rows.push_back(Radio(radioX, 80, L"B Axis"));
    rows.push_back(Radio(radioX, 100, L"C Axis"));
    rows.push_back(Radio(radioX, 120, L"None"));
  }
  return MakeDialog(L"Slave Axis", 450, 450, 200, std::move(rows));
}

static SettingsDialog Backlash() {
  return MakeDialog(L"Backlash", 600, 300, 300,
                    {
                        Text(0, 20, L"Backlash Distance units"),
                        EditLeft(60, 40, L"X Axis", 50, 40, L"BackX"),
                        EditLeft(60, 60, L"Y Axis", 50, 40, L"BackY"),
                        EditLeft(60, 80, L"Z Axis", 50, 40, L"BackZ"),
                        EditLeft(60, 100, L"A Axis", 50, 40, L"BackA"),
                        EditLeft(60, 120, L"B Axis", 50, 40, L"BackB"),
                        EditLeft(60, 140, L"C Axis", 50, 40, L"BackC"),
                        EditAbove(40, 170, L"Backlash Speed % of Max", 50, L"BackSpeed", FORMAT_TEXT),
                        Check(40, 230, L"Backlash Enabled", L"BacklashOn"),
                    });
}

static SettingsDialog Fixtures() {
  return MakeDialog(L"Fixtures", 200, 700, 500,
                    {Text(190, 20, L"Work Offset"), Text(10, 40, L"G-Code Pos"), Text(90, 40, L"X"), Text(170, 40, L"Y"),
                     Text(250, 40, L"Z"), Text(330, 40, L"A"), Text(410, 40, L"B"), Text(490, 40, L"C"),
                     Text(570, 40, L"Name")});
}

static SettingsDialog ToolTableDialog() {
  return MakeDialog(L"Tool Table", 200, 700, 500,
                    {Text(10, 10, L"Tool"), Text(90, 10, L"Description"), Text(170, 10, L"Diameter(D)"),
                     Text(250, 10, L"Height(H)"), Text(330, 10, L"Diam. Wear"), Text(410, 10, L"Height Wear")});
}

static SettingsDialog ConfigPlugins() {
  return MakeDialog(L"Config Plugins", 200, 700, 500, {Text(10, 20, L"Enabled"), Text(70, 20, L"PluginName")});
}

static SettingsDialog SpindlePulleys() {
  return MakeDialog(L"Spindle Pulleys", 380, 520, 150,
                    {
                        Edit(DLG_EDIT_PULLEY_NUMBER, 30, 40, L"Pulley number", 40, 18, 0, L"PULLEY", FORMAT_TEXT),
                        Edit(DLG_EDIT_PULLEY, 135, 40, L"Min Speed", 40, 18, 0, L"LSPEED", FORMAT_TEXT),
                        Edit(DLG_EDIT_PULLEY, 235, 40, L"Max Speed", 40, 18, 0, L"SPEED", FORMAT_TEXT),
                        Edit(DLG_EDIT_PULLEY, 335, 40, L"Ratio", 40, 18, 0, L"SPINRATIO", FORMAT_DECIMAL),
                        MakeRow(DLG_CHECK_PULLEY, 400, 60, L"Reversed", L"SPINREV"),
                    });
}

static SettingsDialog SaveZSetup() {
  return MakeDialog(L"Save Z Setup", 550, 350, 250,
                    {
                        Text(10, 20, L"Global Settings"),
                        Check(100, 40, L"Allow Save_Z  Moves", L"UseSafeZ"),
                        Radio(20, 70, L"SafeZ DRO is in Machine Coordinates", L"SafeZType"),
                        Radio(20, 90, L"SafeZ DRO is in Work Coordinates"),
                        Radio(20, 110, L"SafeZ is in incremental Rise"),
                        EditLeft(80, 140, L"Safe_Z", 40, 40, L"m_SafeZ"),
                        Text(10, 170, L"Optional"),
                        Check(50, 190, L"Goto SafeZ when Stop button is hit", L"SafeZStop"),
                    });
}

std::vector<SettingsDialog> BuildDialogTable() {
  std::vector<SettingsDialog> table;
  table.push_back(NativeUnits());
  table.push_back(PortSetup());
  table.push_back(MotorOutputs());
  table.push_back(InputSignals());
  table.push_back(OutputSignals());
  table.push_back(Encoders());
  table.push_back(SpindleSetup());
  SetRelayOffsets(table.back());
  table.push_back(MillOptions());
  table.push_back(MotorTuning());
  table.push_back(GeneralConfig());
  table.push_back(SystemHotkeys());
  table.push_back(HomeSoftLimits());
  table.push_back(ToolPath());
  table.push_back(SlaveAxis());
  table.push_back(Backlash());
  table.push_back(Fixtures());
  table.push_back(ToolTableDialog());
  table.push_back(ConfigPlugins());
  table.push_back(SpindlePulleys());
  table.push_back(SaveZSetup());
  table.push_back(SettingsDialog{});
  return table;
}

std::vector<SettingsDialog> DialogTable = BuildDialogTable();
