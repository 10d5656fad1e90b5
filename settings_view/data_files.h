// Reading Mach3's fixture and tool tables from the profile's macro folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class DataFileRead { Missing, Failed, Read };

// Reads a whole data file with read access only, sharing reads and writes,
// so Mach3 may keep it open. Failures other than a missing file are shown.
DataFileRead ReadDataFile(const std::wstring& path, std::vector<unsigned char>& bytes);

// 8-bit texts of Mach3's files in the Windows ANSI code page.
std::wstring DecodeAnsi(std::string_view bytes);

// "<MachDir>\macros\<ProfileName>\<file>"
std::wstring MacroFilePath(const wchar_t* fileName);

// Fixture and tool tables of the current MachDir and ProfileName.
void LoadFixtureFile();
void LoadToolFile();
