// Turning a fuzzer's bytes into the texts the logic takes, and a check
// that aborts with a message so the fuzzer records the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// The decoders stand in for the system's conversions, which carry no
// coverage counters: a counted comparison per character took a fifth of the
// tool table fuzzer's time.
#define FUZZ_DECODER __attribute__((no_sanitize("coverage"))) inline

// Pairs of bytes as UTF-16 code units, little-endian; an odd last byte is
// one unit of its own.
FUZZ_DECODER std::wstring WideFromUnits(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i < size; i += 2) {
    const unsigned high = i + 1 < size ? data[i + 1] : 0;
    text += static_cast<wchar_t>(data[i] | high << 8);
  }
  return text;
}

// Every byte as one character (Latin-1), as the ANSI code page mostly does.
FUZZ_DECODER std::wstring WideFromLatin1(std::string_view bytes) {
  std::wstring text(bytes.size(), L'\0');
  for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<unsigned char>(bytes[i]);
  return text;
}

// AddressSanitizer's defaults made for a fuzzer's millions of small
// allocations: freed memory waits in a quarantine of 16 MB instead of 256,
// still far more than one input frees, so a use after free is still caught,
// but the allocator does not walk through 256 MB of new pages (a page fault
// each) first; and an allocation records 5 callers instead of 30. To replay
// a finding with whole stacks: ASAN_OPTIONS=malloc_context_size=30.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16:malloc_context_size=5"; }

#define FUZZ_CHECK(condition)                                                       \
  do {                                                                              \
    if (!(condition)) {                                                             \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                 \
    }                                                                               \
  } while (0)
