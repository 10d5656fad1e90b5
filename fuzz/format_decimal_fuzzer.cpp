// Mach3's exponent form into a fixed decimal on any text: a text without
// "e" stays, one without a signed exponent keeps its mantissa, every other
// one becomes a bounded "%.4f" number, never NaN.
#include "fuzz/fuzz_input.h"
#include "settings_view/portable/settings_values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = WideFromUnits(data, size);
  const std::wstring shown = FormatDecimal(text);
  const size_t e = text.find(L'e');
  if (e == std::wstring::npos) {
    FUZZ_CHECK(shown == text);
  } else if (e + 1 >= text.size() || (text[e + 1] != L'+' && text[e + 1] != L'-')) {
    FUZZ_CHECK(shown == text.substr(0, e));
  } else {
    // The largest double printed whole has 309 digits, a sign, a point and four decimals.
    FUZZ_CHECK(shown.size() <= 315);
    // Beyond the float range Mach3's numbers come from, the value is infinite; never "not a number".
    const bool infinite = shown == L"inf" || shown == L"-inf";
    const size_t point = shown.find(L'.');
    FUZZ_CHECK(infinite || (point != std::wstring::npos && shown.size() - point == 5));
  }
  return 0;
}
