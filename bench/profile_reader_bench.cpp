// ReadProfile against a bare XmlLite pass over the same file.
#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>
#include <wrl/client.h>

#include "bench/bench.h"
#include "profile/profile_reader.h"

using Microsoft::WRL::ComPtr;

static void BareXmlLiteLoop(const wchar_t* path) {
  ComPtr<IStream> stream;
  ComPtr<IXmlReader> reader;
  if (FAILED(SHCreateStreamOnFileW(path, STGM_READ, stream.GetAddressOf())) ||
      FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr)))
    return;
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader->SetInput(stream.Get());
  XmlNodeType type;
  while (reader->Read(&type) == S_OK) {
  }
}

void BenchProfileReader(const BenchFiles& files) {
  const std::vector<double> times = TimeRuns(80, {[&] { BareXmlLiteLoop(files.profile.c_str()); },
                                                  [&] { ReadProfile(FirstProfileSlot, files.profile.c_str()); }});
  const double bare = times[0], read = times[1];
  std::printf("  entries read: %u\n", ProfileSlots[FirstProfileSlot].Count());
  ReleaseAllProfiles();
  PrintTime("bare XmlLite Read loop", bare);
  PrintTime("ReadProfile", read);
  PrintRatio("ReadProfile / bare loop", read / bare, 1.5);
}
