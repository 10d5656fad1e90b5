// The pin assignment check's rules.
#include "pins/portable/pin_rules.h"

#include <cwchar>

#include "app/portable/text_format.h"

static const TextTriple TextNegativePort = {L"Negative Port Nummer unzulässig", L"Negative port nmb not allowed",
                                            L"Numéro de port négatif non autorisé"};
static const TextTriple TextPortTooBig = {L"Port Nummer zu groß", L"Port nmb too big",
                                          L"Numéro de port trop grand"};
static const TextTriple TextPinTooSmall = {L"Pin Nummer muss  größer 0 sein", L"Pin nmb must be greater 0",
                                           L"Le numéro de broche doit être supérieur à 0"};
static const TextTriple TextPinTooBig = {L"Pin Nummer > 25 unzulässig", L"Pinmust be smaller 26",
                                         L"Le numéro de broche doit être inférieur à 26"};
const TextTriple TextIllegalPinNumber = {L"Unzulässige Pin Nummer", L"Illegal pin number",
                                         L"Numéro de broche interdit"};
static const TextTriple TextWrongDirection = {L"Falsche Richtung", L"Wrong direction", L"Mauvaise direction"};
static const TextTriple TextMultipleUse = {L"Mehrfach benutzter Pin Nr:", L"Multiple used pin nmb:",
                                           L"Broche utilisée plusieurs fois : Pin nr:"};
static const TextTriple TextDetailMultipleUse = {L"Mehrfach benutzter Pin\tPin Nr:", L"Multiple used pin\tpin nmb:",
                                                 L"Broche utilisée plusieurs fois : \tpin nr:"};
static const TextTriple TextDetailDirection = {L"Falsche Richtung.\tPin Nr:", L"Wrong direction.\tpin nmb:",
                                               L"Mauvaise direction.\tPin nr:"};
const TextTriple TextUnknownToThisSystem = {L"in diesem System unbekannt", L"unknown to this system",
                                            L"Inconnu sur ce système"};

namespace {

// "label:index = value message", made by hand: a profile with many bad
// numbers lists hundreds of lines, and the runtime's formatting showed.
std::wstring NumberErrorLine(const wchar_t* label, int index, int32_t value, const wchar_t* message) {
  std::wstring line;
  line.reserve(std::wcslen(label) + std::wcslen(message) + 30);  // and two numbers
  line += label;
  line += L':';
  AppendDecimal(line, index);
  line += L" = ";
  AppendDecimal(line, value);
  line += L' ';
  line += message;
  return line;
}

class Validation {
 public:
  Validation(NumberErrorList& errors, UsedPorts& used, const PinModel& model, bool showAll)
      : errors_(errors), used_(used), model_(model), showAll_(showAll) {}

  void Port(const wchar_t* label, int index, int32_t& port) {
    if (port < 0) Reject(label, index, port, TextNegativePort);
    else if (port >= MachPortCount) Reject(label, index, port, TextPortTooBig);
  }
  void Pin(const wchar_t* label, int index, int32_t& pin) {
    if (pin < 1) Reject(label, index, pin, TextPinTooSmall);
    else if (pin > 25) Reject(label, index, pin, TextPinTooBig);
  }
  // A port-0 signal keeps its pin; only one that no table row can hold is
  // listed, and it is left out of the usage table.
  void ModbusPin(const wchar_t* label, int index, int32_t pin) {
    if (pin < 0) Add(label, index, pin, TextPinTooSmall);
    else if (pin >= UsagePinCount) Add(label, index, pin, TextPinTooBig);
  }
  void MarkUsed(int32_t port) {
    if (port < 0 || port >= MachPortCount) return;
    if (showAll_ || model_.ports[port].enabled != 0) used_[port] = true;
  }
  // Two signals of one motor or encoder: both ports, then both pins.
  void Pair(const wchar_t* const (&labels)[4], int index, int32_t& portA, int32_t& portB, int32_t& pinA,
            int32_t& pinB) {
    Port(labels[0], index, portA);
    Port(labels[1], index, portB);
    Pin(labels[2], index, pinA);
    Pin(labels[3], index, pinB);
    MarkUsed(portA);
    MarkUsed(portB);
  }
  // An input or output signal; on port 0 it is a Modbus one.
  void Single(const wchar_t* portLabel, const wchar_t* pinLabel, int index, int32_t& port, int32_t& pin) {
    Port(portLabel, index, port);
    if (port != 0) Pin(pinLabel, index, pin);
    else ModbusPin(pinLabel, index, pin);
    MarkUsed(port);
  }

