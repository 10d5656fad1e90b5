// Loading a profile's values, Mach3's fixture and tool tables and the
// profile's plug-ins into the dialog table.
#pragma once

#include "app/portable/text_triple.h"

// Asks for a profile when the profile path is empty and stores the choice.
// False when the user cancelled.
bool ChooseProfileIfEmpty();

// The whole load; false when no profile was chosen or it could not be read.
bool LoadSettingsValues();

// The profile's plug-ins from the entries of the profile read last.
bool GatherPlugins();
