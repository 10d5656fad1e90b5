// The profile reader: a streaming pass over the XML nodes of a profile that
// keeps one entry per element with text, and keeps no tree.
#include "profile/profile_reader.h"

#include <windows.h>
#include <xmllite.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "app/handles.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/portable/text_triple.h"

using Microsoft::WRL::ComPtr;

static const TextTriple TextDepthExceeded = {
    L"Element-Tiefe überschritten. Abbruch", L"Elemente depth exceeded. Cancel", L"Elemente depth exceeded. Cancel"};

inline constexpr int MaxDepth = 256;
// A profile larger than this is not a profile; it is refused as too large
// for memory before anything is allocated for it.
inline constexpr LONGLONG MaxProfileBytes = 256LL << 20;
// Records reserved ahead for a file: about one per 20 bytes (the least a
// Mach3 entry takes), but no more than this, whatever the file holds.
inline constexpr size_t MaxReservedRecords = 1 << 20;

static void ShowReaderError(const wchar_t* format, HRESULT result, UINT extraStyle = MB_OK) {
  ShowErrorMessage(MainWindow, FormatText(format, static_cast<unsigned long>(result)).c_str(), extraStyle);
}

static void ShowOutOfMemory() { ShowErrorMessage(MainWindow, SelectText(TextOutOfMemory)); }

static void ReportNotWellFormed(uint32_t line, uint32_t position, HRESULT result) {
  ShowErrorMessage(MainWindow, FormatText(L"Error reading xml at line %u, position %u, error is %08.8lx", line,
                                          position, static_cast<unsigned long>(result))
                                   .c_str());
}

int GrowProfileList(int slot) {
  if (TryGrowProfileList(slot)) return 1;
  ShowOutOfMemory();
  ReleaseProfile(slot);
  return 0;
}

// ---------------------------------------------------------------- file bytes

enum class FileRead { Done, Failed, TooLarge };

// Shares reading and writing, so a profile that Mach3 holds open still reads.
static FileRead ReadWholeFile(const wchar_t* path, std::string& bytes, HRESULT& error) {
  UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (!file || !GetFileSizeEx(file.get(), &size)) {
    error = HRESULT_FROM_WIN32(GetLastError());
    return FileRead::Failed;
  }
  if (size.QuadPart > MaxProfileBytes) return FileRead::TooLarge;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) {
      error = HRESULT_FROM_WIN32(GetLastError());
      return FileRead::Failed;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return FileRead::Done;
}

// Decoded here rather than by the XML reader, which knows few encoding
// names on some platforms, and handed on as UTF-8, the form every XML
// reader takes without a declaration. (Wine's reader mishandles long UTF-16
// input, so UTF-16 is not used as the go-between.)
static std::string AnsiToUtf8(const std::string& bytes) {
  std::string result;
  if (bytes.empty()) return result;
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), units);
  ReplaceForbiddenUnits(reinterpret_cast<char16_t*>(text.data()), static_cast<size_t>(units));
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  result.resize(static_cast<size_t>(size));
  WideCharToMultiByte(CP_UTF8, 0, text.data(), units, result.data(), size, nullptr, nullptr);
  return result;
}

std::string PrepareProfileBytes(std::string bytes, ProfileTextForm& form) {
  form = DetectProfileEncoding(bytes.data(), bytes.size());
  if (form.encoding == ProfileEncoding::AnsiCodePage) {
    form.ansiCodePage = GetACP();
    return AnsiToUtf8(bytes);
  }
  ReplaceForbiddenCharacters(bytes, form);
  return bytes;
}

// ---------------------------------------------------------------- node pass

enum class ReadEnd { Document, NotWellFormed, Failed };

namespace {

// One read of one file into one slot. Failures that release the list show
// their message here and end with Failed.
class ProfileReadPass {
 public:
  ProfileReadPass(IXmlReader* reader, ProfileList& list, int slot) : reader_(reader), list_(list), slot_(slot) {}

