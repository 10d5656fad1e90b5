// Small Mach3 profiles written by the tests: keys in the "Preferences"
// section, two levels below the root as Mach3 keeps them.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

using ProfileKeys = std::vector<std::pair<std::string, std::string>>;

inline std::string ProfileXml(const ProfileKeys& keys) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile><Preferences>";
  for (const auto& [key, value] : keys) xml += "<" + key + ">" + value + "</" + key + ">";
  return xml + "</Preferences></profile>";
}

// A complete motor in the profile.
inline void AddProfileMotor(ProfileKeys& keys, int motor, const std::string& active, int dirPort, int dirPin,
                            int stepPort, int stepPin) {
  const std::string m = std::to_string(motor);
  keys.insert(keys.end(), {{"Motor" + m + "Active", active},
                           {"Motor" + m + "DirNeg", "0"},
                           {"Motor" + m + "DirPort", std::to_string(dirPort)},
                           {"Motor" + m + "DirPin", std::to_string(dirPin)},
                           {"Motor" + m + "StepNeg", "1"},
                           {"Motor" + m + "StepPort", std::to_string(stepPort)},
                           {"Motor" + m + "StepPin", std::to_string(stepPin)},
                           {"M" + m + "Rev", "0"},
                           {"M" + m + "Neg", "1"},
                           {"Steps" + m, "2000"},
                           {"Vel" + m, "2.5"},
                           {"Acc" + m, "10"}});
}

// The same keys as a lookup for the readers that take one.
using KeyTable = std::map<std::wstring, std::wstring>;

inline KeyTable KeyTableOf(const ProfileKeys& keys) {
  KeyTable table;
  for (const auto& [key, value] : keys) table[std::wstring(key.begin(), key.end())] = std::wstring(value.begin(), value.end());
  return table;
}

inline std::function<bool(const wchar_t*, std::wstring&)> LookupIn(const KeyTable& table) {
  return [&table](const wchar_t* key, std::wstring& value) {
    auto it = table.find(key);
    if (it == table.end()) return false;
    value = it->second;
    return true;
  };
}
