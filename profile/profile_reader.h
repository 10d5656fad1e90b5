// Reading a profile file into one of the list slots with XmlLite.
#pragma once

#include <string>

#include "profile/portable/profile_list.h"

// Replaces the slot's list with the entries of the file. On failure the
// reader has shown its message; a document that breaks off keeps the
// entries read before the break (count valid), other failures release the
// list.
int ReadProfile(int slot, const wchar_t* path);

// The bytes the XML reader is given for a file's bytes: forbidden characters
// replaced, and text in the ANSI code page turned into UTF-16 with a
// byte-order mark. `form` receives the file's own encoding.
std::string PrepareProfileBytes(std::string bytes, ProfileTextForm& form);