  ReadEnd Run() {
    XmlNodeType type;
    HRESULT result;
    while ((result = reader_->Read(&type)) == S_OK) {
      const bool endFollowsStart = startJustRead_;
      startJustRead_ = false;
      if (type == XmlNodeType_EndElement && endFollowsStart) MarkEmptyElement();
      if (!OnNode(type)) return ReadEnd::Failed;
      if (FAILED(misplaced_)) break;
    }
    StoreCount();
    // Some readers end quietly where the document is not complete.
    if (result == S_FALSE && !rootClosed_) result = MX_E_INPUTEND;
    if (result == S_FALSE) return ReadEnd::Document;
    ReportAtReader(FAILED(misplaced_) ? misplaced_ : result);
    return ReadEnd::NotWellFormed;
  }

  void StoreCount() { list_.records[0].count = counter_; }

 private:
  bool OnNode(XmlNodeType type) {
    switch (type) {
      case XmlNodeType_Element:
        return OnElement();
      case XmlNodeType_Text:
        return OnText();
      case XmlNodeType_Whitespace:
        return DiscardValue(L"Error getting value, error is %08.8lx");
      case XmlNodeType_CDATA:  // CDATA text does not count as text
        return DiscardValue(L"Error getting CDATA value, error is %08.8lx");
      case XmlNodeType_ProcessingInstruction:
        return OnProcessingInstruction();
      case XmlNodeType_Comment:
        return DiscardValue(L"Error getting Comment value, error is %08.8lx");
      case XmlNodeType_DocumentType:
        ShowErrorMessage(MainWindow, L"Error DOCTYPE is not printed");
        return false;
      case XmlNodeType_EndElement:
        return OnEndElement();
      case XmlNodeType_XmlDeclaration:
        ReadAttributes();  // an error is shown, the read goes on
        return true;
      default:
        return true;
    }
  }

  bool Check(HRESULT result, const wchar_t* format, UINT extraStyle = MB_OK) {
    if (SUCCEEDED(result)) return true;
    ShowReaderError(format, result, extraStyle);
    return false;
  }

  bool ReadNames(const wchar_t** name, UINT* length) {
    const wchar_t* prefix;
    return Check(reader_->GetPrefix(&prefix, nullptr), L"Error getting prefix, error is %08.8lx") &&
           Check(reader_->GetLocalName(name, length), L"Error getting local name, error is %08.8lx");
  }

  bool OnElement() {
    const wchar_t* name;
    UINT length;
    if (!ReadNames(&name, &length)) return false;
    if (depth_ == 0 && rootClosed_) return Misplaced();
    const bool empty = reader_->IsEmptyElement();
    if (depth_ == MaxDepth - 1) {
      ShowErrorMessage(MainWindow, SelectText(TextDepthExceeded));
      return false;
    }
    Push(name, length);  // before the attributes: they move the reader off the name
    if (!ReadAttributes()) return false;
    if (!empty) return startJustRead_ = true;
    MarkEmptyElement();
    return Close();
  }

  // "<name/>" and "<name></name>" are the same empty element (Mach3 writes
  // the second form for an empty value): both make an entry with no text.
  void MarkEmptyElement() {
    currentText_.clear();
    marks_[depth_ - 1] = true;
  }

  bool OnText() {
    const wchar_t* value;
    UINT length;
    if (!Check(reader_->GetValue(&value, &length), L"Error getting Text value, error is %08.8lx")) return false;
    if (depth_ == 0) return Misplaced();
    currentText_.assign(value, length);
    marks_[depth_ - 1] = true;
    return true;
  }

  bool DiscardValue(const wchar_t* format) {
    const wchar_t* value;
    return Check(reader_->GetValue(&value, nullptr), format);
  }

  bool OnProcessingInstruction() {
    const wchar_t* text;
    return Check(reader_->GetLocalName(&text, nullptr),
                 L"Error getting ProcessingInstruction name, error is %08.8lx") &&
           Check(reader_->GetValue(&text, nullptr), L"Error getting ProcessingInstrruction value, error is %08.8lx");
  }

  bool OnEndElement() {
    const wchar_t* name;
    UINT length;
    if (!ReadNames(&name, &length)) return false;
    return depth_ == 0 || Close();
  }

