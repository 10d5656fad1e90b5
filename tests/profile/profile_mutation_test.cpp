// A bounded mutation run of the profile reader over generated, real-shaped
// profiles: truncations, bit flips, deep nesting, huge values, forbidden
// characters and DTDs. Every input must end in success without a message
// or in failure with exactly one, never in a crash or a hang.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "app/text_triple.h"
#include "profile/profile_reader.h"
#include "tests/support/test_support.h"
#include "tools/profile_generator.h"

namespace {

// The same small generator on every run, so a failure names its input.
class Mutator {
 public:
  explicit Mutator(uint32_t seed) : state_(seed) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1103515245u + 12345u;
    return bound == 0 ? 0 : (state_ >> 8) % bound;
  }
  std::string Mutate(std::string bytes) {
    const size_t at = Next(static_cast<uint32_t>(bytes.size()) + 1);
    switch (Next(8)) {
      case 0:
        return bytes.substr(0, at);
      case 1:
        for (uint32_t flips = 1 + Next(8); flips > 0 && !bytes.empty(); --flips) {
          bytes[Next(static_cast<uint32_t>(bytes.size()))] ^= static_cast<char>(1 << Next(8));
        }
        return bytes;
      case 2: {
        const size_t depth = 200 + Next(200);
        std::string open, close;
        for (size_t i = 0; i < depth; ++i) open += "<N>", close += "</N>";
        const size_t tag = bytes.find("><", at);
        return tag == std::string::npos ? open + bytes + close : bytes.insert(tag + 1, open + "v" + close);
      }
      case 3: {
        const size_t value = bytes.find("</", at);
        const std::string huge(Next(2) ? 300000 : 70000, Next(2) ? '9' : 'x');
        return value == std::string::npos ? bytes + huge : bytes.insert(value, huge);
      }
      case 4: {
        const std::string forbidden[] = {"\x01", std::string(1, '\0'), "\xEF\xBF\xBE", "\x1B[0m", "\xFF\xFE"};
        return bytes.insert(at, forbidden[Next(5)]);
      }
      case 5:
        return "<!DOCTYPE profile [<!ENTITY a \"" + std::string(Next(1000), 'a') + "\">]>" + bytes;
      case 6:
        return bytes.insert(at, bytes.substr(Next(static_cast<uint32_t>(bytes.size())), Next(64)));
      default:
        return "<?xml version=\"1.0\" encoding=\"" + std::string(Next(2) ? "UTF-16" : "x-unknown") + "\"?>" + bytes;
    }
  }

 private:
  uint32_t state_;
};

// Disabled: under Wine the run ends in a page fault inside the read of a
// profile with a 200,000-character value holding a few flipped bits (kept
// as fuzz/regressions/read_profile/huge-value-page-fault.xml.gz); enable
// it again once that is found and fixed. Run with
// --gtest_also_run_disabled_tests.
TEST(ProfileMutationTest, DISABLED_EveryMutatedProfileEndsWithSuccessOrOneMessage) {
  LanguageIndex = English;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"kw_profile_mutation_test.xml";
  MessageRecorder messages;
  Mutator mutator(20261206);
  int failures = 0;
  const int inputs = 400;
  for (int i = 0; i < inputs; ++i) {
    std::string bytes = MakeProfileText(MakeProfileEntries({40 + mutator.Next(400), mutator.Next(1000)}));
    for (uint32_t rounds = 1 + mutator.Next(3); rounds > 0; --rounds) bytes = mutator.Mutate(bytes);
    std::ofstream(path.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    messages.Clear();
    const DWORD start = GetTickCount();
    const int result = ReadProfile(FirstProfileSlot, path.c_str());
    EXPECT_LT(GetTickCount() - start, 10000u) << "input " << i;
    EXPECT_EQ(messages.Messages().size(), result == 1 ? 0u : 1u) << "input " << i << ", result " << result;
    failures += result == 1 ? 0 : 1;
  }
  ReleaseAllProfiles();
  DeleteFileW(path.c_str());
  EXPECT_GT(failures, inputs / 4);  // the mutations do break documents
  EXPECT_LT(failures, inputs);      // and some stay readable
}

}  // namespace
