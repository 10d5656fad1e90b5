// The profile rewrite with the XmlLite writer, and the exchange of the old
// profile file for the new one.
#include "plugins/profile_rewrite.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wrl/client.h>
#include <xmllite.h>

#include <cstring>

#include "app/file_helpers.h"
#include "app/handles.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "plugins/portable/plugin_rules.h"
#include "profile/portable/profile_text.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;

std::vector<PluginChoice> PluginSelection;

static const TextTriple TextCannotRewrite = {
    L"Das Profil hat eine Struktur, die nicht neu geschrieben werden kann. Es wurde nichts geändert.",
    L"The profile's structure cannot be rewritten. Nothing was changed.",
    L"La structure du profil ne peut pas être réécrite. Rien n'a été modifié."};

static const TextTriple TextUnlistedContent = {
    L"Das Profil enthält Inhalte, die beim Neuschreiben verloren gingen (Kommentare, Verarbeitungsanweisungen, "
    L"CDATA, Elemente nur aus Leerzeichen, Steuerzeichen). Es wurde nichts geändert.",
    L"The profile holds content that rewriting would lose (comments, processing instructions, CDATA, elements "
    L"holding only blanks, control characters). Nothing was changed.",
    L"Le profil contient des éléments que la réécriture perdrait (commentaires, instructions de traitement, "
    L"CDATA, éléments ne contenant que des espaces, caractères de contrôle). Rien n'a été modifié."};
static const TextTriple TextChangedSinceLoad = {
    L"Das Profil wurde seit dem Laden geändert. Bitte neu laden. Es wurde nichts geändert.",
    L"The profile has changed since it was loaded. Please load it again. Nothing was changed.",
    L"Le profil a été modifié depuis le chargement. Rechargez-le. Rien n'a été modifié."};

std::wstring WriterEncodingName(const ProfileTextForm& form) {
  switch (form.encoding) {
    case ProfileEncoding::Utf16LittleEndian:
      return L"utf-16";
    case ProfileEncoding::Utf16BigEndian:
      return L"utf-16BE";
    case ProfileEncoding::Declared:
      return std::wstring(form.declaredName.begin(), form.declaredName.end());
    case ProfileEncoding::AnsiCodePage:
      return L"windows-" + std::to_wstring(GetACP());
    case ProfileEncoding::Utf8:
      break;
  }
  return L"utf-8";
}

// One failed writer call: its message with the code, then nothing of the
// rewrite survives.
static bool WriterFailed(const wchar_t* format, HRESULT code) {
  ShowErrorMessage(MainWindow, FormatText(format, static_cast<unsigned long>(code)).c_str());
  return false;
}

#define KW_WRITE(call, message)                         \
  do {                                                  \
    const HRESULT kwResult = (call);                    \
    if (FAILED(kwResult)) return WriterFailed(message, kwResult); \
  } while (0)

static constexpr const wchar_t* StartElementFailed = L"Error, Method: WriteStartElement, error is %08.8lx";
static constexpr const wchar_t* EndElementFailed = L"Error, Method: WriteFullEndElement, error is %08.8lx";
static constexpr const wchar_t* CharsFailed = L"Error, Method: WriteChars, error is %08.8lx";

static bool StartElement(IXmlWriter* writer, std::wstring_view name) {
  const std::wstring owned(name);
  KW_WRITE(writer->WriteStartElement(nullptr, owned.c_str(), nullptr), StartElementFailed);
  return true;
}

static bool WriteEntry(IXmlWriter* writer, const ProfileEntry& entry) {
  if (!StartElement(writer, entry.name)) return false;
  // A carriage return written as itself would read back as a line feed.
  std::wstring_view text = entry.value;
  for (size_t cr; (cr = text.find(L'\r')) != std::wstring_view::npos; text.remove_prefix(cr + 1)) {
    if (cr > 0) KW_WRITE(writer->WriteChars(text.data(), static_cast<UINT>(cr)), CharsFailed);
    KW_WRITE(writer->WriteCharEntity(L'\r'), CharsFailed);
  }
  if (!text.empty()) KW_WRITE(writer->WriteChars(text.data(), static_cast<UINT>(text.size())), CharsFailed);
  // An empty text too gets "<name></name>", the form Mach3 writes.
  KW_WRITE(writer->WriteFullEndElement(), EndElementFailed);
  return true;
}

