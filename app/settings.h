// The program's settings: named values under one registry key of the
// current user, each mirrored by a process-wide variable.
#pragma once

#include <windows.h>

#include <initializer_list>

inline constexpr size_t PathCapacity = 260;  // 259 characters and the terminator
inline constexpr size_t FaceCapacity = 32;
inline constexpr size_t ProfileListCapacity = 8192;  // profile file names joined by "|"

struct SettingsVariables {
  wchar_t filenameProfile1[PathCapacity];
  wchar_t filenameProfile2[PathCapacity];
  wchar_t filenameCheckPorts[PathCapacity];
  wchar_t removePluginMachPath[PathCapacity];
  DWORD showAll;
  DWORD showDifferentOnly;
  COLORREF compareTextColorEqual;
  COLORREF compareBackColorEqual;
  COLORREF compareTextColorUnequal;
  COLORREF compareBackColorUnequal;
  COLORREF selectColor;
  COLORREF textColorSelected;
  DWORD showAllReferencedPorts;
  DWORD removePluginMode;
  wchar_t listviewFaceEqual[FaceCapacity];
  DWORD listviewHeightEqual;
  DWORD listviewWidthEqual;
  DWORD listviewWeightEqual;
  wchar_t listviewFaceUnequal[FaceCapacity];
  DWORD listviewHeightUnequal;
  DWORD listviewWidthUnequal;
  DWORD listviewWeightUnequal;
  wchar_t saveMachPath[PathCapacity];
  wchar_t saveStorePath[PathCapacity];
  wchar_t restoreMachPath[PathCapacity];
  wchar_t restoreStorePath[PathCapacity];
  DWORD storeBrains;
  DWORD storeFixtures;
  DWORD storeFlash;
  DWORD storeGcode;
  DWORD storeMacros;
  DWORD storePlugins;
  DWORD storeProfiles;
  DWORD storeSubroutines;
  DWORD storeToolTables;
  DWORD storeAddons;
  DWORD storeTurnAddons;
  DWORD showWarningRemovePlugin;
  wchar_t filenameProfile[PathCapacity];
  wchar_t saveProfiles[ProfileListCapacity];  // selected when Save last ran in the dialog
};

// Zero and empty until the first load. The language lives in LanguageIndex.
extern SettingsVariables Settings;

struct SettingRow {
  const wchar_t* name;
  const void* defaultValue;  // a wide string for REG_SZ, a DWORD for REG_DWORD
  void* variable;
  DWORD type;                // REG_SZ or REG_DWORD
  DWORD loadSize;            // bytes of the variable: 520, 64, 4 or 16384
};

extern const wchar_t* const SettingsKeyPath;  // under HKEY_CURRENT_USER

// The rows LoadAllSettings loads, ending at a row whose name is null.
extern const SettingRow SettingsTable[];

// The row whose variable this is, or null.
const SettingRow* FindSettingRow(const void* variable);

// Opens (and creates) the settings key; reports a failure and returns null.
// The caller closes the key.
HKEY OpenSettingsKey();

// Reads one value into its variable; a missing value is created from the
// default. Reports failures with the system's text.
int LoadSetting(HKEY key, const SettingRow& row, DWORD size);

// Writes the variable of the row with the row's type.
int StoreSetting(HKEY key, const SettingRow& row, DWORD size);

// Loads every row of the table; goes on after a failed row.
void LoadAllSettings();

// The storing pattern of the dialogs: open the key, store each of these
// variables (numbers with 4 bytes, strings with their characters), close.
int StoreSettings(std::initializer_list<const void*> variables);
