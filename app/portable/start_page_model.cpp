// The start page's portable rules.
#include "app/portable/start_page_model.h"

#include <cstdint>

static std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ChooseMach3Folder(const std::wstring& stored, const std::vector<std::wstring>& profilePaths,
                               const std::function<bool(const std::wstring& folder)>& holdsMach3) {
  std::vector<std::wstring> candidates = {stored, L"C:\\Mach3"};
  for (const std::wstring& path : profilePaths) candidates.push_back(FolderOf(path));
  for (const std::wstring& folder : candidates) {
    if (!folder.empty() && holdsMach3(folder)) return folder;
  }
  return stored.empty() ? L"C:\\Mach3" : stored;
}

namespace {

// Walks the markup unit by unit: bytes for UTF-8 and ANSI files, 16-bit
// units for UTF-16 (the markup characters are ASCII in all of them).
class EntryCounter {
 public:
  EntryCounter(std::string_view bytes, bool utf16, bool bigEndian)
      : bytes_(bytes), step_(utf16 ? 2 : 1), bigEndian_(bigEndian) {}

  long Count() {
    while (at_ < Units()) {
      if (Peek(0) == '<') {
        if (!Markup()) return -1;
      } else {
        // Blanks alone are no text, but they part a start tag from its end
        // tag as text does: "<a> </a>" is no entry.
        if (depth_ > 0 && !IsBlank(Peek(0))) marks_[depth_ - 1] = true;
        justStarted_ = false;
        ++at_;
      }
    }
    return depth_ == 0 && rootClosed_ ? count_ : -1;
  }

 private:
  static constexpr int MaxDepth = 256;  // as the reader

  size_t Units() const { return bytes_.size() / step_; }
  uint32_t Peek(size_t ahead) const {
    const size_t i = (at_ + ahead) * step_;
    if (i + step_ > bytes_.size()) return 0;
    if (step_ == 1) return static_cast<unsigned char>(bytes_[i]);
    const uint32_t a = static_cast<unsigned char>(bytes_[i]), b = static_cast<unsigned char>(bytes_[i + 1]);
    return bigEndian_ ? (a << 8 | b) : (b << 8 | a);
  }
  static bool IsBlank(uint32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  bool StartsWith(const char* text) const {
    for (size_t i = 0; text[i]; ++i) {
      if (Peek(i) != static_cast<unsigned char>(text[i])) return false;
    }
    return true;
  }
  // Moves past `end`; false when the document stops first.
  bool SkipPast(const char* end) {
    while (at_ < Units()) {
      if (StartsWith(end)) {
        for (const char* e = end; *e; ++e) ++at_;
        return true;
      }
      ++at_;
    }
    return false;
  }

  bool Markup() {
    if (StartsWith("<?")) return SkipPast("?>");
    if (StartsWith("<!--")) {
      justStarted_ = false;
      return SkipPast("-->");
    }
    if (StartsWith("<![CDATA[")) {
      justStarted_ = false;
      return SkipPast("]]>");
    }
    if (StartsWith("<!")) return false;  // a DOCTYPE: the reader refuses it
    if (StartsWith("</")) {
      if (!SkipPast(">") || depth_ == 0) return false;
      if (justStarted_) marks_[depth_ - 1] = true;
      justStarted_ = false;
      Close();
      return true;
    }
    // A start tag; quoted attribute values may hold '>'.
    uint32_t quote = 0, last = 0;
    for (++at_; at_ < Units(); ++at_) {
      const uint32_t c = Peek(0);
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        break;
      } else if (!IsBlank(c)) {
        last = c;
      }
    }
    if (at_ >= Units()) return false;
    ++at_;
    if ((depth_ == 0 && rootClosed_) || depth_ == MaxDepth - 1) return false;
    marks_[depth_++] = false;
    if (last == '/') {
      marks_[depth_ - 1] = true;
      justStarted_ = false;
      Close();
    } else {
      justStarted_ = true;
    }
    return true;
  }

  void Close() {
    --depth_;
    if (depth_ == 0) rootClosed_ = true;
    if (marks_[depth_]) ++count_;
  }

  std::string_view bytes_;
  size_t step_;
  bool bigEndian_;
  size_t at_ = 0;
  int depth_ = 0;
  bool marks_[MaxDepth] = {};
  bool justStarted_ = false;
  bool rootClosed_ = false;
  long count_ = 0;
};

}  // namespace

long CountProfileEntries(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return EntryCounter(bytes.substr(2), true, false).Count();
  }
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE && static_cast<unsigned char>(bytes[1]) == 0xFF) {
    return EntryCounter(bytes.substr(2), true, true).Count();
  }
  return EntryCounter(bytes, false, false).Count();
}

bool ChangedSinceBackup(const std::wstring& changed, const std::wstring& backedUp) {
  return !backedUp.empty() && !changed.empty() && changed > backedUp;
}
