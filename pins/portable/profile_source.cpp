// The loaded profile behind the port checks.
#include "pins/portable/profile_source.h"

#include "profile/portable/profile_list.h"

bool FindProfileValue(const wchar_t* key, std::wstring& value) {
  wchar_t buffer[PreferenceCapacity] = {};
  if (!FindPreference(key, buffer)) return false;
  value = buffer;
  return true;
}

KeyLookup LoadedProfileLookup() { return FindProfileValue; }

void ReleasePinProfile() { ReleaseAllProfiles(); }
