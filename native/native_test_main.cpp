// Entry point of the native test program. The Windows runtime classifies
// every Unicode letter whatever the locale; glibc does so in a UTF-8 one.
#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
