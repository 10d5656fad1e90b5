// The splice of chosen values into a profile's bytes: any bytes end in a
// refusal or in a profile the scan accepts again, and with no change the
// bytes come back as they were.
#include "fuzz/fuzz_input.h"
#include "plugins/portable/profile_patch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  const PatchResult same = PatchProfileBytes(original, {}, EncodeUtf8);
  FUZZ_CHECK(same.refusal != RewriteRefusal::None || same.bytes == original);
  FUZZ_CHECK(same.refusal == CheckProfileBytes(original));
  const std::vector<ProfileChange> changes = {{L"Preferences", L"Motor0Active", L"a<&>\r\u00e4", 0, false},
                                              {L"Preferences", L"New", L"1", 0, true},
                                              {L"Missing", L"Key", L"", 0, true}};
  const PatchResult changed = PatchProfileBytes(original, changes, EncodeUtf8);
  if (changed.refusal == RewriteRefusal::None) FUZZ_CHECK(CheckProfileBytes(changed.bytes) == RewriteRefusal::None);
  return 0;
}
