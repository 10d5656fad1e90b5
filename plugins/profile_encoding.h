// The bytes of a rewritten profile in the encoding its file was read in, so
// that Mach3 reads its non-ASCII texts back unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "profile/profile_text.h"

inline constexpr uint32_t CodePageUtf16LittleEndian = 1200;
inline constexpr uint32_t CodePageUtf16BigEndian = 1201;
inline constexpr uint32_t CodePageUtf8 = 65001;

// The code page the profile is written in; 0 when a declared encoding is
// not one this program can write.
uint32_t CodePageOf(const ProfileTextForm& form);

// `document` is the XML writer's UTF-16 output, beginning with its
// declaration. The declaration is made to name the profile's encoding (an
// ANSI profile had none and gets none), and characters the code page lacks
// become character references. False when the encoding cannot be written.
bool EncodeProfileDocument(std::wstring_view document, const ProfileTextForm& form, std::string& bytes);
