// The tool table reader on any bytes: every slot is numbered, every field
// ends inside its capacity, and only whole records count as valid.
#include <cwchar>

#include "fuzz/fuzz_input.h"
#include "settings_view/portable/settings_values.h"

static std::wstring Numbers[ToolCount];  // made once: the runtime's formatting is slow

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (int i = 0; i < ToolCount; ++i) Numbers[i] = std::to_wstring(i);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReadToolBytes(data, size, WideFromLatin1);
  int valid = 0;
  for (int i = 0; i < ToolCount; ++i) {
    const ToolSlot& slot = ToolTable[i];
    FUZZ_CHECK(Numbers[i] == slot.number);
    FUZZ_CHECK(wcsnlen(slot.description, ToolDescriptionCapacity) < ToolDescriptionCapacity);
    for (const wchar_t* value : {slot.diameter, slot.diameterWear, slot.height, slot.heightWear}) {
      FUZZ_CHECK(wcsnlen(value, ToolValueCapacity) < ToolValueCapacity);
    }
    FUZZ_CHECK(slot.valid == 0 || slot.valid == 1);
    valid += slot.valid;
  }
  FUZZ_CHECK(static_cast<size_t>(valid) * 67 <= size);  // a valid slot takes a whole record
  return 0;
}
