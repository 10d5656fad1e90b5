// Reading the Show params values and list rows from profile keys.
#include "pins/portable/show_params.h"

#include <cwchar>

#include "app/portable/text_format.h"

static const TextTriple MotorRowNames[MotorRowCount] = {
    {L"Achse X", L"Axis X", L"Axis X"}, {L"Achse Y", L"Axis Y", L"Axis Y"}, {L"Achse Z", L"Axis Z", L"Axis Z"},
    {L"Achse A", L"Axis A", L"Axis A"}, {L"Achse B", L"Axis B", L"Axis B"}, {L"Achse C", L"Axis C", L"Axis C"},
    {L"Spindel", L"Spindle", L"Spindle"},
};

const wchar_t* MotorRowName(int row) {
  return row >= 0 && row < MotorRowCount ? SelectText(MotorRowNames[row]) : L"";
}

double ProfileNumber(const wchar_t* text) { return wcstod(text, nullptr); }

static bool IsActive(const KeyLookup& lookup, const std::wstring& key) {
  std::wstring value;
  return lookup(key.c_str(), value) && value == L"1";
}

namespace {

// Reads keys one by one, collecting the missing ones; told to stop at a
// missing key, it reads nothing after it.
class PageReader {
 public:
  PageReader(const KeyLookup& lookup, bool stopAtMissing) : lookup_(lookup), stopAtMissing_(stopAtMissing) {}

  bool Stopped() const { return stopAtMissing_ && !missing_.empty(); }
  const std::vector<std::wstring>& Missing() const { return missing_; }

  // A missing key leaves `target` empty.
  void Read(const std::wstring& key, std::wstring& target) {
    if (Stopped()) return;
    if (lookup_(key.c_str(), target)) return;
    target.clear();
    missing_.push_back(key);
  }

  void ReadVelocity(const std::wstring& key, std::wstring& target) {
    if (Stopped()) return;
    std::wstring value;
    if (lookup_(key.c_str(), value)) target = FormatText(L"%g", ProfileNumber(value.c_str()) * 60.0);
  }

 private:
  const KeyLookup& lookup_;
  bool stopAtMissing_;
  std::vector<std::wstring> missing_;
};

std::wstring Key(const wchar_t* format, int index) { return FormatText(format, index); }

void ReadMotorRow(PageReader& reader, int motor, MotorRowValues& row) {
  reader.Read(Key(L"Motor%dDirPort", motor), row.dirPort);
  reader.Read(Key(L"Motor%dDirPin", motor), row.dirPin);
  reader.Read(Key(L"Motor%dDirNeg", motor), row.dirNeg);
  reader.Read(Key(L"Motor%dStepPort", motor), row.stepPort);
  reader.Read(Key(L"Motor%dStepPin", motor), row.stepPin);
  reader.Read(Key(L"Motor%dStepNeg", motor), row.stepNeg);
  reader.Read(Key(L"M%dRev", motor), row.reversed);
  if (motor == SpindleRow) {
    row.homeNeg = row.steps = row.velocity = row.accel = L"--";
    return;
  }
  reader.Read(Key(L"M%dNeg", motor), row.homeNeg);
  reader.Read(Key(L"Steps%d", motor), row.steps);
  reader.Read(Key(L"Acc%d", motor), row.accel);
  reader.ReadVelocity(Key(L"Vel%d", motor), row.velocity);
}

}  // namespace

static MotorPageValues ReadMotorPageWith(PageReader& reader, const KeyLookup& lookup) {
  MotorPageValues page;
  for (int motor = 0; motor < MotorRowCount && !reader.Stopped(); ++motor) {
    if (!IsActive(lookup, Key(L"Motor%dActive", motor))) continue;
    page.rows[motor].shown = true;
    page.anyActive = true;
    ReadMotorRow(reader, motor, page.rows[motor]);
  }
  if (page.anyActive) {
    reader.Read(L"DirPulse", page.dirPulse);
    reader.Read(L"PulseWidth", page.stepPulse);
    reader.Read(L"Port2Input", page.port2Input);
  }
  page.complete = !reader.Stopped();
  return page;
}

// One question for all missing keys; a "stop" gives the page as far as the
// first missing key, as reading key by key and stopping there would.
MotorPageValues ReadMotorPage(const KeyLookup& lookup, const MissingKeyHandler& onMissing) {
  PageReader reader(lookup, false);
  MotorPageValues page = ReadMotorPageWith(reader, lookup);
  if (reader.Missing().empty() || onMissing(reader.Missing())) return page;
  PageReader stopping(lookup, true);
  return ReadMotorPageWith(stopping, lookup);
}

// Missing values print as -1; unread ones (no motor active) as 0.
static int32_t PrintedFlag(const MotorPageValues& page, const std::wstring& text) {
  return page.anyActive && text.empty() ? -1 : ProfileInteger(text.c_str());
}

