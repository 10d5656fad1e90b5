// The port table's lookups; needs no Windows header.
#include "pins/lpt_ports.h"

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

int32_t AllocConfigAddress(const unsigned char* data, size_t size) {
  if (size < 51) return -1;
  return data[50] * 256 + data[48];
}
