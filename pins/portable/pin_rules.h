// The pin assignment check: bad port and pin numbers, the use of every
// connector pin, and the rows that the report pages show. Needs no Windows
// header.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/portable/text_triple.h"
#include "pins/portable/lpt_ports.h"
#include "pins/portable/pin_model.h"

inline constexpr int UsagePinCount = 53;  // pins 0..52 of every port
inline constexpr int PinRowCount = 25;
inline constexpr int PinColumnCount = 9;
inline constexpr size_t NumberErrorCapacity = 256;

enum PinFlags : uint32_t {
  DirectionIn = 0x01,
  DirectionOut = 0x02,
  ActiveLow = 0x04,
  EmulatedKey = 0x08,
  WrongDirection = 0x10,
  MultipleUse = 0x20,
  IllegalPin = 0x40,
};

// Pins that a page draws red on grey and whose details can be asked for.
inline constexpr uint32_t FaultFlags = WrongDirection | MultipleUse | IllegalPin;

struct NumberErrorList {
  std::vector<std::wstring> lines;  // at most NumberErrorCapacity
  int widestPixels = 0;
};

struct PinUsage {
  int32_t count = 0;
  uint32_t flags = 0;
  int32_t hotKey = 0;
  std::vector<std::wstring_view> names;  // in placement order; the signals' fixed names
};

struct PinUsageTable {
  PinUsage pins[MachPortCount][UsagePinCount];
};

using UsedPorts = std::array<bool, MachPortCount>;
using PinRow = std::array<std::wstring, PinColumnCount>;

// Lists and zeroes every bad port and pin number of the active signals, and
// marks the ports the pages are for: every port referenced, or only enabled
// ones. Port-0 inputs and outputs keep their pin, but one outside the table
// is listed too.
void ValidatePinModel(PinModel& model, bool showAllReferencedPorts, NumberErrorList& errors, UsedPorts& used);

// Every pin of every port with only its physical direction.
void ResetPinUsageTable(PinUsageTable& table);

// Places every active signal of a validated model on its port and pin.
void BuildPinUsageTable(const PinModel& model, PinUsageTable& table);

// The 25 rows of a parallel port's page; marks pins used more than once.
std::array<PinRow, PinRowCount> BuildPinRows(int port, PinUsageTable& table, const PinModel& model,
                                             const LptPortTable& ports);

// The rows of the Modbus page: port-0 inputs, then port-0 outputs.
std::vector<PinRow> BuildModbusRows(const PinModel& model);

// Lines for the details box of a faulty pin, in the order shown.
std::vector<std::wstring> PinFaultDetails(const PinUsage& usage, int pin);

// Texts of the check that other files show.
extern const TextTriple TextIllegalPinNumber;
extern const TextTriple TextUnknownToThisSystem;

inline constexpr const wchar_t* ArrowIn = L"  <----  ";
inline constexpr const wchar_t* ArrowOut = L"  ---->  ";
inline constexpr const wchar_t* ArrowGround = L"  <--->  ";
