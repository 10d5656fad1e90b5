// The start page's rules that need no Windows call: which Mach3 folder it
// shows, how many entries a profile has, and when a profile counts as
// changed since its backup. Needs no Windows header.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The folder the page shows: the stored Mach3 folder when it holds
// Mach3.exe, else the first of C:\Mach3 and the folders of the stored
// profile paths that does, else the stored folder (or C:\Mach3) as it is.
std::wstring ChooseMach3Folder(const std::wstring& stored, const std::vector<std::wstring>& profilePaths,
                               const std::function<bool(const std::wstring& folder)>& holdsMach3);

// The entries the profile reader would list for these file bytes: the
// elements with text and the empty ones. -1 when the bytes are no XML
// document this count can follow (the reader would report it).
long CountProfileEntries(std::string_view bytes);

// Both times as "YYYY-MM-DD HH:MM:SS"; no backup means no mark.
bool ChangedSinceBackup(const std::wstring& changed, const std::wstring& backedUp);
