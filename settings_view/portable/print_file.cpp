// Print file bytes, written and read field by field so that the 32-bit and
// the 64-bit program make and read the same files.
#include "settings_view/portable/print_file.h"

#include <algorithm>
#include <cstring>

static constexpr wchar_t Mark[] = L"Kestrelwood";
static constexpr size_t MarkCharacters = 101;
static constexpr size_t MarkLength = 11;
static constexpr size_t LoadTextFieldBytes = 260;
static constexpr size_t CoordinateFieldBytes = 11;
static constexpr size_t ValueFieldBytes = 261;
static constexpr size_t PluginNameFieldBytes = 129;
static constexpr size_t PluginRecordBytes = 4 + PluginNameFieldBytes;

static_assert(2 * MarkCharacters + 4 + 4 + 16 + 4 + 2 * LoadTextFieldBytes == PrintFileHeaderBytes);
static_assert(6 * 4 + 4 + ValueFieldBytes + 5 * 4 == PrintFileRowBytes);
static_assert(ValueFieldBytes <= ValueBytes);
static_assert(PluginNameFieldBytes <= 2 * PluginNameCapacity);

// Layout fields of a file we wrote stay far inside these bounds; anything
// beyond them would only overflow the sums of the scrolling and paging.
static constexpr int32_t LayoutLimit = 1000000;

namespace {

class PrintFileWriter {
 public:
  explicit PrintFileWriter(std::vector<unsigned char>& bytes) : bytes_(bytes) {}
  void U16(uint16_t value) {
    bytes_.push_back(static_cast<unsigned char>(value));
    bytes_.push_back(static_cast<unsigned char>(value >> 8));
  }
  void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
  void U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
  }
  // The first `size` bytes of a UTF-16LE text buffer, zero beyond the text.
  void TextField(const wchar_t* text, size_t length, size_t size) {
    const size_t at = bytes_.size();
    bytes_.resize(at + size);
    unsigned char* out = bytes_.data() + at;
    const size_t units = std::min(length, size / 2);
    for (size_t c = 0; c < units; ++c) {
      out[2 * c] = static_cast<unsigned char>(text[c]);
      out[2 * c + 1] = static_cast<unsigned char>(static_cast<uint16_t>(text[c]) >> 8);
    }
    if (size % 2 != 0 && size / 2 < length) out[size - 1] = static_cast<unsigned char>(text[size / 2]);  // a cut unit
  }
  void TextField(const std::wstring& text, size_t size) { TextField(text.c_str(), text.size(), size); }
  void TextField(const wchar_t* text, size_t size) { TextField(text, std::wcslen(text), size); }
  void Raw(const unsigned char* data, size_t size) { bytes_.insert(bytes_.end(), data, data + size); }

 private:
  std::vector<unsigned char>& bytes_;
};

class PrintFileReader {
 public:
  PrintFileReader(const unsigned char* data, size_t size) : data_(data), size_(size) {}
  bool Has(size_t count) const { return size_ - at_ >= count; }
  size_t Left() const { return size_ - at_; }
  // Each read fails (and stays failed) when the file has ended.
  bool U16(uint16_t& value) {
    if (!Take(2)) return false;
    value = static_cast<uint16_t>(data_[at_ - 2] | data_[at_ - 1] << 8);
    return true;
  }
  bool U32(uint32_t& value) {
    if (!Take(4)) return false;
    const unsigned char* bytes = data_ + at_ - 4;
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return true;
  }
  bool I32(int32_t& value) {
    uint32_t raw = 0;
    if (!U32(raw)) return false;
    value = static_cast<int32_t>(raw);
    return true;
  }
  // `size` bytes into the start of a slot of `slotBytes`; the rest is zero.
  bool Bytes(void* slot, size_t slotBytes, size_t size) {
    if (!Take(size)) return false;
    std::memset(slot, 0, slotBytes);
    std::memcpy(slot, data_ + at_ - size, std::min(size, slotBytes));
    return true;
  }
  bool Skip(size_t count) { return Take(count); }
  // A text field into an owned text, ended at its first zero character.
  bool Text(std::wstring& text, size_t size) {
    if (!Take(size)) return false;
    const unsigned char* field = data_ + at_ - size;
    text.assign(FieldLength(field, size, (size + 1) / 2), L'\0');
    for (size_t c = 0; c < text.size(); ++c) text[c] = Unit(field, size, c);
    return true;
  }
  // The same into a slot of `capacity` characters, cut to fit.
  bool TextField(wchar_t* slot, size_t capacity, size_t size) {
    if (!Take(size)) return false;
    const unsigned char* field = data_ + at_ - size;
    const size_t length = FieldLength(field, size, capacity - 1);
    for (size_t c = 0; c < length; ++c) slot[c] = Unit(field, size, c);
    slot[length] = L'\0';
    return true;
  }

