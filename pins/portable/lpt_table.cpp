// The port table's lookups; needs no Windows header.
#include "pins/portable/lpt_ports.h"

LptPortTable LptPorts;

int FindLptForMachPort(int machPort, const PinModel& model, const LptPortTable& table) {
  if (machPort < 0 || machPort >= MachPortCount || model.ports[machPort].enabled == 0) return 0;
  // Only ports found by the latest run count: an entry left empty (address
  // 0) must not pass for a port at address 0.
  for (int number = 1; number <= LptPortCapacity; ++number) {
    if (table[number - 1].present && table[number - 1].address == model.ports[machPort].address) return number;
  }
  return 0;
}

namespace {

constexpr unsigned char ResourceTypePort = 1;
constexpr unsigned char ResourceTypeDeviceSpecific = 5;  // followed by its own data
constexpr size_t FullDescriptorHeader = 16;  // interface type, bus, version, revision, count

// A little-endian 32-bit word at `offset`, when all four bytes are there.
bool Word32(const unsigned char* data, size_t size, size_t offset, uint32_t& value) {
  if (offset > size || size - offset < 4) return false;
  value = data[offset] | data[offset + 1] << 8 | data[offset + 2] << 16 | static_cast<uint32_t>(data[offset + 3]) << 24;
  return true;
}

}  // namespace

// The list: a count of full descriptors, each a header and that many partial
// descriptors (type byte first, a port's start 4 bytes in). Every step is
// checked against the value's length, whatever the counts say.
int32_t AllocConfigAddress(const unsigned char* data, size_t size, size_t descriptorSize) {
  uint32_t fullCount = 0;
  if (descriptorSize < 12 || !Word32(data, size, 0, fullCount)) return -1;
  size_t at = 4;
  for (uint32_t full = 0; full < fullCount; ++full) {
    uint32_t partialCount = 0;
    if (!Word32(data, size, at + 12, partialCount)) return -1;
    at += FullDescriptorHeader;
    for (uint32_t partial = 0; partial < partialCount; ++partial) {
      if (size - at < descriptorSize) return -1;
      uint32_t word = 0;
      Word32(data, size, at + 4, word);
      if (data[at] == ResourceTypePort) return static_cast<int32_t>(word & 0x7FFFFFFF);
      at += descriptorSize;
      if (data[at - descriptorSize] == ResourceTypeDeviceSpecific) {
        if (word > size - at) return -1;
        at += word;
      }
    }
  }
  return -1;
}
