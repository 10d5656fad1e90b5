// The profile rewrite: the root and section elements rebuilt from the
// entries' paths, every remaining entry an element with its text.
#include "plugins/profile_rewrite.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <xmllite.h>
#include <wrl/client.h>

#include <new>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/text_format.h"
#include "app/text_triple.h"
#include "plugins/plugin_rules.h"
#include "plugins/profile_encoding.h"
#include "profile/profile_list.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;

static const TextTriple TextStructureNotRewritable = {
    L"Das Profil hat eine Struktur, die nicht neu geschrieben werden kann. Es wurde nichts geändert.",
    L"The profile's structure cannot be rewritten. Nothing was changed.",
    L"La structure du profil ne peut pas être réécrite. Rien n'a été modifié."};

static HRESULT OpenFileStream(const wchar_t* path, IStream** stream) {
  return SHCreateStreamOnFileW(path, STGM_CREATE | STGM_WRITE, stream);
}

static ProfileStreamOpener StreamOpener = OpenFileStream;

ProfileStreamOpener SetProfileStreamOpener(ProfileStreamOpener opener) {
  const ProfileStreamOpener before = StreamOpener;
  StreamOpener = opener ? opener : OpenFileStream;
  return before;
}

namespace {

// A failing writer call: reported at once, the rewrite ends.
struct WriterFailure {};

class ProfileRewrite {
 public:
  ProfileRewrite(HWND dialog, ProfileList& list) : dialog_(dialog), list_(list) {}

  void Run(const wchar_t* target) {
    Check(StreamOpener(target, file_.GetAddressOf()), L"Error creating file writer, error is %08.8lx");
    StartWriter();
    const uint32_t count = list_.Count();
    SendProgress(PBM_SETRANGE32, 0, count);
    OpenPath(list_.records[0].path);
    for (uint32_t k = 0; k < count; ++k) WriteEntry(k);
    // The end of the document would close an empty section as <PlugIns />,
    // which reads back as an entry of its own.
    EndElement();
    EndElement();
    Check(writer_->WriteEndDocument(), L"Error, Method: WriteEndDocument, error is %08.8lx");
    Check(writer_->Flush(), L"Error, Method: Flush, error is %08.8lx");
    WriteFile();
  }

 private:
  void Check(HRESULT result, const wchar_t* format) {
    if (SUCCEEDED(result)) return;
    ShowErrorMessage(MainWindow, FormatText(format, static_cast<unsigned long>(result)).c_str());
    throw WriterFailure();
  }

  // The writer writes UTF-16 into memory; the file gets the profile's own
  // encoding when the document is complete.
  void StartWriter() {
    document_.Attach(SHCreateMemStream(nullptr, 0));
    if (!document_) Check(E_OUTOFMEMORY, L"Error creating file writer, error is %08.8lx");
    Check(CreateXmlWriter(__uuidof(IXmlWriter), reinterpret_cast<void**>(writer_.GetAddressOf()), nullptr),
          L"Error creating xml writer, error is %08.8lx");
    ComPtr<IXmlWriterOutput> output;
    Check(CreateXmlWriterOutputWithEncodingName(document_.Get(), nullptr, L"utf-16", output.GetAddressOf()),
          L"Error, Method: CreateXmlWriterOutputWithEncodingName, error is %08.8lx");
    Check(writer_->SetOutput(output.Get()), L"Error, Method: SetOutput, error is %08.8lx");
    Check(writer_->SetProperty(XmlWriterProperty_Indent, TRUE),
          L"Error, Method: SetProperty XmlWriterProperty_Indent, error is %08.8lx");
    Check(writer_->SetProperty(XmlWriterProperty_ByteOrderMark, FALSE),
          L"Error, Method: SetProperty XmlWriterProperty_ByteOrderMark, error is %08.8lx");
    Check(writer_->WriteStartDocument(XmlStandalone_Omit), L"Error, Method: WriteStartDocument, error is %08.8lx");
  }

  void StartElement(std::wstring_view name) {
    const std::wstring copy(name);
    Check(writer_->WriteStartElement(nullptr, copy.c_str(), nullptr),
          L"Error, Method: WriteStartElement, error is %08.8lx");
  }

  void EndElement() {
    Check(writer_->WriteFullEndElement(), L"Error, Method: WriteFullEndElement, error is %08.8lx");
  }

  // A carriage return written as itself would come back as a line feed.
  void WriteText(std::wstring_view text) {
    size_t start = 0;
    for (size_t cr; (cr = text.find(L'\r', start)) != std::wstring_view::npos; start = cr + 1) {
      WriteChars(text.substr(start, cr - start));
      Check(writer_->WriteCharEntity(L'\r'), L"Error, Method: WriteChars, error is %08.8lx");
    }
    WriteChars(text.substr(start));
  }

