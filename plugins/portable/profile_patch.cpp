// The byte splicing behind "copy selected values": a small scan of the
// profile's two levels, then the chosen values put in place.
#include "plugins/portable/profile_patch.h"

#include "app/portable/text_format.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

constexpr std::wstring_view PathSeparator = L" / ";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool AllBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsBlank);
}

struct Leaf {
  std::string name;
  size_t section;  // index into the sections, or npos right below the root
  size_t begin;    // the content, between start and end tag
  size_t end;
  bool wholeTag;   // "<name/>": begin and end span the tag
};

struct Section {
  std::string name;
  size_t endTag = 0;  // where "</name>" starts
};

struct Layout {
  RewriteRefusal refusal = RewriteRefusal::None;
  std::vector<Leaf> leaves;
  std::vector<Section> sections;
  size_t rootEnd = 0;
};

// Mach3's profiles are a root, sections and keys. Anything else is refused
// rather than guessed at.
class Scanner {
 public:
  explicit Scanner(const std::string& bytes) : s_(bytes) {}

  Layout Scan() {
    for (char c : s_) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20 && !IsBlank(c)) return Failed(RewriteRefusal::Unlisted);
    }
    if (At("\xEF\xBB\xBF")) p_ = 3;
    if (At("<?xml") && p_ + 5 < s_.size() && (IsBlank(s_[p_ + 5]) || s_[p_ + 5] == '?')) {
      const size_t close = s_.find("?>", p_);
      if (close == std::string::npos) return Failed(RewriteRefusal::Structure);
      p_ = close + 2;
    }
    SkipBlanks();
    if (!Plain()) return layout_;
    std::string root;
    bool empty = false;
    if (!StartTag(root, &empty)) return layout_;
    if (empty) return Failed(RewriteRefusal::Structure);
    for (;;) {
      SkipBlanks();
      if (At("</")) {
        layout_.rootEnd = p_;
        if (!EndTag(root)) return layout_;
        break;
      }
      if (!Plain() || !Element(std::string::npos)) return layout_;
    }
    SkipBlanks();
    if (p_ < s_.size() && Plain()) Fail(RewriteRefusal::Structure);
    return layout_;
  }

 private:
  Layout Failed(RewriteRefusal refusal) {
    Fail(refusal);
    return layout_;
  }

  bool Fail(RewriteRefusal refusal) {
    if (layout_.refusal == RewriteRefusal::None) layout_.refusal = refusal;
    return false;
  }

  bool At(std::string_view text) const { return s_.compare(p_, text.size(), text) == 0; }

  void SkipBlanks() {
    while (p_ < s_.size() && IsBlank(s_[p_])) ++p_;
  }

  // At the start of an element's tag: true. Comments, instructions and
  // CDATA are what the reader leaves out; text or a declaration here is
  // mixed content or no profile at all.
  bool Plain() {
    if (At("<!--") || At("<?") || At("<![CDATA[")) return Fail(RewriteRefusal::Unlisted);
    if (!At("<") || At("<!") || At("</")) return Fail(RewriteRefusal::Structure);
    return true;
  }

  bool Name(std::string& name) {
    const size_t begin = p_;
    while (p_ < s_.size() && !IsBlank(s_[p_]) && s_[p_] != '>' && s_[p_] != '/' && s_[p_] != '<') ++p_;
    if (p_ == begin) return Fail(RewriteRefusal::Structure);
    name = s_.substr(begin, p_ - begin);
    return true;
  }

  // At "<": the name and ">" or "/>". Attributes cannot be kept by the
  // rewrite.
  bool StartTag(std::string& name, bool* empty) {
    ++p_;
    if (!Name(name)) return false;
    SkipBlanks();
    *empty = At("/>");
    if (*empty) ++p_;
    if (!At(">")) return Fail(RewriteRefusal::Structure);
    ++p_;
    return true;
  }

  bool EndTag(const std::string& name) {
    p_ += 2;
    std::string closing;
    if (!Name(closing) || closing != name) return Fail(RewriteRefusal::Structure);
    SkipBlanks();
    if (!At(">")) return Fail(RewriteRefusal::Structure);
    ++p_;
    return true;
  }

  // A key (text only) or, right below the root, a section of keys.
  bool Element(size_t section) {
    std::string name;
    const size_t tag = p_;
    bool empty = false;
    if (!StartTag(name, &empty)) return false;
    if (empty) {  // "<name/>" reads as an empty entry
      layout_.leaves.push_back({name, section, tag, p_, true});
      return true;
    }
    const size_t begin = p_;
    p_ = s_.find('<', p_);
    if (p_ == std::string::npos) return Fail(RewriteRefusal::Structure);
    const std::string_view text(s_.data() + begin, p_ - begin);
    if (At("</")) {
      // An element of blanks only is not listed; an empty one is.
      if (!text.empty() && AllBlank(text)) return Fail(RewriteRefusal::Unlisted);
      layout_.leaves.push_back({name, section, begin, p_, false});
      return EndTag(name);
    }
    if (!Plain()) return false;
    if (section != std::string::npos || !AllBlank(text)) return Fail(RewriteRefusal::Structure);
    const size_t index = layout_.sections.size();
    layout_.sections.push_back({name, 0});
    for (;;) {
      SkipBlanks();
      if (At("</")) {
        layout_.sections[index].endTag = p_;
        return EndTag(name);
      }
      if (!Plain() || !Element(index)) return false;
    }
  }

  const std::string& s_;
  size_t p_ = 0;
  Layout layout_;
};

