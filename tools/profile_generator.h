// Generated profiles shaped like the ones Mach3 writes (one line, no
// declaration, root "profile", values two levels down), for tests and the
// benchmark. Needs no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct GeneratedEntry {
  std::string section;  // the element below the root
  std::string name;
  std::string value;
};

struct ProfileShape {
  size_t entries = 6000;  // about 150 KB at this size
  uint32_t seed = 1;      // another seed gives other values, same keys
};

// The entries in document order: most in the 11-letter section
// "Preferences", the rest in a few smaller sections as in real profiles.
std::vector<GeneratedEntry> MakeProfileEntries(const ProfileShape& shape);

// The one-line UTF-8 document of the entries.
std::string MakeProfileText(const std::vector<GeneratedEntry>& entries);

inline std::string MakeProfileText(const ProfileShape& shape) { return MakeProfileText(MakeProfileEntries(shape)); }
