// The loaded profile as the port checks see it: read into slot 0 and looked
// up key by key.
#pragma once

#include <string>

#include "pins/pin_model.h"

// Reads the file into slot 0; false when the reader failed (it has said why).
bool LoadPinProfile(const wchar_t* path);

// The value of a Mach3 key of the loaded profile.
bool FindProfileValue(const wchar_t* key, std::wstring& value);

// FindProfileValue as a lookup for ReadPinModel.
KeyLookup LoadedProfileLookup();

void ReleasePinProfile();