  void WriteChars(std::wstring_view text) {
    Check(writer_->WriteChars(text.data(), static_cast<UINT>(text.size())),
          L"Error, Method: WriteChars, error is %08.8lx");
  }

  void OpenPath(std::wstring_view path) {
    currentPath_ = path;
    for (std::wstring_view name : NamesOf(path)) StartElement(name);
    inPlugins_ = path == PluginsPath;
  }

  void WriteEntry(uint32_t k) {
    ProfileEntry& entry = list_.records[k];
    if (entry.removed) return;
    if (entry.path != currentPath_) {
      EndElement();
      currentPath_ = entry.path;
      StartElement(SectionOf(entry.path));
      inPlugins_ = entry.path == PluginsPath;
    }
    if (inPlugins_) {
      if (const SelectedPlugin* plugin = PluginSelection.Find(entry.name)) {
        ListView_DeleteItem(GetDlgItem(dialog_, IDC_PLUGIN_LIST), plugin->row - deletedRows_);
        ++deletedRows_;
        entry.removed = 1;
        SendProgress(PBM_SETPOS, k, 0);
        return;
      }
    }
    StartElement(entry.name);
    WriteText(entry.value);
    EndElement();
    SendProgress(PBM_SETPOS, k, 0);
  }

  void WriteFile() {
    STATSTG status = {};
    Check(document_->Stat(&status, STATFLAG_NONAME), L"Error, Method: Flush, error is %08.8lx");
    std::wstring text(static_cast<size_t>(status.cbSize.QuadPart) / sizeof(wchar_t), L'\0');
    const LARGE_INTEGER start = {};
    ULONG read = 0;
    Check(document_->Seek(start, STREAM_SEEK_SET, nullptr), L"Error, Method: Flush, error is %08.8lx");
    Check(document_->Read(text.data(), static_cast<ULONG>(text.size() * sizeof(wchar_t)), &read),
          L"Error, Method: Flush, error is %08.8lx");
    std::string bytes;
    if (!EncodeProfileDocument(text, list_.form, bytes)) {
      Check(MX_E_ENCODING, L"Error, Method: CreateXmlWriterOutputWithEncodingName, error is %08.8lx");
    }
    ULONG written = 0;
    HRESULT result = file_->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    if (SUCCEEDED(result) && written != bytes.size()) result = STG_E_MEDIUMFULL;
    Check(result, L"Error, Method: Write, error is %08.8lx");
    Check(file_->Commit(STGC_DEFAULT), L"Error, Method: Flush, error is %08.8lx");
  }

  void SendProgress(UINT message, WPARAM wParam, LPARAM lParam) {
    SendDlgItemMessageW(dialog_, IDC_PLUGIN_PROGRESS, message, wParam, lParam);
  }

  HWND dialog_;
  ProfileList& list_;
  ComPtr<IStream> file_;
  ComPtr<IStream> document_;
  ComPtr<IXmlWriter> writer_;
  std::wstring_view currentPath_;
  bool inPlugins_ = false;
  int deletedRows_ = 0;
};

}  // namespace

static void ResetProgress(HWND dialog) {
  SendDlgItemMessageW(dialog, IDC_PLUGIN_PROGRESS, PBM_SETSTATE, PBST_NORMAL, 0);
  SendDlgItemMessageW(dialog, IDC_PLUGIN_PROGRESS, PBM_SETPOS, 0, 0);
  SendDlgItemMessageW(dialog, IDC_PLUGIN_PROGRESS, PBM_SETSTEP, 1, 0);
}

int RewriteProfileWithout(HWND dialog, const wchar_t* target) {
  ResetProgress(dialog);
  ProfileList& list = ProfileSlots[FirstProfileSlot];
  if (list.Count() == 0) return 0;
  if (!HasRewritableShape(list)) {
    ShowErrorMessage(MainWindow, SelectText(TextStructureNotRewritable));
    return 0;
  }
  bool done = false;
  {
    ProfileRewrite rewrite(dialog, list);
    try {
      rewrite.Run(target);
      done = true;
    } catch (const WriterFailure&) {
    } catch (const std::bad_alloc&) {
      ShowErrorMessage(MainWindow, SelectText(TextOutOfMemory));
    }
  }  // the file is closed here, so a failed one can be removed
  if (done) return 1;
  ReleaseProfile(FirstProfileSlot);
  DeleteFileW(target);
  return 0;
}
