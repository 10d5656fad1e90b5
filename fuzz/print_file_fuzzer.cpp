// The print file reader on any bytes; a file it accepts is made current,
// written again and read back, and must give the same fields.
//
// An input is a whole file (first byte even), or changes to a full file the
// program wrote (first byte odd): the length to cut it to, then pieces of
// bytes, each written over the file at its place. Mutating a full file of
// half a megabyte spent two thirds of the time on copying it from input to
// input; the changes reach every field of it in a few dozen bytes.
#include <algorithm>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "fuzz/seed_files.h"

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

// What a file made current must come back from writing and reading it.
static void CheckSameAsCurrent(const PrintFileContents& read, const PrintFileTime& time, uint32_t mask) {
  FUZZ_CHECK(std::memcmp(&read.time, &time, sizeof(time)) == 0 && read.mask == mask);
  FUZZ_CHECK(read.machDir == MachDir && read.profileName == ProfileName);
  CheckSameRows(DialogTable, read.table);
  FUZZ_CHECK(read.fixtures.size() == FixtureCount);
  for (size_t i = 0; i < read.fixtures.size(); ++i) {
    FUZZ_CHECK(read.fixtures[i].empty == FixtureTable[i].empty && read.fixtures[i].name == FixtureTable[i].name);
    for (int axis = 0; axis < FixtureAxisCount; ++axis) {
      FUZZ_CHECK(read.fixtures[i].coords[axis] == FixtureTable[i].coords[axis]);
    }
  }
  FUZZ_CHECK(read.tools.size() == ToolCount);
  for (size_t i = 0; i < read.tools.size(); ++i) FUZZ_CHECK(SameSlot(read.tools[i], ToolTable[i]));
  FUZZ_CHECK(read.plugins.size() == PluginList.size());
  for (size_t i = 0; i < read.plugins.size(); ++i) {
    FUZZ_CHECK(read.plugins[i].enabled == PluginList[i].enabled &&
               std::wcscmp(read.plugins[i].name, PluginList[i].name) == 0);
  }
}

static std::vector<SettingsDialog> ProgramTable;
static std::vector<unsigned char> FullFile;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FullFile = PrintFile(MakeProfileEntries({300, 7}));
  ProgramTable = BuildDialogTable();
  DialogTable = ProgramTable;
  return 0;
}

static uint32_t ReadU32(const uint8_t* data) {
  return data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
}

// The full file cut to the input's length, with its pieces written over it:
// each piece is a place (four bytes, taken modulo the length), a count and
// that many bytes, cut at the file's end.
static void ChangeFullFile(const uint8_t* data, size_t size, std::vector<unsigned char>& file) {
  const size_t length = size >= 4 ? std::min<size_t>(ReadU32(data), FullFile.size()) : FullFile.size();
  file.assign(FullFile.begin(), FullFile.begin() + length);
  if (length == 0) return;
  for (size_t at = 4; at + 5 <= size;) {
    const size_t place = ReadU32(data + at) % length;
    const size_t count = std::min<size_t>({data[at + 4], size - at - 5, length - place});
    std::memcpy(file.data() + place, data + at + 5, count);
    at += 5 + data[at + 4];
  }
}

static int CheckPrintFile(const uint8_t* data, size_t size) {
  // Each read copies the table, most of a megabyte: the contents and the
  // written bytes are kept from input to input, so that their copies reuse
  // the memory of the last ones.
  static PrintFileContents first, again;
  static std::vector<unsigned char> written;
  // A read takes from the table only its names and keys; an applied file
  // leaves those as they are, so the table need not be put back.
  if (DecodePrintFile(data, size, first) != PrintFileCheck::Ok) {
    FUZZ_CHECK(DialogTable.size() == ProgramTable.size());  // a refused file changes nothing
    return 0;
  }
  // That the current table then holds what was read, the unit tests show.
  const PrintFileTime time = first.time;
  const uint32_t mask = first.mask;
  ApplyPrintFile(std::move(first));
  EncodePrintFile(time, mask, written);
  FUZZ_CHECK(DecodePrintFile(written.data(), written.size(), again) == PrintFileCheck::Ok);
  CheckSameAsCurrent(again, time, mask);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] % 2 != 0) {
    static std::vector<unsigned char> changed;  // its memory used again, as the contents' below
    ChangeFullFile(data + 1, size - 1, changed);
    return CheckPrintFile(changed.data(), changed.size());
  }
  return CheckPrintFile(data + 1, size - 1);
}
