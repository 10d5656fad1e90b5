// The port address in a device's resource list, for both Windows widths,
// and the match of a Mach port to a found port.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pins/portable/lpt_ports.h"
#include "tests/pins/portable/resource_list_sample.h"

namespace {

using namespace resource_sample;

TEST(AllocConfigAddressTest, FirstPortRangeOfRealLists) {
  struct Case {
    const char* name;
    std::vector<Partial> partials;
    size_t cutTo;  // 0: the whole list
    int32_t address;
  };
  const std::vector<Case> cases = {
      {"LPT1 with ECP range, IRQ and DMA", {{Port, 0x378, 8}, {Port, 0x778, 8}, {Interrupt, 7, 7}, {Dma, 3, 0}}, 0,
       0x378},
      {"PCI card, interrupt first", {{Interrupt, 16, 16}, {Port, 0xE010, 8}, {Port, 0xE000, 4}}, 0, 0xE010},
      {"interrupt only", {{Interrupt, 7, 7}}, 0, -1},
      {"cut inside the port descriptor", {{Port, 0x378, 8}}, 26, -1},
      {"cut inside the header", {{Port, 0x378, 8}}, 14, -1},
      {"nothing", {}, 0, -1},
  };
  for (size_t width : {ResourceDescriptorSize32, ResourceDescriptorSize64}) {
    for (const Case& c : cases) {
      std::vector<uint8_t> list = ResourceList(c.partials, width, 5);
      if (c.cutTo) list.resize(c.cutTo);
      EXPECT_EQ(AllocConfigAddress(list.data(), list.size(), width), c.address) << c.name << ", width " << width;
    }
  }
  // Read with the other width, a list is taken apart wrongly: the width matters.
  const std::vector<uint8_t> pci = ResourceList({{Interrupt, 16, 16}, {Port, 0xE010, 8}}, ResourceDescriptorSize64);
  EXPECT_NE(AllocConfigAddress(pci.data(), pci.size(), ResourceDescriptorSize32), 0xE010);
  // Counts far beyond the data end the reading at the value's end.
  std::vector<uint8_t> huge = ResourceList({{Interrupt, 7, 7}}, ResourceDescriptorSize32);
  huge[16] = huge[17] = huge[18] = huge[19] = 0xFF;
  EXPECT_EQ(AllocConfigAddress(huge.data(), huge.size(), ResourceDescriptorSize32), -1);
}

TEST(FindLptForMachPortTest, MatchesEnabledPortsByAddress) {
  LptPortTable table = {};
  table[0] = {0x278, 1, L"LPT2", L""};
  table[1] = {0x378, 1, L"LPT1", L""};
  table[2] = {0x3BC, 0, L"old", L""};  // not found by the latest run
  PinModel model = {};
  model.ports[1] = {888, 1};
  model.ports[2] = {888, 0};
  model.ports[3] = {0x3BC, 1};
  model.ports[4] = {0, 1};
  EXPECT_EQ(FindLptForMachPort(1, model, table), 2);
  EXPECT_EQ(FindLptForMachPort(2, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(3, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(4, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(0, model, table), 0);
  EXPECT_EQ(FindLptForMachPort(9, model, table), 0);
}

}  // namespace
