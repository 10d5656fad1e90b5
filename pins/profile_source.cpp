// The profile reader behind the port checks.
#include "pins/profile_source.h"

#if __has_include("profile/profile_reader.h")
#include "profile/profile_list.h"
#include "profile/profile_reader.h"

bool LoadPinProfile(const wchar_t* path) { return ReadProfile(FirstProfileSlot, path) != 0; }

bool FindProfileValue(const wchar_t* key, std::wstring& value) {
  wchar_t buffer[PreferenceCapacity] = {};
  if (!FindPreference(key, buffer)) return false;
  value = buffer;
  return true;
}

void ReleasePinProfile() { ReleaseAllProfiles(); }
#else
// Until the reader is part of the program nothing can be loaded.
bool LoadPinProfile(const wchar_t*) { return false; }
bool FindProfileValue(const wchar_t*, std::wstring&) { return false; }
void ReleasePinProfile() {}
#endif

KeyLookup LoadedProfileLookup() { return FindProfileValue; }