 private:
  // Character `c` of a field of `size` bytes: two bytes, little-endian; an
  // odd last byte is one of its own.
  static wchar_t Unit(const unsigned char* field, size_t size, size_t c) {
    const uint16_t low = field[2 * c];
    const uint16_t high = 2 * c + 1 < size ? field[2 * c + 1] : 0;
    return static_cast<wchar_t>(low | high << 8);
  }
  // Characters before the first zero one, at most `limit`.
  static size_t FieldLength(const unsigned char* field, size_t size, size_t limit) {
    size_t length = 0;
    while (length < limit && 2 * length < size && Unit(field, size, length) != L'\0') ++length;
    return length;
  }

  bool Take(size_t count) {
    if (!Has(count)) return false;
    at_ += count;
    return true;
  }
  const unsigned char* data_;
  size_t size_;
  size_t at_ = 0;
};

bool InLayoutLimit(int32_t value) { return value >= -LayoutLimit && value <= LayoutLimit; }

}  // namespace

static void WriteHeader(PrintFileWriter& out, const PrintFileTime& time, uint32_t mask) {
  out.TextField(Mark, MarkLength, 2 * MarkCharacters);
  out.I32(PrintFileVersion);
  out.I32(PrintFileSubVersion);
  for (uint16_t part : {time.year, time.month, time.dayOfWeek, time.day, time.hour, time.minute, time.second,
                        time.milliseconds}) {
    out.U16(part);
  }
  out.U32(mask);
  out.TextField(MachDir, LoadTextFieldBytes);
  out.TextField(ProfileName, LoadTextFieldBytes);
}

static void WriteDialog(PrintFileWriter& out, const SettingsDialog& dialog) {
  for (int32_t field : {dialog.height, dialog.left, dialog.top, dialog.width, dialog.defaultHeight}) out.I32(field);
  for (const SettingsRow& row : dialog.rows) {
    if (IsEndRow(row)) break;
    out.U32(row.kind);
    for (int32_t field : {row.x, row.y, row.width, row.height, row.labelWidth}) out.I32(field);
    out.Raw(row.value.bytes, 4);
    out.Raw(row.value.bytes, ValueFieldBytes);
    for (int32_t field : {row.format, row.absX, row.absY, row.index, row.offset}) out.I32(field);
  }
}

static void WriteFixtures(PrintFileWriter& out) {
  for (const FixtureRecord& record : FixtureTable) {
    out.I32(record.empty);
    out.I32(static_cast<int32_t>(record.name.size()));
    out.TextField(record.name, 2 * record.name.size());
    for (const std::wstring& coord : record.coords) out.TextField(coord, CoordinateFieldBytes);
  }
}

static void WriteTools(PrintFileWriter& out) {
  for (const ToolSlot& slot : ToolTable) {
    out.TextField(slot.number, 260);
    out.TextField(slot.description, 64);
    for (const wchar_t* value : {slot.diameter, slot.diameterWear, slot.height, slot.heightWear}) {
      out.TextField(value, 32);
    }
    out.I32(slot.valid);
  }
}

