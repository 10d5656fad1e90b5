// The profile reader behind the port checks.
#include "pins/profile_source.h"

#include "profile/profile_list.h"
#include "profile/profile_reader.h"

bool LoadPinProfile(const wchar_t* path) { return ReadProfile(FirstProfileSlot, path) != 0; }

bool FindProfileValue(const wchar_t* key, std::wstring& value) {
  wchar_t buffer[PreferenceCapacity] = {};
  if (!FindPreference(key, buffer)) return false;
  value = buffer;
  return true;
}

KeyLookup LoadedProfileLookup() { return FindProfileValue; }

void ReleasePinProfile() { ReleaseAllProfiles(); }
