// Reading the pin model from profile keys, and the subsystem's vocabulary.
#include "pins/portable/pin_model.h"

#include <array>
#include <cstddef>
#include <cwchar>
#include <iterator>
#include <vector>

#include "app/portable/text_format.h"

int32_t ProfileInteger(const wchar_t* text) {
  const wchar_t* p = text;
  while (*p == L' ' || (*p >= L'\t' && *p <= L'\r')) ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
  // Accumulate in 64 bits and wrap like the 32-bit runtime does, without
  // the undefined behaviour of a signed overflow.
  uint32_t value = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) value = value * 10u + static_cast<uint32_t>(*p - L'0');
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

namespace {

struct KeyField {
  const wchar_t* format;  // "%d" is the signal's index
  size_t offset;          // of the int32_t field in the record
};

// The key `format` names for a signal or port: its "%d" replaced by the
// number (never negative). The formats are the short ones below.
std::wstring KeyOf(const wchar_t* format, int index) {
  const wchar_t* mark = std::wcsstr(format, L"%d");
  std::wstring key(format, mark);
  key += std::to_wstring(index);
  key += mark + 2;
  return key;
}

// Every key of one kind of record, made once: a check asks for hundreds of
// keys, and the user may check again and again. Per index: the "...Active"
// key when the kind has one, then one key per field.
class KeyTable {
 public:
  KeyTable(int count, const wchar_t* activeFormat, const KeyField* fields, size_t fieldCount)
      : first_(activeFormat ? 1 : 0), stride_(first_ + fieldCount) {
    for (int index = 0; index < count; ++index) {
      if (activeFormat) keys_.push_back(KeyOf(activeFormat, index));
      for (size_t f = 0; f < fieldCount; ++f) keys_.push_back(KeyOf(fields[f].format, index));
    }
  }
  const wchar_t* Active(int index) const { return keys_[index * stride_].c_str(); }
  const wchar_t* Field(int index, size_t field) const { return keys_[index * stride_ + first_ + field].c_str(); }

 private:
  size_t first_, stride_;
  std::vector<std::wstring> keys_;
};

template <typename Record>
void ReadFields(const KeyLookup& lookup, const KeyTable& keys, int index, const KeyField* fields,
                size_t fieldCount, Record& record, std::wstring& value) {
  for (size_t f = 0; f < fieldCount; ++f) {
    if (lookup(keys.Field(index, f), value)) {
      *reinterpret_cast<int32_t*>(reinterpret_cast<char*>(&record) + fields[f].offset) =
          ProfileInteger(value.c_str());
    }
  }
}

template <typename Record, size_t FieldCount>
void ReadRecords(const KeyLookup& lookup, Record* records, int count, const KeyTable& keys,
                 const KeyField (&fields)[FieldCount]) {
  std::wstring value;
  for (int index = 0; index < count; ++index) {
    if (!lookup(keys.Active(index), value)) continue;
    records[index].active = ProfileInteger(value.c_str());
    ReadFields(lookup, keys, index, fields, FieldCount, records[index], value);
  }
}

#define FIELD(Record, key, field) {key, offsetof(Record, field)}

// A port's address is read even when its "...On" key is missing.
const KeyField PortFields[] = {
    FIELD(MachPortSetting, L"Port%dOn", enabled),
    FIELD(MachPortSetting, L"Port%dAdd", address),
};
const KeyField MotorFields[] = {
    FIELD(MotorAssignment, L"Motor%dDirNeg", dirNeg),     FIELD(MotorAssignment, L"Motor%dDirPort", dirPort),
    FIELD(MotorAssignment, L"Motor%dDirPin", dirPin),     FIELD(MotorAssignment, L"Motor%dStepNeg", stepNeg),
    FIELD(MotorAssignment, L"Motor%dStepPort", stepPort), FIELD(MotorAssignment, L"Motor%dStepPin", stepPin),
};
const KeyField EncoderFields[] = {
    FIELD(EncoderAssignment, L"Encoder%dAPin", aPin),   FIELD(EncoderAssignment, L"Encoder%dAPort", aPort),
    FIELD(EncoderAssignment, L"Encoder%dBPin", bPin),   FIELD(EncoderAssignment, L"Encoder%dBPort", bPort),
    FIELD(EncoderAssignment, L"Encoder%dCal", cal),
};
const KeyField InputFields[] = {
    FIELD(InputAssignment, L"Input%dPort", port),         FIELD(InputAssignment, L"Input%dPin", pin),
    FIELD(InputAssignment, L"Input%dNeg", neg),           FIELD(InputAssignment, L"Input%dEmulated", emulated),
    FIELD(InputAssignment, L"Input%dEmuKey", emuKey),
};
const KeyField OutputFields[] = {
    FIELD(OutputAssignment, L"Output%dPort", port),
    FIELD(OutputAssignment, L"Output%dPin", pin),
    FIELD(OutputAssignment, L"Output%dNeg", neg),
};

#undef FIELD

template <size_t N>
KeyTable KeysOf(int count, const wchar_t* activeFormat, const KeyField (&fields)[N]) {
  return KeyTable(count, activeFormat, fields, N);
}

}  // namespace