static const PluginChoice* SelectedPlugin(std::wstring_view name) {
  for (const PluginChoice& choice : PluginSelection) {
    if (choice.name == name) return &choice;
  }
  return nullptr;
}

// A profile read in the ANSI code page is written as UTF-16 into memory and
// turned into ANSI bytes here: XML writers differ in the code pages they
// know, and Mach3's own files carry no declaration to name one.
static bool WritesThroughMemory(const ProfileTextForm& form) { return form.encoding == ProfileEncoding::AnsiCodePage; }

static ComPtr<IXmlWriter> OpenWriter(const wchar_t* target, const ProfileTextForm& form, ComPtr<IStream>* stream) {
  // The whole text is made in memory and written out through WriteFileData
  // at the end, so a full disk fails where the program sees it. The target
  // is created now, so a name that cannot be written fails before any row
  // of the list is touched.
  HRESULT result = S_OK;
  UniqueFile probe(CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!probe) result = HRESULT_FROM_WIN32(GetLastError());
  if (SUCCEEDED(result)) {
    stream->Attach(SHCreateMemStream(nullptr, 0));
    if (!*stream) result = E_OUTOFMEMORY;
  }
  if (FAILED(result)) return WriterFailed(L"Error creating file writer, error is %08.8lx", result), nullptr;
  ComPtr<IXmlWriter> writer;
  result = CreateXmlWriter(__uuidof(IXmlWriter), reinterpret_cast<void**>(writer.GetAddressOf()), nullptr);
  if (FAILED(result)) return WriterFailed(L"Error creating xml writer, error is %08.8lx", result), nullptr;
  ComPtr<IXmlWriterOutput> output;
  const std::wstring encoding = WritesThroughMemory(form) ? L"utf-16" : WriterEncodingName(form);
  result = CreateXmlWriterOutputWithEncodingName(stream->Get(), nullptr, encoding.c_str(), output.GetAddressOf());
  if (SUCCEEDED(result)) result = writer->SetOutput(output.Get());
  if (FAILED(result)) return WriterFailed(L"Error, Method: SetOutput, error is %08.8lx", result), nullptr;
  result = writer->SetProperty(XmlWriterProperty_Indent, TRUE);
  if (FAILED(result)) {
    return WriterFailed(L"Error, Method: SetProperty XmlWriterProperty_Indent, error is %08.8lx", result), nullptr;
  }
  // Mach3 writes its profiles without a byte-order mark; keep what was read.
  result = writer->SetProperty(XmlWriterProperty_ByteOrderMark, form.byteOrderMark ? TRUE : FALSE);
  if (FAILED(result)) {
    return WriterFailed(L"Error, Method: SetProperty XmlWriterProperty_ByteOrderMark, error is %08.8lx", result),
           nullptr;
  }
  if (WritesThroughMemory(form)) {
    result = writer->SetProperty(XmlWriterProperty_OmitXmlDeclaration, TRUE);
    if (FAILED(result)) {
      return WriterFailed(L"Error, Method: SetProperty XmlWriterProperty_OmitXmlDeclaration, error is %08.8lx",
                          result),
             nullptr;
    }
  }
  result = writer->WriteStartDocument(XmlStandalone_Omit);
  if (FAILED(result)) return WriterFailed(L"Error, Method: WriteStartDocument, error is %08.8lx", result), nullptr;
  return writer;
}

struct RewriteState {
  HWND list = nullptr;
  HWND progress = nullptr;
  std::wstring_view rootPath;     // "profile / "
  std::wstring_view currentPath;  // the open section's path, or the root's
  bool sectionOpen = false;
  bool inPlugins = false;
  int deletedRows = 0;
};

// Closes the open section and opens the one of `path`; an entry right below
// the root (an empty section "<name></name>") needs none.
static bool ChangeSection(IXmlWriter* writer, RewriteState& state, std::wstring_view path) {
  if (state.sectionOpen) KW_WRITE(writer->WriteFullEndElement(), EndElementFailed);
  state.sectionOpen = false;
  state.currentPath = path;
  state.inPlugins = path == PluginSectionPath;
  if (path == state.rootPath) return true;
  const std::vector<std::wstring_view> names = PathNames(path);
  if (names.size() < 2) return false;
  if (!StartElement(writer, names.back())) return false;
  state.sectionOpen = true;
  return true;
}

