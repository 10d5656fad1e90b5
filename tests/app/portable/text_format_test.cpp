// Wide formatting must read "%s" as a wide string, as on Windows, and must
// never write past a fixed buffer.
#include <gtest/gtest.h>

#include "app/portable/text_format.h"

TEST(TextFormat, FormatsWindowsStyleConversions) {
  EXPECT_EQ(FormatText(L"%s  %s", L"Kestrelwood", L"V3.02"), L"Kestrelwood  V3.02");
  EXPECT_EQ(FormatText(L"Kestrelwood%s", L"V3.02"), L"KestrelwoodV3.02");
  EXPECT_EQ(FormatText(L"error is %08.8lx", 0xC00CE01Ful), L"error is c00ce01f");
  EXPECT_EQ(FormatText(L"line %u, position %u", 3u, 17u), L"line 3, position 17");
  EXPECT_EQ(FormatText(L"%s", std::wstring(5000, L'x').c_str()).size(), 5000u);
  for (const int64_t value : {int64_t{0}, int64_t{7}, int64_t{-1}, int64_t{INT32_MIN}, int64_t{INT64_MIN}}) {
    EXPECT_EQ(DecimalText(value), FormatText(L"%lld", static_cast<long long>(value)));
  }
}

TEST(TextFormat, CutsToFixedBuffersAndTerminates) {
  wchar_t buffer[8];
  wmemset(buffer, L'#', 8);
  EXPECT_TRUE(FormatInto(buffer, 8, L"%s", L"1234567"));
  EXPECT_STREQ(buffer, L"1234567");
  EXPECT_FALSE(FormatInto(buffer, 8, L"%s:   %s", L"Caption", L"C:\\a\\very\\long\\path"));
  EXPECT_EQ(wcslen(buffer), 7u);
  EXPECT_STREQ(buffer, L"Caption");

  wchar_t small[4];
  EXPECT_TRUE(CopyText(small, 4, L"abc"));
  EXPECT_STREQ(small, L"abc");
  EXPECT_FALSE(CopyText(small, 4, L"abcd"));
  EXPECT_STREQ(small, L"abc");
}
