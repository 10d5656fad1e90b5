// The loaded profile as the port checks see it: read into slot 0 by
// ReadProfile and looked up key by key.
#pragma once

#include <string>

#include "pins/portable/pin_model.h"

// The value of a Mach3 key of the loaded profile.
bool FindProfileValue(const wchar_t* key, std::wstring& value);

// FindProfileValue as a lookup for ReadPinModel.
KeyLookup LoadedProfileLookup();

void ReleasePinProfile();
