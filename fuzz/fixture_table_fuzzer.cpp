// The fixture table reader on any bytes: every record is filled, names
// hold neither line ends nor NUL characters, a used record says so.
#include "fuzz/fuzz_input.h"
#include "settings_view/portable/settings_values.h"

static const std::wstring Zero = L"0.0000", MinusZero = L"-0.0000";
static constexpr std::wstring_view LineEnds(L"\n\0", 2);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadFixtureBytes(data, size, WideFromLatin1);
  for (const FixtureRecord& record : FixtureTable) {
    FUZZ_CHECK(record.empty == 0 || record.empty == 1);
    FUZZ_CHECK(record.name.find_first_of(LineEnds) == std::wstring::npos);
    for (const std::wstring& coord : record.coords) FUZZ_CHECK(!coord.empty());
    if (record.empty == 0) continue;
    FUZZ_CHECK(record.name.empty());  // an empty record has neither a name nor a coordinate
    for (const std::wstring& coord : record.coords) FUZZ_CHECK(coord == Zero || coord == MinusZero);
  }
  return 0;
}