void AppendReference(std::string& out, char32_t c) {
  out += "&#" + std::to_string(static_cast<uint32_t>(c)) + ";";
}

// The value as element content: markup characters escaped, a carriage
// return as a reference (written as itself it would read back as a line
// feed), a character the encoding lacks as a reference.
std::string EscapedValue(std::u32string_view value, const TextEncoder& encode) {
  std::string out;
  for (char32_t c : value) {
    switch (c) {
      case U'&':
        out += "&amp;";
        continue;
      case U'<':
        out += "&lt;";
        continue;
      case U'>':
        out += "&gt;";
        continue;
      case U'\r':
        AppendReference(out, c);
        continue;
    }
    if (!encode(std::u32string_view(&c, 1), out)) AppendReference(out, c);
  }
  return out;
}

struct Splice {
  size_t begin;
  size_t end;
  std::string text;
};

}  // namespace

std::u32string CodePointsOf(std::wstring_view text) {
  std::u32string points;
  points.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const uint32_t unit = static_cast<uint32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size()) {
      const uint32_t low = static_cast<uint32_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        points.push_back(static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
        ++i;
        continue;
      }
    }
    points.push_back(static_cast<char32_t>(unit));
  }
  return points;
}

bool EncodeUtf8(std::u32string_view text, std::string& out) {
  for (char32_t c : text) {
    if ((c >= 0xD800 && c < 0xE000) || c >= 0x110000) return false;
    AppendUtf8(out, c);
  }
  return true;
}

std::vector<ProfileChange> ChangeSetOf(const std::vector<ComparedEntry>& entries,
                                       const std::vector<uint32_t>& chosen, bool toSecond) {
  // The k-th entry of a path and name pairs with the other file's k-th.
  std::vector<uint32_t> occurrence(entries.size());
  std::unordered_map<std::wstring, uint32_t> seen;
  for (size_t i = 0; i < entries.size(); ++i) {
    std::wstring key(entries[i].path);
    key += L'\n';
    key += entries[i].name;
    occurrence[i] = seen[key]++;
  }
  std::vector<uint32_t> order(chosen);
  std::sort(order.begin(), order.end());
  order.erase(std::unique(order.begin(), order.end()), order.end());
  std::vector<ProfileChange> changes;
  for (uint32_t index : order) {
    if (index >= entries.size()) continue;
    const ComparedEntry& entry = entries[index];
    const std::wstring_view source = toSecond ? entry.first : entry.second;
    const std::wstring_view target = toSecond ? entry.second : entry.first;
    if (source.data() == nullptr) continue;  // only in the target: it stays
    const bool add = target.data() == nullptr;
    if (!add && source == target) continue;
    const size_t cut = entry.path.find(PathSeparator);
    ProfileChange change;
    if (cut != std::wstring_view::npos) change.section = entry.path.substr(cut + PathSeparator.size());
    change.name = entry.name;
    change.value = source;
    change.occurrence = occurrence[index];
    change.add = add;
    changes.push_back(std::move(change));
  }
  return changes;
}