static void WritePlugins(PrintFileWriter& out) {
  out.I32(static_cast<int32_t>(PluginList.size()));
  for (const PluginRecord& plugin : PluginList) {
    out.I32(plugin.enabled);
    out.TextField(plugin.name, PluginNameFieldBytes);
  }
}

// The file's size, known before writing: half a megabyte is not grown step by step.
static size_t EncodedSize() {
  size_t size = PrintFileHeaderBytes;
  for (int i = 0; i < SettingsDialogCount; ++i) {
    if (i != DialogFixtures && i != DialogToolTable && i != DialogPlugins) {
      size += 5 * 4 + RowCount(DialogTable[i]) * PrintFileRowBytes;
    }
  }
  for (const FixtureRecord& record : FixtureTable) size += 8 + 2 * record.name.size() + 6 * CoordinateFieldBytes;
  return size + ToolCount * (260 + 64 + 4 * 32 + 4) + 4 + PluginList.size() * PluginRecordBytes;
}

std::vector<unsigned char> EncodePrintFile(const PrintFileTime& time, uint32_t mask) {
  std::vector<unsigned char> bytes;
  EncodePrintFile(time, mask, bytes);
  return bytes;
}

void EncodePrintFile(const PrintFileTime& time, uint32_t mask, std::vector<unsigned char>& bytes) {
  bytes.clear();
  bytes.reserve(EncodedSize());
  PrintFileWriter out(bytes);
  WriteHeader(out, time, mask);
  for (int i = 0; i < SettingsDialogCount; ++i) {
    switch (i) {
      case DialogFixtures:
        WriteFixtures(out);
        break;
      case DialogToolTable:
        WriteTools(out);
        break;
      case DialogPlugins:
        WritePlugins(out);
        break;
      default:
        WriteDialog(out, DialogTable[i]);
        break;
    }
  }
}

static bool ValidRowKind(uint32_t word) {
  const uint32_t kind = word & KindMask;
  return kind >= DLG_RADIO && kind <= DLG_TEXT && kind != 15;
}

static bool ValidFormat(const SettingsRow& row) {
  const uint32_t kind = RowKind(row);
  if (HasKey(row) && kind >= DLG_EDIT_PULLEY_NUMBER && kind <= DLG_EDIT_PLAIN) {
    return row.format >= FORMAT_TEXT && row.format <= FORMAT_HOME_OFFSET && row.format != FORMAT_NONE;
  }
  return row.format >= 0 && row.format <= FORMAT_HOME_OFFSET;
}

static bool ReadDialog(PrintFileReader& in, SettingsDialog& dialog) {
  for (int32_t* field : {&dialog.height, &dialog.left, &dialog.top, &dialog.width, &dialog.defaultHeight}) {
    if (!in.I32(*field) || !InLayoutLimit(*field)) return false;
  }
  for (SettingsRow& row : dialog.rows) {
    if (IsEndRow(row)) break;
    if (!in.U32(row.kind) || !ValidRowKind(row.kind)) return false;
    for (int32_t* field : {&row.x, &row.y, &row.width, &row.height, &row.labelWidth}) {
      if (!in.I32(*field) || !InLayoutLimit(*field)) return false;
    }
    // The value's first four bytes come twice; the second time counts.
    if (!in.Skip(4) || !in.Bytes(row.value.bytes, sizeof(row.value.bytes), ValueFieldBytes)) return false;
    for (int32_t* field : {&row.format, &row.absX, &row.absY, &row.index, &row.offset}) {
      if (!in.I32(*field)) return false;
    }
    if (!ValidFormat(row)) return false;
  }
  return true;
}

static bool ReadFixtures(PrintFileReader& in, std::vector<FixtureRecord>& fixtures) {
  fixtures.assign(FixtureCount, FixtureRecord{});
  for (FixtureRecord& record : fixtures) {
    int32_t length = 0;
    if (!in.I32(record.empty) || !in.I32(length)) return false;
    // The name must fit in what is left of the file.
    if (length < 0 || static_cast<size_t>(length) > in.Left() / 2) return false;
    if (!in.Text(record.name, 2 * static_cast<size_t>(length))) return false;
    for (std::wstring& coord : record.coords) {
      if (!in.Text(coord, CoordinateFieldBytes)) return false;
    }
  }
  return true;
}

