// The bytes of a profile before the XML reader sees them: after the filter
// no forbidden character is left in any encoding, valid UTF-8 stays valid,
// and the prolog scan and the search for unended markup end inside the
// bytes.
#include "fuzz/fuzz_input.h"
#include "profile/portable/profile_text.h"

// Decodes strict UTF-8 (already validated) and finds a forbidden character.
static bool HoldsForbiddenUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const uint8_t lead = static_cast<uint8_t>(bytes[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    uint32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) c = c << 6 | (static_cast<uint8_t>(bytes[i + k]) & 0x3F);
    if (IsForbiddenXmlCharacter(c)) return true;
    i += length;
  }
  return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  const ProfileTextForm form = DetectProfileEncoding(original.data(), original.size());
  std::string prepared = original;
  ReplaceForbiddenCharacters(prepared, form);
  switch (form.encoding) {
    case ProfileEncoding::Utf8:
      if (IsValidUtf8(original.data(), original.size())) {
        FUZZ_CHECK(IsValidUtf8(prepared.data(), prepared.size()));
        FUZZ_CHECK(!HoldsForbiddenUtf8(prepared));
      }
      break;
    case ProfileEncoding::Utf16LittleEndian:
    case ProfileEncoding::Utf16BigEndian: {
      FUZZ_CHECK(prepared.size() == original.size());
      const bool big = form.encoding == ProfileEncoding::Utf16BigEndian;
      for (size_t i = 0; i + 1 < prepared.size(); i += 2) {
        const uint8_t a = static_cast<uint8_t>(prepared[i]), b = static_cast<uint8_t>(prepared[i + 1]);
        FUZZ_CHECK(!IsForbiddenXmlCharacter(big ? (a << 8 | b) : (b << 8 | a)));
      }
      break;
    }
    case ProfileEncoding::Declared:
    case ProfileEncoding::AnsiCodePage:
      for (char c : prepared) FUZZ_CHECK(!IsForbiddenXmlCharacter(static_cast<uint8_t>(c)));
      break;
  }
  const PrologPlace place = ScanProlog(prepared, form.encoding);
  FUZZ_CHECK(place.line >= 1 && place.line <= prepared.size() + 1 && place.position <= prepared.size() + 1);
  const PrologPlace unended = FindUnendedMarkup(prepared, form.encoding);
  FUZZ_CHECK(unended.end != PrologEnd::DocumentType);
  FUZZ_CHECK(unended.line <= prepared.size() + 1 && unended.position <= prepared.size() + 1);
  EndsInsideRoot(prepared, form.encoding);
  std::u16string units;
  for (size_t i = 0; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  ReplaceForbiddenUnits(units.data(), units.size());
  for (char16_t unit : units) FUZZ_CHECK(!IsForbiddenXmlCharacter(unit));
  return 0;
}