 private:
  void Reject(const wchar_t* label, int index, int32_t& value, const TextTriple& message) {
    Add(label, index, value, message);
    value = 0;
  }
  void Add(const wchar_t* label, int index, int32_t value, const TextTriple& message) {
    if (errors_.lines.size() >= NumberErrorCapacity) return;
    errors_.lines.push_back(NumberErrorLine(label, index, value, SelectText(message)));
  }

  NumberErrorList& errors_;
  UsedPorts& used_;
  const PinModel& model_;
  bool showAll_;
};

}  // namespace

void ValidatePinModel(PinModel& model, bool showAllReferencedPorts, NumberErrorList& errors, UsedPorts& used) {
  errors.lines.clear();
  errors.widestPixels = 0;
  used.fill(false);
  Validation check(errors, used, model, showAllReferencedPorts);
  for (int i = 0; i < MotorCount; ++i) {
    MotorAssignment& m = model.motors[i];
    if (m.active) {
      check.Pair({L"Dir port", L"Step port", L"Dir pin", L"Step pin"}, i, m.dirPort, m.stepPort, m.dirPin, m.stepPin);
    }
  }
  for (int i = 0; i < EncoderCount; ++i) {
    EncoderAssignment& e = model.encoders[i];
    if (e.active) {
      check.Pair({L"Encoder A-port", L"Encoder B-port", L"Encoder A-pin", L"Encoder B-pin"}, i, e.aPort, e.bPort,
                 e.aPin, e.bPin);
    }
  }
  for (int i = 0; i < InputCount; ++i) {
    InputAssignment& input = model.inputs[i];
    if (input.active) check.Single(L"Input port", L"Input pin", i, input.port, input.pin);
  }
  for (int i = 0; i < OutputCount; ++i) {
    OutputAssignment& output = model.outputs[i];
    if (output.active) check.Single(L"Output port", L"Output pin", i, output.port, output.pin);
  }
}

static uint32_t PhysicalDirectionFlags(int pin) {
  switch (PinDirectionOf(pin)) {
    case PinDirection::Output: return DirectionOut;
    case PinDirection::Input: return DirectionIn;
    default: return 0;
  }
}

using PinFlagsOfPort = std::array<uint32_t, UsagePinCount>;

static PinFlagsOfPort PhysicalDirectionsOfPort() {
  PinFlagsOfPort flags;
  for (int pin = 0; pin < UsagePinCount; ++pin) flags[pin] = PhysicalDirectionFlags(pin);
  return flags;
}

// The name lists keep their memory: a page is built again for every port
// the user opens, and each list holds a name or two.
void ResetPinUsageTable(PinUsageTable& table) {
  static const PinFlagsOfPort physical = PhysicalDirectionsOfPort();
  for (auto& port : table.pins) {
    for (int pin = 0; pin < UsagePinCount; ++pin) {
      PinUsage& usage = port[pin];
      usage.count = 0;
      usage.flags = physical[pin];
      usage.hotKey = 0;
      usage.names.clear();
    }
  }
}

