// What the Show params pages read from a profile: the motor rows with their
// values as text, and the rows of the four pin lists. Needs no Windows
// header.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/portable/text_triple.h"
#include "pins/portable/pin_model.h"

inline constexpr int MotorRowCount = 7;  // axes X..C and the spindle
inline constexpr int SpindleRow = 6;
inline constexpr int AxisRowCount = 6;

// The row names of the motor page and of the motor lines in the lists.
const wchar_t* MotorRowName(int row);

// One motor row as shown: every value the text found in the profile ("--"
// where the spindle has none), empty where a key is missing.
struct MotorRowValues {
  bool shown = false;
  std::wstring dirPort, dirPin, dirNeg, stepPort, stepPin, stepNeg, reversed, homeNeg, steps, velocity, accel;
};

struct MotorPageValues {
  std::array<MotorRowValues, MotorRowCount> rows;
  std::wstring dirPulse, stepPulse, port2Input;
  bool anyActive = false;
  bool complete = true;  // false when the user stopped at a missing key
};

// Asked once with all keys missing from one reading (the message box);
// false stops the page where the first missing key was.
using MissingKeyHandler = std::function<bool(const std::vector<std::wstring>& keys)>;

// Reads the motor page's values in the order the page shows them. A missing
// "Vel%d" is skipped without asking.
MotorPageValues ReadMotorPage(const KeyLookup& lookup, const MissingKeyHandler& onMissing);

// The numbers the motor table prints, from the texts the page read. A
// missing (empty) reversed, home-negative or profile-wide value counts as -1.
struct MotorPrintRow {
  int32_t active, dirPort, dirPin, dirNeg, stepPort, stepPin, stepNeg, reversed, homeNeg;
  double steps, velocity, accel;
};
struct MotorPrintValues {
  std::array<MotorPrintRow, AxisRowCount> rows;
  int32_t dirPulse, stepPulse, port2Input;
};
MotorPrintValues MotorPrintValuesOf(const MotorPageValues& page);

enum class ParamList { UsedPins, InputPins, OutputPins, EncoderPins };

using ParamRow = std::vector<std::wstring>;

// The rows of a list in reading order; a cell whose key is missing is empty.
std::vector<ParamRow> BuildParamRows(ParamList list, const KeyLookup& lookup);

// Order of two rows when a list is sorted by a column: by text (code
// units), column 1 by its number, column 2 by port × 100 + pin.
int CompareParamRows(const ParamRow& a, const ParamRow& b, int column);

// The runtime's text to floating-point rule: leading blanks, then as much
// of a decimal number as there is; nothing gives 0.
double ProfileNumber(const wchar_t* text);
