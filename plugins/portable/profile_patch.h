// Carrying chosen values of one profile into another by splicing the
// target's bytes: what is not chosen keeps its bytes. Also the check that a
// profile holds nothing the reader leaves out. Needs no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One value to put into the target. `section` is empty for an entry right
// below the root; `occurrence` counts the target's entries of the same
// section and name before it.
struct ProfileChange {
  std::wstring section;
  std::wstring name;
  std::wstring value;
  uint32_t occurrence = 0;
  bool add = false;  // the target has no such entry
};

// One row of a comparison: path without its trailing " / " ("profile / A",
// or "profile" for an entry right below the root), name, and the two
// values; an absent value has no data.
struct ComparedEntry {
  std::wstring_view path;
  std::wstring_view name;
  std::wstring_view first;
  std::wstring_view second;
};

// The changes that make the target (file 2 when `toSecond`, else file 1)
// take the source's values of the chosen entries: a differing value is
// changed, a source entry without a partner is added, an entry only in the
// target stays. `entries` are all compared entries, so occurrences count
// right; `chosen` are indices into them.
std::vector<ProfileChange> ChangeSetOf(const std::vector<ComparedEntry>& entries,
                                       const std::vector<uint32_t>& chosen, bool toSecond);

// Why a profile's bytes cannot be rewritten.
enum class RewriteRefusal {
  None,
  Structure,  // deeper than two levels, attributes, mixed content, not well-formed
  Unlisted,   // comments, instructions, CDATA, blank-only elements, control characters
  Stale,      // a changed entry is no longer in the file
};

// Text in the target's encoding; false when a character has no form there.
using TextEncoder = std::function<bool(std::u32string_view text, std::string& out)>;

// What the reader would leave out or alter of the bytes (an ASCII-based
// encoding, an optional UTF-8 byte-order mark first), or a structure the
// rewrite cannot keep.
RewriteRefusal CheckProfileBytes(const std::string& bytes);

struct PatchResult {
  RewriteRefusal refusal = RewriteRefusal::None;
  std::string bytes;
};

// The target's bytes with the changes made: a changed value replaces the
// element's content, an added entry goes before its section's end tag (a
// missing section is created before the root's end tag). Values are
// escaped; a character the encoding lacks becomes a character reference.
PatchResult PatchProfileBytes(const std::string& bytes, const std::vector<ProfileChange>& changes,
                              const TextEncoder& encode);

// The UTF-8 encoder, for tests and UTF-8 profiles.
bool EncodeUtf8(std::u32string_view text, std::string& out);

// UTF-16 as code points; an unpaired surrogate stays a code point of its own.
std::u32string CodePointsOf(std::wstring_view text);