namespace {

enum class SignalKind { Motor, Encoder, Input, Output };

struct Signal {
  SignalKind kind;
  int32_t port, pin, neg;
  const wchar_t* name;
  int32_t emulated = 0, emuKey = 0;
};

uint32_t DirectionResult(const PinModel& model, const Signal& signal) {
  const bool sendsToMachine = signal.kind == SignalKind::Motor || signal.kind == SignalKind::Output;
  if (signal.port == 0 && signal.kind == SignalKind::Input) return DirectionIn;
  if (signal.port == 0 && signal.kind == SignalKind::Output) return DirectionOut;
  const bool port2Input = IsPort2InputPin(model, signal.port, signal.pin);
  const PinDirection direction = PinDirectionOf(signal.pin);
  if (sendsToMachine) {
    if (direction == PinDirection::Output && !port2Input) return DirectionOut;
    return WrongDirection | DirectionIn;
  }
  if (direction == PinDirection::Input || port2Input) return DirectionIn;
  return WrongDirection | DirectionOut;
}

void Place(PinUsageTable& table, const PinModel& model, const Signal& signal) {
  // Validation leaves only port-0 pins out of range; they are listed there
  // and kept out of the table.
  if (signal.port < 0 || signal.port >= MachPortCount || signal.pin < 0 || signal.pin >= UsagePinCount) return;
  PinUsage& usage = table.pins[signal.port][signal.pin];
  ++usage.count;
  if (signal.pin >= 18 && signal.port != 0) usage.flags |= IllegalPin;
  usage.names.push_back(signal.name);
  if (!(usage.flags & IllegalPin)) usage.flags |= DirectionResult(model, signal);
  if (signal.kind != SignalKind::Encoder && signal.neg != 0) usage.flags |= ActiveLow;
  if (signal.kind == SignalKind::Input && signal.emulated != 0) {
    usage.flags |= EmulatedKey;
    usage.hotKey = signal.emuKey;
  }
}

}  // namespace

void BuildPinUsageTable(const PinModel& model, PinUsageTable& table) {
  for (int i = 0; i < MotorCount; ++i) {
    const MotorAssignment& m = model.motors[i];
    if (!m.active) continue;
    Place(table, model, {SignalKind::Motor, m.dirPort, m.dirPin, m.dirNeg, MotorDirName(i)});
    Place(table, model, {SignalKind::Motor, m.stepPort, m.stepPin, m.stepNeg, MotorStepName(i)});
  }
  for (int i = 0; i < EncoderCount; ++i) {
    const EncoderAssignment& e = model.encoders[i];
    if (!e.active) continue;
    Place(table, model, {SignalKind::Encoder, e.aPort, e.aPin, 0, EncoderAName(i)});
    Place(table, model, {SignalKind::Encoder, e.bPort, e.bPin, 0, EncoderBName(i)});
  }
  for (int i = 0; i < InputCount; ++i) {
    const InputAssignment& in = model.inputs[i];
    if (!in.active) continue;
    Place(table, model, {SignalKind::Input, in.port, in.pin, in.neg, InputSignalName(i), in.emulated, in.emuKey});
  }
  for (int i = 0; i < OutputCount; ++i) {
    const OutputAssignment& out = model.outputs[i];
    if (!out.active) continue;
    Place(table, model, {SignalKind::Output, out.port, out.pin, out.neg, OutputSignalName(i)});
  }
}

static std::wstring PortNameCell(int port, const PinModel& model, const LptPortTable& ports, int found) {
  if (found) {
    const LptPortInfo& entry = ports[found - 1];
    return FormatText(L"%s  %s", entry.portName.c_str(), entry.friendlyName.c_str());
  }
  return FormatText(L"Port 0x%x %s", model.ports[port].address, SelectText(TextUnknownToThisSystem));
}

static std::wstring StatusCell(PinUsage& usage) {
  std::wstring illegal, wrong, multiple;
  if (usage.flags & IllegalPin) illegal = FormatText(L"%s   ", SelectText(TextIllegalPinNumber));
  if (usage.flags & WrongDirection) wrong = FormatText(L"%s   ", SelectText(TextWrongDirection));
  if (usage.count > 1) {
    multiple = FormatText(L"%s (%d)   ", SelectText(TextMultipleUse), usage.count);
    usage.flags |= MultipleUse;
  }
  return illegal + wrong + multiple;
}