static bool WriteEntries(IXmlWriter* writer, ProfileList& list, RewriteState& state) {
  for (uint32_t k = 0; k < list.Count(); ++k) {
    ProfileEntry& entry = list.records[k];
    if (entry.removed) continue;
    if (entry.path != state.currentPath && !ChangeSection(writer, state, entry.path)) return false;
    if (state.inPlugins) {
      if (const PluginChoice* choice = SelectedPlugin(entry.name)) {
        SendMessageW(state.list, LVM_DELETEITEM, choice->row - state.deletedRows, 0);
        ++state.deletedRows;
        entry.removed = 1;
        SendMessageW(state.progress, PBM_SETPOS, k, 0);
        continue;
      }
    }
    if (!WriteEntry(writer, entry)) return false;
    SendMessageW(state.progress, PBM_SETPOS, k, 0);
  }
  return true;
}

// UTF-16 bytes (a byte-order mark dropped) as bytes of the ANSI code page.
static std::string AnsiBytesOf(const std::string& utf16) {
  std::wstring text(utf16.size() / sizeof(wchar_t), L'\0');
  memcpy(text.data(), utf16.data(), text.size() * sizeof(wchar_t));
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// The bytes of the memory stream into the target; UTF-16 text turned into
// ANSI bytes first for a profile read in the ANSI code page.
static bool WriteStreamToFile(const wchar_t* target, IStream* stream, bool toAnsi) {
  STATSTG status = {};
  HRESULT result = stream->Stat(&status, STATFLAG_NONAME);
  std::string bytes(SUCCEEDED(result) ? static_cast<size_t>(status.cbSize.QuadPart) : 0, '\0');
  const LARGE_INTEGER start = {};
  ULONG read = 0;
  if (SUCCEEDED(result)) result = stream->Seek(start, STREAM_SEEK_SET, nullptr);
  if (SUCCEEDED(result)) result = stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  if (FAILED(result)) return WriterFailed(L"Error, Method: Flush, error is %08.8lx", result);
  if (toAnsi) bytes = AnsiBytesOf(bytes);
  switch (WriteBytesInPlace(target, bytes.data(), bytes.size())) {
    case InPlaceStep::Done:
      return true;
    case InPlaceStep::Open:
      return WriterFailed(L"Error creating file writer, error is %08.8lx", HRESULT_FROM_WIN32(GetLastError()));
    case InPlaceStep::Write:
      break;
  }
  return WriterFailed(L"Error, Method: Flush, error is %08.8lx", HRESULT_FROM_WIN32(GetLastError()));
}

static bool WriteProfile(HWND dialog, const wchar_t* target, ProfileList& list) {
  ComPtr<IStream> stream;
  ComPtr<IXmlWriter> writer = OpenWriter(target, list.form, &stream);
  if (!writer) return false;
  RewriteState state;
  state.list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
  state.progress = GetDlgItem(dialog, IDC_PLUGIN_PROGRESS);
  SendMessageW(state.progress, PBM_SETRANGE32, 0, list.Count());
  // The root opens first; the entries open and close their sections.
  const std::wstring_view firstPath = list.records[0].path;
  state.rootPath = firstPath.substr(0, firstPath.find(L" / ") + 3);
  state.currentPath = state.rootPath;
  if (!StartElement(writer.Get(), PathNames(state.rootPath).front())) return false;
  if (!WriteEntries(writer.Get(), list, state)) return false;
  // The section and the root get explicit end tags too, even when empty.
  if (state.sectionOpen) KW_WRITE(writer->WriteFullEndElement(), EndElementFailed);
  KW_WRITE(writer->WriteFullEndElement(), EndElementFailed);
  KW_WRITE(writer->WriteEndDocument(), L"Error, Method: WriteEndDocument, error is %08.8lx");
  KW_WRITE(writer->Flush(), L"Error, Method: Flush, error is %08.8lx");
  return WriteStreamToFile(target, stream.Get(), WritesThroughMemory(list.form));
}

int RewriteProfileWithout(HWND dialog, const wchar_t* target) {
  HWND progress = GetDlgItem(dialog, IDC_PLUGIN_PROGRESS);
  SendMessageW(progress, PBM_SETSTATE, PBST_NORMAL, 0);
  SendMessageW(progress, PBM_SETPOS, 0, 0);
  SendMessageW(progress, PBM_SETSTEP, 1, 0);
  ProfileList& list = ProfileSlots[FirstProfileSlot];
  if (list.Count() == 0) return 0;
  // Only one section level is rebuilt; anything else would change the
  // profile's structure.
  if (!HasSectionStructure(list)) {
    ShowErrorMessage(MainWindow, SelectText(TextCannotRewrite));
    return 0;
  }
  if (WriteProfile(dialog, target, list)) return 1;
  // The writer and the stream are closed here; the partial file goes.
  ReleaseProfile(FirstProfileSlot);
  DeleteFileW(target);
  return 0;
}

bool MoveFileToRecycleBin(const wchar_t* path) {
  std::wstring from = path;
  from.push_back(L'\0');  // a list of names ends with two zeros
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  if (SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted) return false;
  return GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES;
}

static const TextTriple TextNotPutBack = {
    L"%s\r\nDas alte Profil konnte nicht wieder unter seinen Namen gebracht werden. Es liegt als\r\n%s\r\nund "
    L"das neue als\r\n%s",
    L"%s\r\nThe old profile could not be put back under its name. It is kept as\r\n%s\r\nand the new one as\r\n%s",
    L"%s\r\nL'ancien profil n'a pas pu reprendre son nom. Il est conservé sous\r\n%s\r\net le nouveau sous\r\n%s"};

// Written through: the profile must not be lost to a power cut after the
// old one went to the recycle bin.
static BOOL RenameFile(const wchar_t* from, const wchar_t* to) { return MoveFileExW(from, to, MOVEFILE_WRITE_THROUGH); }

static FileRenameFunction Rename = RenameFile;

FileRenameFunction SetFileRenameFunction(FileRenameFunction rename) {
  const FileRenameFunction before = Rename;
  Rename = rename ? rename : RenameFile;
  return before;
}

static void ShowReplaceError(const std::wstring& path, DWORD error) {
  ShowFailureMessage(MainWindow, SystemErrorText(error).c_str(), path.c_str());
}

bool ReplaceProfileFile(const std::wstring& profile, const std::wstring& rewritten) {
  const DWORD attributes = GetFileAttributesW(profile.c_str());
  DWORD error = ERROR_SUCCESS;
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    error = GetLastError();
  } else if (attributes & FILE_ATTRIBUTE_READONLY) {
    error = ERROR_ACCESS_DENIED;  // the user protected it
  }
  // A copy of the old profile beside it, to put back if the new file
  // cannot take its name after the old one went to the recycle bin.
  const std::wstring kept = profile + L"~kw";
  if (error == ERROR_SUCCESS && !CopyFileData(profile.c_str(), kept.c_str())) error = GetLastError();
  if (error == ERROR_SUCCESS && !MoveFileToRecycleBin(profile.c_str())) {
    error = GetFileAttributesW(profile.c_str()) != INVALID_FILE_ATTRIBUTES ? ERROR_SHARING_VIOLATION
                                                                           : ERROR_ACCESS_DENIED;
  }
  if (error == ERROR_SUCCESS && !Rename(rewritten.c_str(), profile.c_str())) {
    error = GetLastError();
    if (!MoveFileExW(kept.c_str(), profile.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      // Neither file has the name now: both stay, and the user learns where.
      const std::wstring text =
          FormatText(SelectText(TextNotPutBack), SystemErrorText(error).c_str(), kept.c_str(), rewritten.c_str());
      ShowFailureMessage(MainWindow, text.c_str(), profile.c_str());
      return false;
    }
  }
  DeleteFileW(kept.c_str());
  if (error == ERROR_SUCCESS) return true;
  DeleteFileW(rewritten.c_str());
  ShowReplaceError(profile, error);
  return false;
}

// The file's bytes; false after the reader's own failure message.
static bool ReadProfileBytes(const std::wstring& path, std::string* bytes) {
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!OpenFileHandle(path.c_str(), GENERIC_READ, OPEN_EXISTING, &file)) return false;
  std::vector<BYTE> data;
  const bool read = ReadWholeFile(&file, &data);
  CloseFileHandle(&file);
  bytes->assign(data.begin(), data.end());
  return read;
}

