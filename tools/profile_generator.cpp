// Generated Mach3-like profiles.
#include "tools/profile_generator.h"

#include <cstdio>

namespace {

// A small deterministic generator, the same on every platform.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 8) % bound;
  }

 private:
  uint32_t state_;
};

// Key families of the Preferences section; %d is the family's counter.
const char* const PreferenceKeys[] = {
    "Motor%dDir", "Motor%dStep", "M%dActive", "M%dDirPort", "M%dStepNeg", "M%dAccel", "M%dVel",   "Steps%d",
    "Signal%d",   "Sig%dPin",    "Sig%dPort", "Sig%dNeg",   "OEMDRO%d",   "UDRO%d",   "Label%d",  "Macro%d",
    "Btn%d",      "Home%d",      "SpinMin%d", "SpinMax%d",  "Pulley%d",   "Tool%d",   "Led%d",    "FixX%d",
};

const struct {
  const char* name;
  size_t share;  // per thousand entries
} Sections[] = {
    {"Preferences", 960}, {"GCodeVar", 20}, {"VideoPlugIn", 8}, {"Mach3Mill", 8}, {"Control", 4},
};

std::string Format(const char* pattern, unsigned number) {
  char text[64];
  std::snprintf(text, sizeof(text), pattern, number);
  return text;
}

std::string MakeValue(Random& random) {
  switch (random.Next(40)) {
    case 0:
      return Format("C:\\Mach3\\Bitmaps\\Screen%u.bmp", random.Next(40));
    case 1:
    case 2:
      return Format("%u.0000", random.Next(5000));
    case 3:
    case 4:
      return Format("-%u.5", random.Next(200));
    case 5:
    case 6:
    case 7:
      return Format("%u", 1000 + random.Next(64000));
    default:
      return Format("%u", random.Next(17));
  }
}

}  // namespace

std::vector<GeneratedEntry> MakeProfileEntries(const ProfileShape& shape) {
  std::vector<GeneratedEntry> entries;
  entries.reserve(shape.entries);
  Random random(shape.seed);
  const size_t families = sizeof(PreferenceKeys) / sizeof(PreferenceKeys[0]);
  size_t made = 0;
  for (const auto& section : Sections) {
    size_t count = shape.entries * section.share / 1000;
    if (&section == &Sections[0]) count = shape.entries - shape.entries * 40 / 1000;
    for (size_t i = 0; i < count && made < shape.entries; ++i, ++made) {
      std::string name = &section == &Sections[0]
                             ? Format(PreferenceKeys[i % families], static_cast<unsigned>(i / families))
                             : Format(section.name[0] == 'G' ? "Var%u" : "Key%u", static_cast<unsigned>(i));
      entries.push_back({section.name, std::move(name), MakeValue(random)});
    }
  }
  return entries;
}

std::string MakeProfileText(const std::vector<GeneratedEntry>& entries) {
  std::string text = "<profile>";
  text.reserve(entries.size() * 28 + 64);
  const std::string* open = nullptr;
  for (const GeneratedEntry& entry : entries) {
    if (!open || *open != entry.section) {
      if (open) text += "</" + *open + ">";
      open = &entry.section;
      text += "<" + entry.section + ">";
    }
    text += "<" + entry.name + ">" + entry.value + "</" + entry.name + ">";
  }
  if (open) text += "</" + *open + ">";
  text += "</profile>\r\n";
  return text;
}