static bool ReadTools(PrintFileReader& in, std::vector<ToolSlot>& tools) {
  tools.assign(ToolCount, ToolSlot{});
  for (ToolSlot& slot : tools) {
    if (!in.TextField(slot.number, ToolNumberCapacity, 260) ||
        !in.TextField(slot.description, ToolDescriptionCapacity, 64)) {
      return false;
    }
    for (wchar_t* value : {slot.diameter, slot.diameterWear, slot.height, slot.heightWear}) {
      if (!in.TextField(value, ToolValueCapacity, 32)) return false;
    }
    if (!in.I32(slot.valid)) return false;
  }
  return true;
}

static bool ReadPlugins(PrintFileReader& in, std::vector<PluginRecord>& plugins) {
  int32_t count = 0;
  if (!in.I32(count)) return false;
  if (count < 0 || static_cast<size_t>(count) > in.Left() / PluginRecordBytes) return false;
  plugins.assign(static_cast<size_t>(count), PluginRecord{});
  for (PluginRecord& plugin : plugins) {
    if (!in.I32(plugin.enabled)) return false;
    // 129 bytes: 64 characters and the low byte of a 65th, as the writer cut them.
    if (!in.TextField(plugin.name, PluginNameCapacity, PluginNameFieldBytes)) return false;
  }
  return true;
}

PrintFileCheck DecodePrintFile(const unsigned char* data, size_t size, PrintFileContents& contents) {
  PrintFileReader in(data, size);
  std::wstring mark;
  if (size < 2 * MarkLength || !in.Text(mark, 2 * MarkLength) || mark != Mark) return PrintFileCheck::NotOurs;
  std::wstring rest;
  int32_t version = 0;
  int32_t subVersion = 0;
  if (!in.Text(rest, 2 * MarkCharacters - 2 * MarkLength) || !in.I32(version) || !in.I32(subVersion)) {
    return PrintFileCheck::Damaged;
  }
  if (version != PrintFileVersion || subVersion != PrintFileSubVersion) return PrintFileCheck::OtherVersion;
  PrintFileTime& time = contents.time;
  for (uint16_t* part : {&time.year, &time.month, &time.dayOfWeek, &time.day, &time.hour, &time.minute,
                         &time.second, &time.milliseconds}) {
    if (!in.U16(*part)) return PrintFileCheck::Damaged;
  }
  if (!in.U32(contents.mask) || !in.Text(contents.machDir, LoadTextFieldBytes) ||
      !in.Text(contents.profileName, LoadTextFieldBytes)) {
    return PrintFileCheck::Damaged;
  }
  contents.table = DialogTable;
  for (int i = 0; i < SettingsDialogCount; ++i) {
    bool read = false;
    switch (i) {
      case DialogFixtures:
        read = ReadFixtures(in, contents.fixtures);
        break;
      case DialogToolTable:
        read = ReadTools(in, contents.tools);
        break;
      case DialogPlugins:
        read = ReadPlugins(in, contents.plugins);
        break;
      default:
        read = ReadDialog(in, contents.table[i]);
        break;
    }
    if (!read) return PrintFileCheck::Damaged;
  }
  return PrintFileCheck::Ok;
}

void ApplyPrintFile(PrintFileContents&& contents) {
  MachDir = std::move(contents.machDir);
  ProfileName = std::move(contents.profileName);
  // The contents take the old table, whose memory a next read can reuse.
  DialogTable.swap(contents.table);
  std::move(contents.fixtures.begin(), contents.fixtures.end(), FixtureTable);
  std::copy(contents.tools.begin(), contents.tools.end(), ToolTable);
  PluginList = std::move(contents.plugins);
}