static bool ShowRefusal(RewriteRefusal refusal) {
  switch (refusal) {
    case RewriteRefusal::None:
      return true;
    case RewriteRefusal::Structure:
      ShowErrorMessage(MainWindow, SelectText(TextCannotRewrite));
      break;
    case RewriteRefusal::Unlisted:
      ShowErrorMessage(MainWindow, SelectText(TextUnlistedContent));
      break;
    case RewriteRefusal::Stale:
      ShowErrorMessage(MainWindow, SelectText(TextChangedSinceLoad));
      break;
  }
  return false;
}

// UTF-16 bytes as UTF-8, so the one scan serves every encoding.
static std::string Utf8OfUtf16(std::string bytes, bool bigEndian) {
  if (bigEndian) {
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  }
  std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
  memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return ToUtf8(text);
}

bool ProfileFileRewritable(const std::wstring& path) {
  std::string bytes;
  if (!ReadProfileBytes(path, &bytes)) return false;
  const ProfileTextForm form = DetectProfileEncoding(bytes.data(), bytes.size());
  if (form.encoding == ProfileEncoding::Utf16LittleEndian || form.encoding == ProfileEncoding::Utf16BigEndian) {
    bytes = Utf8OfUtf16(std::move(bytes), form.encoding == ProfileEncoding::Utf16BigEndian);
  }
  return ShowRefusal(CheckProfileBytes(bytes));
}

