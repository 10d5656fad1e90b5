// The print file reader on any bytes; a file it accepts is written again
// and read back, and must give the same fields.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "settings_view/portable/print_file.h"

static bool SameSlot(const ToolSlot& a, const ToolSlot& b) {
  return std::wcscmp(a.number, b.number) == 0 && std::wcscmp(a.description, b.description) == 0 &&
         std::wcscmp(a.diameter, b.diameter) == 0 && std::wcscmp(a.diameterWear, b.diameterWear) == 0 &&
         std::wcscmp(a.height, b.height) == 0 && std::wcscmp(a.heightWear, b.heightWear) == 0 && a.valid == b.valid;
}

static void CheckSameRows(const std::vector<SettingsDialog>& a, const std::vector<SettingsDialog>& b) {
  FUZZ_CHECK(a.size() == b.size());
  for (size_t d = 0; d < a.size(); ++d) {
    FUZZ_CHECK(a[d].height == b[d].height && a[d].left == b[d].left && a[d].top == b[d].top &&
               a[d].width == b[d].width && a[d].defaultHeight == b[d].defaultHeight);
    FUZZ_CHECK(a[d].rows.size() == b[d].rows.size());
    for (size_t r = 0; r < a[d].rows.size(); ++r) {
      const SettingsRow& x = a[d].rows[r];
      const SettingsRow& y = b[d].rows[r];
      FUZZ_CHECK(x.kind == y.kind && x.x == y.x && x.y == y.y && x.width == y.width && x.height == y.height);
      FUZZ_CHECK(x.labelWidth == y.labelWidth && x.format == y.format && x.absX == y.absX && x.absY == y.absY);
      FUZZ_CHECK(x.index == y.index && x.offset == y.offset && x.label == y.label && x.key == y.key);
      FUZZ_CHECK(std::memcmp(x.value.bytes, y.value.bytes, ValueBytes) == 0);
    }
  }
}

static void CheckSameContents(const PrintFileContents& a, const PrintFileContents& b) {
  FUZZ_CHECK(std::memcmp(&a.time, &b.time, sizeof(a.time)) == 0 && a.mask == b.mask);
  FUZZ_CHECK(a.machDir == b.machDir && a.profileName == b.profileName);
  CheckSameRows(a.table, b.table);
  FUZZ_CHECK(a.fixtures.size() == b.fixtures.size());
  for (size_t i = 0; i < a.fixtures.size(); ++i) {
    FUZZ_CHECK(a.fixtures[i].empty == b.fixtures[i].empty && a.fixtures[i].name == b.fixtures[i].name);
    for (int axis = 0; axis < FixtureAxisCount; ++axis) {
      FUZZ_CHECK(a.fixtures[i].coords[axis] == b.fixtures[i].coords[axis]);
    }
  }
  FUZZ_CHECK(a.tools.size() == b.tools.size());
  for (size_t i = 0; i < a.tools.size(); ++i) FUZZ_CHECK(SameSlot(a.tools[i], b.tools[i]));
  FUZZ_CHECK(a.plugins.size() == b.plugins.size());
  for (size_t i = 0; i < a.plugins.size(); ++i) {
    FUZZ_CHECK(a.plugins[i].enabled == b.plugins[i].enabled && std::wcscmp(a.plugins[i].name, b.plugins[i].name) == 0);
  }
}

static std::vector<SettingsDialog> ProgramTable;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ProgramTable = BuildDialogTable();
  DialogTable = ProgramTable;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Each read copies the table, most of a megabyte: the contents are kept
  // from input to input, so their copies reuse the memory of the last ones.
  static PrintFileContents first, kept, again;
  // A read takes from the table only its names and keys; an applied file
  // leaves those as they are, so the table need not be put back.
  if (DecodePrintFile(data, size, first) != PrintFileCheck::Ok) {
    FUZZ_CHECK(DialogTable.size() == ProgramTable.size());  // a refused file changes nothing
    return 0;
  }
  kept = first;
  ApplyPrintFile(std::move(first));
  const std::vector<unsigned char> written = EncodePrintFile(kept.time, kept.mask);
  FUZZ_CHECK(DecodePrintFile(written.data(), written.size(), again) == PrintFileCheck::Ok);
  CheckSameContents(kept, again);
  return 0;
}
