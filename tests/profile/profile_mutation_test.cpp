// A bounded mutation run of the profile reader over generated, real-shaped
// profiles: truncations, bit flips, deep nesting, huge values, forbidden
// characters and DTDs. Every input must end in success without a message
// or in failure with exactly one, never in a crash or a hang.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/portable/text_triple.h"
#include "profile/profile_reader.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_support.h"
#include "tools/profile_generator.h"

namespace {

// Enough to meet every kind of mutation many times, few enough for well
// under a minute under Wine. The 32-bit build runs emulated, several times
// slower: fewer inputs there, each still meeting every kind many times.
constexpr int MutatedInputs = sizeof(void*) == 8 ? 2000 : 400;
// A read that takes longer hangs (emulated reads take several times longer).
constexpr DWORD HangMs = sizeof(void*) == 8 ? 10000 : 60000;

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

struct ReadJob {
  std::wstring path;
  int result = -1;
};

DWORD WINAPI ReadOnItsOwnThread(void* parameter) {
  ReadJob* job = static_cast<ReadJob*>(parameter);
  job->result = ReadProfile(FirstProfileSlot, job->path.c_str());
  return 0;
}

// Reads `bytes` as a profile on a thread of its own. A read that has not
// ended after HangMs hangs: the run stops there with the input's name,
// rather than blocking until the test runner gives up.
int ReadWithWatchdog(const std::wstring& path, const std::string& bytes, const std::string& name) {
  std::ofstream(path.c_str(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ReadJob job{path};
  HANDLE thread = CreateThread(nullptr, 0, ReadOnItsOwnThread, &job, 0, nullptr);
  EXPECT_NE(thread, nullptr);
  if (!thread) return -1;
  if (WaitForSingleObject(thread, HangMs) == WAIT_TIMEOUT) {
    std::fprintf(stderr, "The read of %s hangs; its bytes are in the run's temporary folder.\n", name.c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  CloseHandle(thread);
  return job.result;
}

// The inputs that once failed the reader, kept in fuzz/regressions/read_profile.
std::vector<std::wstring> RegressionInputs() {
  std::vector<std::wstring> paths;
  for (const auto& entry : std::filesystem::directory_iterator(KW_READ_PROFILE_REGRESSIONS)) {
    if (entry.is_regular_file()) paths.push_back(entry.path().wstring());
  }
  return paths;
}

// The kept regression inputs first, then a fixed number of mutated
// profiles from a fixed seed.
TEST(ProfileMutationTest, EveryMutatedProfileEndsWithSuccessOrOneMessage) {
  LanguageIndex = English;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"kw_profile_mutation_test.xml";
  MessageRecorder messages;
  const std::vector<std::wstring> regressions = RegressionInputs();
  ASSERT_FALSE(regressions.empty()) << "no kept input in " << testing::PrintToString(KW_READ_PROFILE_REGRESSIONS);
  for (const std::wstring& kept : regressions) {
    const std::string name = testing::PrintToString(kept);
    messages.Clear();
    const int result = ReadWithWatchdog(path, ReadBytes(kept), name);
    EXPECT_EQ(messages.Messages().size(), result == 1 ? 0u : 1u) << name << ", result " << result;
  }
  Mutator mutator(20261206);
  int failures = 0;
  const int inputs = MutatedInputs;
  for (int i = 0; i < inputs; ++i) {
    std::string bytes = MakeProfileText(MakeProfileEntries({40 + mutator.Next(400), mutator.Next(1000)}));
    for (uint32_t rounds = 1 + mutator.Next(3); rounds > 0; --rounds) bytes = mutator.Mutate(bytes);
    messages.Clear();
    const int result = ReadWithWatchdog(path, bytes, "mutated input " + std::to_string(i));
    EXPECT_EQ(messages.Messages().size(), result == 1 ? 0u : 1u) << "input " << i << ", result " << result;
    failures += result == 1 ? 0 : 1;
  }
  ReleaseAllProfiles();
  DeleteFileW(path.c_str());
  EXPECT_GT(failures, inputs / 4);  // the mutations do break documents
  EXPECT_LT(failures, inputs);      // and some stay readable
}

}  // namespace