PinModel ReadPinModel(const KeyLookup& lookup) {
  static const KeyTable portKeys = KeysOf(MachPortCount, nullptr, PortFields);
  static const KeyTable motorKeys = KeysOf(MotorCount, L"Motor%dActive", MotorFields);
  static const KeyTable encoderKeys = KeysOf(EncoderCount, L"Encoder%dActive", EncoderFields);
  static const KeyTable inputKeys = KeysOf(InputCount, L"Input%dActive", InputFields);
  static const KeyTable outputKeys = KeysOf(OutputCount, L"Output%dActive", OutputFields);
  PinModel model = {};
  std::wstring value;
  for (int port = 1; port < MachPortCount; ++port) {
    ReadFields(lookup, portKeys, port, PortFields, std::size(PortFields), model.ports[port], value);
  }
  ReadRecords(lookup, model.motors, MotorCount, motorKeys, MotorFields);
  ReadRecords(lookup, model.encoders, EncoderCount, encoderKeys, EncoderFields);
  ReadRecords(lookup, model.inputs, InputCount, inputKeys, InputFields);
  ReadRecords(lookup, model.outputs, OutputCount, outputKeys, OutputFields);
  if (lookup(L"Port2Input", value)) model.port2Input = ProfileInteger(value.c_str());
  return model;
}

PinDirection PinDirectionOf(int32_t pin) {
  switch (pin) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 9: case 14: case 16: case 17:
      return PinDirection::Output;
    case 10: case 11: case 12: case 13: case 15:
      return PinDirection::Input;
    default:
      return pin >= 18 && pin <= 25 ? PinDirection::Ground : PinDirection::None;
  }
}

bool IsPort2InputPin(const PinModel& model, int32_t port, int32_t pin) {
  return model.port2Input != 0 && port == 2 && pin >= 2 && pin <= 9;
}

static const wchar_t* const MotorNames[MotorCount] = {L" X ", L" Y ", L" Z ", L" A ",
                                                      L" B ", L" C ", L"Spindle", L" "};

static const wchar_t* const InputNames[InputCount] = {
    L"X++",        L"X--",        L"XHome",       L"Y++",        L"Y--",        L"YHome",
    L"Z++",        L"Z--",        L"ZHome",       L"A++",        L"A--",        L"AHome",
    L"B++",        L"B--",        L"BHome",       L"C++",        L"C--",        L"CHome",
    L"Input#1",    L"Input#2",    L"Input#3",     L"Input#4",    L"Probe",      L"Index",
    L"Limit override", L"EStop",  L"THCOn",       L"THCUp",      L"THCDown",    L"OEMTrig#1",
    L"OEMTrig#2",  L"OEMTrig#3",  L"OEMTrig#4",   L"OEMTrig#5",  L"OEMTrig#6",  L"OEMTrig#7",
    L"OEMTrig#8",  L"OEMTrig#9",  L"OEMTrig#10",  L"OEMTrig#11", L"OEMTrig#12", L"OEMTrig#13",
    L"OEMTrig#14", L"OEMTrig#15", L"Timing",      L"JogX++",     L"JogX--",     L"JogY++",
    L"JogY--",     L"JogZ++",     L"JogZ--",      L"JogA++",     L"JogA--"};

// Mach3 reads 31 outputs but names 30; the last one goes by its number.
static const wchar_t* const OutputNames[OutputCount] = {
    L"Digit Trig", L"Enable#1",    L"Enable#2",      L"Enable#3",       L"Enable#4",  L"Enable#5",
    L"Enable#6",   L"Output#1",    L"Output#2",      L"Output#3",       L"Output#4",  L"Output#5",
    L"Output#6",   L"Charge Pump", L"Charge Pump 2", L"Current Hi/Low", L"Output#7",  L"Output#8",
    L"Output#9",   L"Output#10",   L"Output#11",     L"Output#12",      L"Output#13", L"Output#14",
    L"Output#15",  L"Output#16",   L"Output#17",     L"Output#18",      L"Output#19", L"Output#20",
    L"Output30"};

const wchar_t* MotorName(int index) { return index >= 0 && index < MotorCount ? MotorNames[index] : L""; }
const wchar_t* InputSignalName(int index) { return index >= 0 && index < InputCount ? InputNames[index] : L""; }
const wchar_t* OutputSignalName(int index) {
  return index >= 0 && index < OutputCount ? OutputNames[index] : L"";
}

// "Dir " or "Step " and the motor's name; "Encoder", the number and the
// channel. Made once, since the check names every signal it places.
using SignalNames = std::array<std::wstring, MotorCount>;
static_assert(MotorCount == EncoderCount);

static SignalNames MakeSignalNames(const wchar_t* format, bool byMotorName) {
  SignalNames names;
  for (int i = 0; i < MotorCount; ++i) names[i] = byMotorName ? FormatText(format, MotorName(i)) : FormatText(format, i);
  return names;
}

enum SignalNameSet { DirNames, StepNames, EncoderANames, EncoderBNames };

static const wchar_t* SignalName(SignalNameSet set, int index) {
  static const std::array<SignalNames, 4> names = {
      MakeSignalNames(L"Dir %s", true), MakeSignalNames(L"Step %s", true),
      MakeSignalNames(L"Encoder%d A", false), MakeSignalNames(L"Encoder%d B", false)};
  return index >= 0 && index < MotorCount ? names[set][index].c_str() : L"";
}

const wchar_t* MotorDirName(int motor) { return SignalName(DirNames, motor); }
const wchar_t* MotorStepName(int motor) { return SignalName(StepNames, motor); }
const wchar_t* EncoderAName(int encoder) { return SignalName(EncoderANames, encoder); }
const wchar_t* EncoderBName(int encoder) { return SignalName(EncoderBNames, encoder); }

std::wstring FormatHotKey(int32_t key) {
  if (key == 0) return std::wstring();
  std::wstring text;
  if (key & 0x8000) text += L"Ctrl ";
  if (key & 0x400) text += L"Shift ";
  if (key & 0x800) text += L"Alt ";
  text += L'"';
  if (const wchar_t character = static_cast<wchar_t>(key & 0xFF)) text += character;
  text += L'"';
  return FormatText(L"%s (%d)", text.c_str(), key);
}