MotorPrintValues MotorPrintValuesOf(const MotorPageValues& page) {
  MotorPrintValues values = {};
  for (int motor = 0; motor < AxisRowCount; ++motor) {
    const MotorRowValues& row = page.rows[motor];
    MotorPrintRow& out = values.rows[motor];
    out.active = row.shown ? 1 : 0;
    if (!row.shown) continue;
    out.dirPort = ProfileInteger(row.dirPort.c_str());
    out.dirPin = ProfileInteger(row.dirPin.c_str());
    out.dirNeg = ProfileInteger(row.dirNeg.c_str());
    out.stepPort = ProfileInteger(row.stepPort.c_str());
    out.stepPin = ProfileInteger(row.stepPin.c_str());
    out.stepNeg = ProfileInteger(row.stepNeg.c_str());
    out.reversed = PrintedFlag(page, row.reversed);
    out.homeNeg = PrintedFlag(page, row.homeNeg);
    out.steps = ProfileNumber(row.steps.c_str());
    out.velocity = ProfileNumber(row.velocity.c_str());
    out.accel = ProfileNumber(row.accel.c_str());
  }
  values.dirPulse = PrintedFlag(page, page.dirPulse);
  values.stepPulse = PrintedFlag(page, page.stepPulse);
  values.port2Input = PrintedFlag(page, page.port2Input);
  return values;
}

namespace {

std::wstring Value(const KeyLookup& lookup, const std::wstring& key) {
  std::wstring value;
  if (!lookup(key.c_str(), value)) value.clear();
  return value;
}

void AddMotorRows(std::vector<ParamRow>& rows, const KeyLookup& lookup) {
  for (int motor = 0; motor < MotorRowCount; ++motor) {
    if (!IsActive(lookup, Key(L"Motor%dActive", motor))) continue;
    rows.push_back({FormatText(L"%s Dir", MotorRowName(motor)), Value(lookup, Key(L"Motor%dDirPort", motor)),
                    Value(lookup, Key(L"Motor%dDirPin", motor))});
    rows.push_back({FormatText(L"%s Step", MotorRowName(motor)), Value(lookup, Key(L"Motor%dStepPort", motor)),
                    Value(lookup, Key(L"Motor%dStepPin", motor))});
  }
}

void AddInputRows(std::vector<ParamRow>& rows, const KeyLookup& lookup) {
  for (int i = 0; i < InputCount; ++i) {
    if (!IsActive(lookup, Key(L"Input%dActive", i))) continue;
    rows.push_back({InputSignalName(i), Value(lookup, Key(L"Input%dPort", i)), Value(lookup, Key(L"Input%dPin", i)),
                    Value(lookup, Key(L"Input%dNeg", i)), Value(lookup, Key(L"Input%dEmulated", i)),
                    Value(lookup, Key(L"Input%dEmuKey", i))});
  }
}

void AddOutputRows(std::vector<ParamRow>& rows, const KeyLookup& lookup) {
  for (int i = 0; i < OutputCount; ++i) {
    if (!IsActive(lookup, Key(L"Output%dActive", i))) continue;
    rows.push_back({OutputSignalName(i), Value(lookup, Key(L"Output%dPort", i)), Value(lookup, Key(L"Output%dPin", i)),
                    Value(lookup, Key(L"Output%dNeg", i))});
  }
}

// Encoders 0..3 are the encoders, 4..7 the MPGs (their "Velocity" has no
// column).
void AddEncoderRows(std::vector<ParamRow>& rows, const KeyLookup& lookup) {
  for (int i = 0; i < EncoderCount; ++i) {
    if (!IsActive(lookup, Key(L"Encoder%dActive", i))) continue;
    const std::wstring name = i < 4 ? FormatText(L"Encoder %d", i + 1) : FormatText(L"MPG %d", i - 3);
    rows.push_back({name, Value(lookup, Key(L"Encoder%dAPort", i)), Value(lookup, Key(L"Encoder%dAPin", i)),
                    Value(lookup, Key(L"Encoder%dBPort", i)), Value(lookup, Key(L"Encoder%dBPin", i)),
                    Value(lookup, Key(L"Encoder%dCal", i))});
  }
}

}  // namespace

std::vector<ParamRow> BuildParamRows(ParamList list, const KeyLookup& lookup) {
  std::vector<ParamRow> rows;
  switch (list) {
    case ParamList::UsedPins:
      AddMotorRows(rows, lookup);
      AddInputRows(rows, lookup);
      AddOutputRows(rows, lookup);
      AddEncoderRows(rows, lookup);
      break;
    case ParamList::InputPins:
      AddInputRows(rows, lookup);
      break;
    case ParamList::OutputPins:
      AddOutputRows(rows, lookup);
      break;
    case ParamList::EncoderPins:
      AddEncoderRows(rows, lookup);
      break;
  }
  return rows;
}

static const std::wstring& Cell(const ParamRow& row, int column) {
  static const std::wstring empty;
  return column >= 0 && column < static_cast<int>(row.size()) ? row[column] : empty;
}

static int Order(long long a, long long b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareParamRows(const ParamRow& a, const ParamRow& b, int column) {
  if (column == 1) return Order(ProfileInteger(Cell(a, 1).c_str()), ProfileInteger(Cell(b, 1).c_str()));
  if (column == 2) {
    const long long pa = ProfileInteger(Cell(a, 1).c_str()) * 100LL + ProfileInteger(Cell(a, 2).c_str());
    const long long pb = ProfileInteger(Cell(b, 1).c_str()) * 100LL + ProfileInteger(Cell(b, 2).c_str());
    return Order(pa, pb);
  }
  const int result = Cell(a, column).compare(Cell(b, column));
  return result < 0 ? -1 : (result > 0 ? 1 : 0);
}
