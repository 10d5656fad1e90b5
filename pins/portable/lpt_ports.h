// The parallel ports that Windows knows, found in the registry's device
// enumeration, and the match of a Mach port to one of them by address.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "pins/portable/pin_model.h"

inline constexpr int LptPortCapacity = 256;
inline constexpr size_t LptNameCapacity = 99;  // characters of a port or friendly name

struct LptPortInfo {
  int32_t address;
  int32_t present;
  std::wstring portName;
  std::wstring friendlyName;
};

// Entries are numbered 1..256 for callers: number k is LptPorts[k - 1].
using LptPortTable = std::array<LptPortInfo, LptPortCapacity>;
extern LptPortTable LptPorts;

// Empties the table and refills it from the registry; returns the number of
// ports found.
int DiscoverLptPorts();

// Number 1..256 of the first present entry whose address is the Mach
// port's, or 0.
// A port not enabled in the profile (port 0 among them) gives 0.
int FindLptForMachPort(int machPort, const PinModel& model, const LptPortTable& table = LptPorts);

// Length of one partial resource descriptor as the Windows that wrote the
// list lays it out: 16 bytes on 32-bit Windows, 20 on 64-bit.
inline constexpr size_t ResourceDescriptorSize32 = 16;
inline constexpr size_t ResourceDescriptorSize64 = 20;

// The descriptor length of the Windows this program runs on (a 32-bit build
// may run on 64-bit Windows).
size_t WindowsResourceDescriptorSize();

// The start of the first I/O port range in a device's "AllocConfig" resource
// list (a CM_RESOURCE_LIST); -1 when the list is cut short or holds no port.
int32_t AllocConfigAddress(const unsigned char* data, size_t size, size_t descriptorSize);