static PinRow UsedPinRow(int port, int pin, PinUsage& usage, const PinModel& model, const LptPortTable& ports) {
  const int found = FindLptForMachPort(port, model, ports);
  PinRow row;
  row[0] = DecimalText(pin);
  row[1] = DecimalText(port);
  row[2] = PortNameCell(port, model, ports, found);
  row[3] = found ? FormatText(L"Port 0x%x", ports[found - 1].address) : L" ";
  if (!usage.names.empty()) row[4] = usage.names.back();
  if (usage.flags & DirectionIn) row[5] = ArrowIn;
  else if (usage.flags & DirectionOut) row[5] = ArrowOut;
  row[6] = (usage.flags & ActiveLow) ? L"0 aktiv" : L"1 aktiv";
  row[7] = usage.hotKey != 0 ? FormatHotKey(usage.hotKey) : L" ";
  row[8] = StatusCell(usage);
  return row;
}

static PinRow UnusedPinRow(int port, int pin, const PinModel& model) {
  PinRow row;
  row[0] = DecimalText(pin);
  switch (PinDirectionOf(pin)) {
    case PinDirection::Ground:
      row[4] = L" Ground";
      row[5] = ArrowGround;
      break;
    case PinDirection::Input:
      row[5] = ArrowIn;
      break;
    case PinDirection::Output:
      row[5] = IsPort2InputPin(model, port, pin) ? ArrowIn : ArrowOut;
      break;
    case PinDirection::None:
      break;
  }
  return row;
}

std::array<PinRow, PinRowCount> BuildPinRows(int port, PinUsageTable& table, const PinModel& model,
                                             const LptPortTable& ports) {
  std::array<PinRow, PinRowCount> rows;
  for (int pin = 1; pin <= PinRowCount; ++pin) {
    PinUsage& usage = table.pins[port][pin];
    rows[pin - 1] = usage.count > 0 ? UsedPinRow(port, pin, usage, model, ports) : UnusedPinRow(port, pin, model);
  }
  return rows;
}

static PinRow ModbusRow(int index, const wchar_t* name, const wchar_t* arrow) {
  PinRow row;
  row[0] = DecimalText(index);
  row[1] = L"0";
  row[2] = L" ";
  row[3] = L" ";
  row[4] = name;
  row[5] = arrow;
  return row;
}

// The name column shows the signal's own name: the pin number of a Modbus
// signal is a register, not an index into the names.
std::vector<PinRow> BuildModbusRows(const PinModel& model) {
  std::vector<PinRow> rows;
  for (int i = 0; i < InputCount; ++i) {
    if (model.inputs[i].active && model.inputs[i].port == 0) rows.push_back(ModbusRow(i, InputSignalName(i), ArrowIn));
  }
  for (int i = 0; i < OutputCount; ++i) {
    if (model.outputs[i].active && model.outputs[i].port == 0) {
      rows.push_back(ModbusRow(i, OutputSignalName(i), ArrowOut));
    }
  }
  return rows;
}

static std::wstring NameListLine(const TextTriple& text, int pin, const std::vector<std::wstring_view>& names) {
  std::wstring line = FormatText(L"%s %d ", SelectText(text), pin);
  line += names[0];
  for (size_t i = 1; i < names.size(); ++i) {
    line += L"   ";
    line += names[i];
  }
  return line;
}

std::vector<std::wstring> PinFaultDetails(const PinUsage& usage, int pin) {
  std::vector<std::wstring> lines;
  if (usage.names.empty()) return lines;
  if (usage.flags & MultipleUse) lines.push_back(NameListLine(TextDetailMultipleUse, pin, usage.names));
  if (usage.flags & WrongDirection) lines.push_back(NameListLine(TextDetailDirection, pin, usage.names));
  if (usage.flags & IllegalPin) lines.push_back(FormatText(L"%s\t %d", SelectText(TextIllegalPinNumber), pin));
  return lines;
}