// One character in the ANSI code page, or false when it has none there
// (no best-fit look-alike: the value would change).
static TextEncoder AnsiEncoder(UINT codePage) {
  return [codePage](std::u32string_view text, std::string& out) {
    for (char32_t c : text) {
      wchar_t units[2];
      int count = 1;
      if (c >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        count = 2;
      } else {
        units[0] = static_cast<wchar_t>(c);
      }
      char buffer[8];
      BOOL usedDefault = FALSE;
      const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, units, count, buffer, sizeof buffer,
                                           nullptr, &usedDefault);
      if (size <= 0 || usedDefault) return false;
      out.append(buffer, static_cast<size_t>(size));
    }
    return true;
  };
}

std::wstring ReplacedProfilesFolder() {
  PWSTR local = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &local))) return {};
  std::wstring folder = local;
  CoTaskMemFree(local);
  SYSTEMTIME now;
  GetLocalTime(&now);
  return folder + FormatText(L"\\Kestrelwood\\Replaced %04u-%02u-%02u %02u-%02u-%02u", now.wYear, now.wMonth,
                             now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// The old profile into the folder of replaced profiles, under its own name.
static bool KeepOldProfile(const std::wstring& path, std::wstring* kept) {
  const std::wstring folder = ReplacedProfilesFolder();
  DWORD error = ERROR_PATH_NOT_FOUND;
  if (!folder.empty()) {
    const int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    error = made == ERROR_ALREADY_EXISTS ? ERROR_SUCCESS : static_cast<DWORD>(made);
  }
  // A second apply within the same second keeps the first copy too.
  const std::wstring name = PathFindFileNameW(path.c_str());
  *kept = folder + L"\\" + name;
  for (int n = 2; n < 100 && GetFileAttributesW(kept->c_str()) != INVALID_FILE_ATTRIBUTES; ++n) {
    *kept = folder + L"\\" + FormatText(L"%d ", n) + name;
  }
  if (error == ERROR_SUCCESS && !CopyFileData(path.c_str(), kept->c_str())) error = GetLastError();
  if (error == ERROR_SUCCESS) return true;
  ShowReplaceError(*kept, error);
  return false;
}

static bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD error = ERROR_SUCCESS;
  if (!file || !WriteFileData(file.get(), bytes.data(), bytes.size())) error = GetLastError();
  file.reset();
  if (error == ERROR_SUCCESS) return true;
  DeleteFileW(path.c_str());
  ShowReplaceError(path, error);
  return false;
}

bool ApplyProfileChanges(const std::wstring& path, const std::vector<ProfileChange>& changes, std::wstring* kept) {
  std::string bytes;
  if (!ReadProfileBytes(path, &bytes)) return false;
  const ProfileTextForm form = DetectProfileEncoding(bytes.data(), bytes.size());
  // The splice needs an encoding in which markup is plain ASCII bytes.
  if (form.encoding != ProfileEncoding::Utf8 && form.encoding != ProfileEncoding::AnsiCodePage) {
    return ShowRefusal(RewriteRefusal::Structure);
  }
  const TextEncoder encode = form.encoding == ProfileEncoding::Utf8 ? TextEncoder(EncodeUtf8) : AnsiEncoder(GetACP());
  const PatchResult patched = PatchProfileBytes(bytes, changes, encode);
  if (!ShowRefusal(patched.refusal)) return false;
  const std::wstring rewritten = path + L"ppp";
  if (!WriteBytes(rewritten, patched.bytes)) return false;
  if (!KeepOldProfile(path, kept)) {
    DeleteFileW(rewritten.c_str());
    return false;
  }
  return ReplaceProfileFile(path, rewritten);
}