RewriteRefusal CheckProfileBytes(const std::string& bytes) { return Scanner(bytes).Scan().refusal; }

PatchResult PatchProfileBytes(const std::string& bytes, const std::vector<ProfileChange>& changes,
                              const TextEncoder& encode) {
  PatchResult result;
  const Layout layout = Scanner(bytes).Scan();
  result.refusal = layout.refusal;
  if (result.refusal != RewriteRefusal::None) return result;
  std::vector<Splice> splices;
  // Keys of sections the target lacks, gathered per section in the order
  // first met; keys right below the root go there too, unnamed.
  std::vector<std::pair<std::string, std::string>> atRootEnd;
  for (const ProfileChange& change : changes) {
    std::string section;
    std::string name;
    // A deeper path has no place in the target's two levels.
    if (change.section.find(PathSeparator) != std::wstring::npos || change.name.empty() ||
        !encode(CodePointsOf(change.section), section) || !encode(CodePointsOf(change.name), name)) {
      result.refusal = RewriteRefusal::Structure;
      return result;
    }
    const std::string value = EscapedValue(CodePointsOf(change.value), encode);
    const std::string element = "<" + name + ">" + value + "</" + name + ">";
    const auto inSection = [&](const Leaf& leaf) {
      return section.empty() ? leaf.section == std::string::npos
                             : leaf.section != std::string::npos && layout.sections[leaf.section].name == section;
    };
    if (!change.add) {
      uint32_t left = change.occurrence;
      const auto found = std::find_if(layout.leaves.begin(), layout.leaves.end(), [&](const Leaf& leaf) {
        return leaf.name == name && inSection(leaf) && left-- == 0;
      });
      if (found == layout.leaves.end()) {
        result.refusal = RewriteRefusal::Stale;
        return result;
      }
      splices.push_back({found->begin, found->end, found->wholeTag ? element : value});
      continue;
    }
    const auto existing = std::find_if(layout.sections.begin(), layout.sections.end(),
                                       [&](const Section& known) { return known.name == section; });
    if (!section.empty() && existing != layout.sections.end()) {
      splices.push_back({existing->endTag, existing->endTag, element});
      continue;
    }
    auto group = std::find_if(atRootEnd.begin(), atRootEnd.end(),
                              [&](const auto& pending) { return !section.empty() && pending.first == section; });
    if (group == atRootEnd.end()) group = atRootEnd.insert(atRootEnd.end(), {section, std::string()});
    group->second += element;
  }
  for (const auto& [section, keys] : atRootEnd) {
    splices.push_back(
        {layout.rootEnd, layout.rootEnd, section.empty() ? keys : "<" + section + ">" + keys + "</" + section + ">"});
  }
  std::stable_sort(splices.begin(), splices.end(),
                   [](const Splice& a, const Splice& b) { return a.begin < b.begin; });
  size_t copied = 0;
  for (const Splice& splice : splices) {
    if (splice.begin < copied) {  // the same entry twice
      result.refusal = RewriteRefusal::Stale;
      return result;
    }
    result.bytes.append(bytes, copied, splice.begin - copied);
    result.bytes += splice.text;
    copied = splice.end;
  }
  result.bytes.append(bytes, copied, std::string::npos);
  return result;
}
