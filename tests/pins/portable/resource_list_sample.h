// "AllocConfig" values laid out as Windows writes them: a CM_RESOURCE_LIST
// with one full descriptor. Needs no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace resource_sample {

enum Type : uint8_t { Port = 1, Interrupt = 2, Dma = 4 };

struct Partial {
  uint8_t type;
  uint32_t first;   // port start, interrupt level or DMA channel
  uint32_t second;  // port length, interrupt vector or DMA port
};

inline void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// `descriptorSize` is 16 as 32-bit Windows writes it, 20 as 64-bit does.
inline std::vector<uint8_t> ResourceList(const std::vector<Partial>& partials, size_t descriptorSize,
                                         uint32_t interfaceType = 1 /* ISA */) {
  std::vector<uint8_t> out;
  Put32(out, 1);  // full descriptors
  Put32(out, interfaceType);
  Put32(out, 0);  // bus number
  Put32(out, 0x00010001);  // version 1, revision 1
  Put32(out, static_cast<uint32_t>(partials.size()));
  for (const Partial& partial : partials) {
    const size_t start = out.size();
    out.insert(out.end(), {partial.type, 1 /* device exclusive */, 0, 0});
    Put32(out, partial.first);
    if (partial.type == Port) Put32(out, 0);  // high half of the 64-bit start
    Put32(out, partial.second);
    out.resize(start + descriptorSize, 0);
  }
  return out;
}

// A plain LPT1 as Windows lists it: its port range, the ECP range, IRQ 7 and DMA 3.
inline std::vector<uint8_t> PrinterPort(uint32_t address, size_t descriptorSize) {
  return ResourceList({{Port, address, 8}, {Port, address + 0x400, 8}, {Interrupt, 7, 7}, {Dma, 3, 0}},
                      descriptorSize);
}

}  // namespace resource_sample