  // Attribute names and values are read and dropped.
  bool ReadAttributes() {
    HRESULT result = reader_->MoveToFirstAttribute();
    if (result == S_FALSE) return true;
    if (!Check(result, L"Error moving to first attribute, error is %08.8lx", MB_OKCANCEL)) return false;
    do {
      if (reader_->IsDefault()) continue;
      const wchar_t* text;
      if (!Check(reader_->GetPrefix(&text, nullptr), L"Error getting prefix, error is %08.8lx", MB_OKCANCEL) ||
          !Check(reader_->GetLocalName(&text, nullptr), L"Error getting local name, error is %08.8lx",
                 MB_OKCANCEL) ||
          !Check(reader_->GetValue(&text, nullptr), L"Error getting value, error is %08.8lx", MB_OKCANCEL)) {
        return false;
      }
    } while ((result = reader_->MoveToNextAttribute()) == S_OK);
    return Check(result, L"Error getting value, error is %08.8lx", MB_OKCANCEL);
  }

  // The path of every place is kept as a prefix of one running text, so a
  // closed element's path is a copy of that prefix.
  void Push(const wchar_t* name, UINT length) {
    names_[depth_].assign(name, length);
    marks_[depth_] = false;
    pathStarts_[depth_] = runningPath_.size();
    runningPath_.append(name, length).append(L" / ");
    ++depth_;
  }

  // Text outside the root element or a second root: not XML, whether or not
  // the XML reader notices (Windows' does, Wine's does not).
  bool Misplaced() {
    misplaced_ = WC_E_SYNTAX;
    return true;
  }

  bool Close() {
    --depth_;
    if (depth_ == 0) rootClosed_ = true;
    runningPath_.resize(pathStarts_[depth_]);
    if (!marks_[depth_]) return true;
    ProfileEntry& entry = list_.records[counter_];
    // Neighbours mostly share their path: keep one copy of it.
    if (lastPath_ != runningPath_) lastPath_ = list_.texts.Keep(runningPath_);
    entry.path = lastPath_;
    entry.name = list_.texts.Keep(names_[depth_]);
    entry.value = list_.texts.Keep(currentText_);
    ++counter_;
    if (counter_ < list_.Capacity()) return true;
    return GrowProfileList(slot_) != 0;
  }

  void ReportAtReader(HRESULT result) {
    UINT line = 0, position = 0;
    reader_->GetLineNumber(&line);
    reader_->GetLinePosition(&position);
    ReportNotWellFormed(line, position, result);
  }

  IXmlReader* reader_;
  ProfileList& list_;
  int slot_;
  std::wstring names_[MaxDepth];
  bool marks_[MaxDepth] = {};
  size_t pathStarts_[MaxDepth] = {};
  int depth_ = 0;
  std::wstring runningPath_;
  std::wstring currentText_;
  std::wstring_view lastPath_;
  uint32_t counter_ = 0;
  bool rootClosed_ = false;
  bool startJustRead_ = false;  // the last node was a start tag with content to come
  HRESULT misplaced_ = S_OK;
};

}  // namespace

// ---------------------------------------------------------------- ReadProfile

static bool StartList(int slot) {
  EmptyProfileForReuse(slot);
  return TryGrowProfileList(slot);
}

static ComPtr<IXmlReader> CreateReaderOn(ISequentialStream* stream) {
  ComPtr<IXmlReader> reader;
  HRESULT result = CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.GetAddressOf()), nullptr);
  if (FAILED(result)) {
    ShowReaderError(L"Error creating xml reader, error is %08.8lx", result);
    return nullptr;
  }
  result = reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  if (FAILED(result)) {
    ShowReaderError(L"Error setting XmlReaderProperty_DtdProcessing, error is %08.8lx", result);
    return nullptr;
  }
  // The reader's own depth limit would cut in before ours with another message.
  reader->SetProperty(XmlReaderProperty_MaxElementDepth, 0);
  result = reader->SetInput(stream);
  if (FAILED(result)) {
    ShowReaderError(L"Error setting input for reader, error is %08.8lx", result);
    return nullptr;
  }
  return reader;
}

static bool ReadProfileBytes(const wchar_t* path, std::string& bytes) {
  HRESULT error = S_OK;
  switch (ReadWholeFile(path, bytes, error)) {
    case FileRead::Done:
      return true;
    case FileRead::TooLarge:
      ShowOutOfMemory();
      return false;
    case FileRead::Failed:
      break;
  }
  ShowReaderError(L"Error creating file reader, error is %08.8lx", error);
  return false;
}

