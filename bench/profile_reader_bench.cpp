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

void BenchProfileReader(const ProfileFiles& files) {
  const std::vector<double> times =
      MedianRuns(RepeatsFor(files.entries), {[&] { BareXmlLiteLoop(files.first.c_str()); },
                                             [&] { ReadProfile(FirstProfileSlot, files.first.c_str()); },
                                             [&] {
                                               ReadProfile(FirstProfileSlot, files.first.c_str());
                                               ReadProfile(SecondProfileSlot, files.second.c_str());
                                             }});
  ReleaseAllProfiles();
  Record(files.entries, "bare XmlLite Read loop", times[0]);
  Record(files.entries, "ReadProfile", times[1]);
  Record(files.entries, "two ReadProfile", times[2]);
}
