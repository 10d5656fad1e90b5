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

static std::string FileBytes(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size = {};
  GetFileSizeEx(file, &size);
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

// The same over the file's bytes in memory, as ReadProfile hands them on.
static void BareLoopInMemory(const wchar_t* path) {
  const std::string bytes = FileBytes(path);
  ComPtr<IStream> stream;
  stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  ComPtr<IXmlReader> reader;
  if (!stream || FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr)))
    return;
  ReadAll(reader.Get(), stream.Get());
}

// ReadProfile step by step, each row the steps before it and one more, so
// the differences show what each step costs.

enum class ReaderStep { Bytes, Prepared, Checked, Parsed, NamesAndValues };

static void ReadUpTo(const wchar_t* path, ReaderStep last) {
  ProfileTextForm form;
  std::string bytes = PrepareProfileBytes(FileBytes(path), form);
  if (last == ReaderStep::Bytes || last == ReaderStep::Prepared) return;
  volatile bool checked = ScanProlog(bytes, form.encoding).end == PrologEnd::Content &&
                          FindUnendedMarkup(bytes, form.encoding).end == PrologEnd::Content &&
                          !EndsInsideRoot(bytes, form.encoding);
  (void)checked;
  if (last == ReaderStep::Checked) return;
  ComPtr<IStream> stream;
  stream.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  ComPtr<IXmlReader> reader;
  if (!stream || FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr)))
    return;
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader->SetProperty(XmlReaderProperty_MaxElementDepth, 0);
  reader->SetInput(stream.Get());
  XmlNodeType type;
  const wchar_t* text;
  while (reader->Read(&type) == S_OK) {
    if (last != ReaderStep::NamesAndValues) continue;
    if (type == XmlNodeType_Element || type == XmlNodeType_EndElement) {
      reader->GetPrefix(&text, nullptr);
      reader->GetLocalName(&text, nullptr);
      if (type == XmlNodeType_Element) reader->MoveToFirstAttribute();
    } else {
      reader->GetValue(&text, nullptr);
    }
  }
}

static void BenchReaderSteps(const ProfileFiles& files) {
  const wchar_t* path = files.first.c_str();
  const std::vector<double> times = MedianRuns(
      RepeatsFor(files.entries),
      {[&] { FileBytes(path); }, [&] { ReadUpTo(path, ReaderStep::Prepared); },
       [&] { ReadUpTo(path, ReaderStep::Checked); }, [&] { ReadUpTo(path, ReaderStep::Parsed); },
       [&] { ReadUpTo(path, ReaderStep::NamesAndValues); }, [&] { ReadProfile(FirstProfileSlot, path); }});
  ReleaseAllProfiles();
  const char* names[] = {"reader: the file's bytes", "reader: and prepared", "reader: and markup checked",
                         "reader: and parsed", "reader: and names and values taken", "reader: ReadProfile"};
  for (size_t i = 0; i < times.size(); ++i) Record(files.entries, names[i], times[i]);
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
  BenchReaderSteps(files);
}