// The encoding of the prepared bytes: an ANSI profile is handed on as UTF-8.
static ProfileEncoding PreparedEncoding(const ProfileTextForm& form) {
  return form.encoding == ProfileEncoding::AnsiCodePage ? ProfileEncoding::Utf8 : form.encoding;
}

// DTDs are prohibited, a document must have a root element, and every
// processing instruction, comment and CDATA section must end; refusing
// these here keeps every XML reader away from them (Wine's stops the
// program on a document that ends after its declaration, and waits forever
// for the end of an unended instruction, comment or section).
static bool ReportBadMarkup(const std::string& prepared, const ProfileTextForm& form) {
  const ProfileEncoding preparedForm = PreparedEncoding(form);
  PrologPlace place = ScanProlog(prepared, preparedForm);
  if (place.end == PrologEnd::Content) place = FindUnendedMarkup(prepared, preparedForm);
  switch (place.end) {
    case PrologEnd::Content:
      return false;
    case PrologEnd::DocumentType:
      ReportNotWellFormed(place.line, place.position, WC_E_DTDPROHIBITED);
      return true;
    case PrologEnd::EndOfInput:
      ReportNotWellFormed(place.line, place.position, MX_E_INPUTEND);
      return true;
  }
  return false;
}

// Bytes that end inside the root element get a "<" after them, so the XML
// reader meets a broken tag there rather than the end of the input, where
// Wine's waits forever. A well-formed document is never changed.
static void EndWithMarkup(std::string& prepared, const ProfileTextForm& form) {
  const ProfileEncoding preparedForm = PreparedEncoding(form);
  if (!EndsInsideRoot(prepared, preparedForm)) return;
  switch (preparedForm) {
    case ProfileEncoding::Utf16LittleEndian:
      prepared.append("<\0", 2);
      break;
    case ProfileEncoding::Utf16BigEndian:
      prepared.append("\0<", 2);
      break;
    default:
      prepared.push_back('<');
  }
}

// The prepared bytes as the XML reader's input, read where they lie: a
// memory stream would copy them first.
namespace {
class BytesStream final : public ISequentialStream {
 public:
  explicit BytesStream(const std::string& bytes) : bytes_(bytes) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id != __uuidof(IUnknown) && id != __uuidof(ISequentialStream)) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<ISequentialStream*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* done) override {
    const size_t count = std::min<size_t>(size, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    if (done) *done = static_cast<ULONG>(count);
    return count == size ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

 private:
  const std::string& bytes_;
  size_t position_ = 0;
  ULONG references_ = 1;
};
}  // namespace

static int ReadProfileOrThrow(int slot, const wchar_t* path) {
  if (!StartList(slot)) {
    ShowOutOfMemory();
    return 0;
  }
  ProfileList& list = ProfileSlots[slot];
  std::string bytes;
  if (!ReadProfileBytes(path, bytes)) {
    ReleaseProfile(slot);
    return 0;
  }
  // Room for the likely number of entries at once; the capacity the list
  // shows still grows by 64.
  list.records.reserve(std::min(bytes.size() / 20, MaxReservedRecords) + ProfileListStep);
  std::string prepared = PrepareProfileBytes(std::move(bytes), list.form);
  if (ReportBadMarkup(prepared, list.form)) return 0;
  EndWithMarkup(prepared, list.form);
  ComPtr<ISequentialStream> stream;
  stream.Attach(new (std::nothrow) BytesStream(prepared));
  if (!stream) ShowReaderError(L"Error creating file reader, error is %08.8lx", E_OUTOFMEMORY);
  ComPtr<IXmlReader> reader = stream ? CreateReaderOn(stream.Get()) : nullptr;
  if (!reader) {
    ReleaseProfile(slot);
    return 0;
  }
  auto pass = std::make_unique<ProfileReadPass>(reader.Get(), list, slot);
  switch (pass->Run()) {
    case ReadEnd::Document:
      return 1;
    case ReadEnd::NotWellFormed:
      return 0;
    case ReadEnd::Failed:
      break;
  }
  ReleaseProfile(slot);
  return 0;
}

int ReadProfile(int slot, const wchar_t* path) {
  try {
    return ReadProfileOrThrow(slot, path);
  } catch (const std::bad_alloc&) {
    ShowOutOfMemory();
    ReleaseProfile(slot);
    return 0;
  }
}
