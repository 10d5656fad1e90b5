// The pin assignment model of one profile: on which parallel port and pin
// each motor, encoder, input and output signal sits, and the fixed names and
// pin directions the port checks show. Needs no Windows header.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

inline constexpr int MachPortCount = 9;  // 0 is the Modbus port, 1..8 parallel ports
inline constexpr int MotorCount = 8;
inline constexpr int EncoderCount = 8;
inline constexpr int InputCount = 53;
inline constexpr int OutputCount = 31;

struct MachPortSetting {
  int32_t address;
  int32_t enabled;
};

struct MotorAssignment {
  int32_t active, dirNeg, dirPort, dirPin, stepNeg, stepPort, stepPin;
};

struct EncoderAssignment {
  int32_t active, aPin, aPort, bPin, bPort, cal;
};

struct InputAssignment {
  int32_t active, port, pin, neg, emulated, emuKey;
};

struct OutputAssignment {
  int32_t active, port, pin, neg;
};

struct PinModel {
  MachPortSetting ports[MachPortCount];
  MotorAssignment motors[MotorCount];
  EncoderAssignment encoders[EncoderCount];
  InputAssignment inputs[InputCount];
  OutputAssignment outputs[OutputCount];
  int32_t port2Input;
};

// Looks a key up in the loaded profile: true and the value's text when found.
using KeyLookup = std::function<bool(const wchar_t* key, std::wstring& value)>;

// Reads the model key by key; absent keys leave zeros. A signal whose
// "...Active" key is missing is not read further.
PinModel ReadPinModel(const KeyLookup& lookup);

// The runtime's decimal text to integer rule: leading blanks, a sign, digits
// up to the first non-digit; no digits gives 0.
int32_t ProfileInteger(const wchar_t* text);

enum class PinDirection { None, Output, Input, Ground };

// The electrical direction of a connector pin 1..25.
PinDirection PinDirectionOf(int32_t pin);

// Port 2's data pins 2..9 are inputs when the profile says so.
bool IsPort2InputPin(const PinModel& model, int32_t port, int32_t pin);

// Signal names; an index without a name gives an empty text.
const wchar_t* MotorName(int index);
const wchar_t* InputSignalName(int index);
const wchar_t* OutputSignalName(int index);
const wchar_t* MotorDirName(int motor);
const wchar_t* MotorStepName(int motor);
const wchar_t* EncoderAName(int encoder);
const wchar_t* EncoderBName(int encoder);

// The text of an emulated input's key code; empty for 0.
std::wstring FormatHotKey(int32_t key);
