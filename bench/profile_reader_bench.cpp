// ReadProfile against a bare XmlLite pass over the same file.
#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>
#include <wrl/client.h>

#include <string>

#include "bench/bench.h"
#include "profile/profile_reader.h"

using Microsoft::WRL::ComPtr;

static void ReadAll(IXmlReader* reader, IStream* stream) {
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader->SetInput(stream);
  XmlNodeType type;
  while (reader->Read(&type) == S_OK) {
  }
}

static void BareXmlLiteLoop(const wchar_t* path) {
  ComPtr<IStream> stream;
  ComPtr<IXmlReader> reader;
  if (FAILED(SHCreateStreamOnFileW(path, STGM_READ, stream.GetAddressOf())) ||
      FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr)))
    return;
  ReadAll(reader.Get(), stream.Get());
}

// The same over the file's bytes in memory, as ReadProfile hands them on.
static void BareLoopInMemory(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  ComPtr<IStream> stream;
  stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  ComPtr<IXmlReader> reader;
  if (!stream || FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr)))
    return;
  ReadAll(reader.Get(), stream.Get());
}

void BenchProfileReader(const ProfileFiles& files) {
  const std::vector<double> times =
      MedianRuns(RepeatsFor(files.entries), {[&] { BareXmlLiteLoop(files.first.c_str()); },
                                             [&] { BareLoopInMemory(files.first.c_str()); },
                                             [&] { ReadProfile(FirstProfileSlot, files.first.c_str()); },
                                             [&] {
                                               ReadProfile(FirstProfileSlot, files.first.c_str());
                                               ReadProfile(SecondProfileSlot, files.second.c_str());
                                             }});
  ReleaseAllProfiles();
  Record(files.entries, "bare XmlLite Read loop", times[0]);
  Record(files.entries, "bare XmlLite Read loop, file in memory", times[1]);
  Record(files.entries, "ReadProfile", times[2]);
  Record(files.entries, "two ReadProfile", times[3]);
}
