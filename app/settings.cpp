// The settings store: one table of registry values, loaded all at once and
// stored one by one when a dialog commits a change.
#include "app/settings.h"

#include <cwchar>
#include <vector>

#include "app/handles.h"
#include "app/message_box.h"
#include "app/portable/text_triple.h"

SettingsVariables Settings = {};

const wchar_t* const SettingsKeyPath = L"Software\\Brannoc\\Kestrelwood";

namespace {

const DWORD Zero = 0;
const DWORD One = 1;
const DWORD Black = 0x000000;
const DWORD White = 0xFFFFFF;
const DWORD Red = 0x1414F0;
const DWORD Blue = 0xF04B19;
const DWORD LightGrey = 0xF0F0F0;
const DWORD FontHeight = 12;
const DWORD FontWidth = 7;
const DWORD FontWeight = 400;
const wchar_t* const Empty = L"";
const wchar_t* const MachFolder = L"C:\\Mach3";
const wchar_t* const Arial = L"Arial";

constexpr DWORD PathBytes = PathCapacity * sizeof(wchar_t);
constexpr DWORD FaceBytes = FaceCapacity * sizeof(wchar_t);
constexpr DWORD NumberBytes = sizeof(DWORD);

SettingRow Path(const wchar_t* name, const wchar_t* const& def, wchar_t* variable) {
  return {name, def, variable, REG_SZ, PathBytes};
}
SettingRow Face(const wchar_t* name, const wchar_t* const& def, wchar_t* variable) {
  return {name, def, variable, REG_SZ, FaceBytes};
}
SettingRow Number(const wchar_t* name, const DWORD& def, void* variable) {
  return {name, &def, variable, REG_DWORD, NumberBytes};
}

}  // namespace

// String defaults point at the text itself, number defaults at the DWORD.
const SettingRow SettingsTable[] = {
    Path(L"Filename profile 1", Empty, Settings.filenameProfile1),
    Path(L"Filename profile 2", Empty, Settings.filenameProfile2),
    Path(L"Filename check ports and pins2", Empty, Settings.filenameCheckPorts),
    Path(L"Remove plugin Mach install path", MachFolder, Settings.removePluginMachPath),
    Number(L"Show All", One, &Settings.showAll),
    Number(L"Show different only", Zero, &Settings.showDifferentOnly),
    Number(L"Language", One, &LanguageIndex),
    Number(L"Compare window text color equal", Black, &Settings.compareTextColorEqual),
    Number(L"Compare window back color equal", White, &Settings.compareBackColorEqual),
    Number(L"Compare window text color unequal", White, &Settings.compareTextColorUnequal),
    Number(L"Compare window back color unequal", Red, &Settings.compareBackColorUnequal),
    Number(L"Select color", Blue, &Settings.selectColor),
    Number(L"Text color selected", LightGrey, &Settings.textColorSelected),
    Number(L"Show all referenced LPTs", One, &Settings.showAllReferencedPorts),
    Number(L"Remove Plugin Mode", Zero, &Settings.removePluginMode),
    Face(L"Listview Font face name equal", Arial, Settings.listviewFaceEqual),
    Number(L"Listview mark font height equal", FontHeight, &Settings.listviewHeightEqual),
    Number(L"Listview mark font width equal", FontWidth, &Settings.listviewWidthEqual),
    Number(L"Listview font weight equal", FontWeight, &Settings.listviewWeightEqual),
    Face(L"Listview Font face name unequal", Arial, Settings.listviewFaceUnequal),
    Number(L"Listview mark font height unequal", FontHeight, &Settings.listviewHeightUnequal),
    Number(L"Listview mark font width unequal", FontWidth, &Settings.listviewWidthUnequal),
    Number(L"Listview font weight unequal", FontWeight, &Settings.listviewWeightUnequal),
    Path(L"Save Mach install path", MachFolder, Settings.saveMachPath),
    Path(L"Save Parameter store path", Empty, Settings.saveStorePath),
    Path(L"Restore Mach install path", MachFolder, Settings.restoreMachPath),
    Path(L"Restore Parameter store path", Empty, Settings.restoreStorePath),
    Number(L"Store brains files", One, &Settings.storeBrains),
    Number(L"Store fixture files", One, &Settings.storeFixtures),
    Number(L"Store flash files", Zero, &Settings.storeFlash),
    Number(L"Store gcode files", Zero, &Settings.storeGcode),
    Number(L"Store macro files", One, &Settings.storeMacros),
    Number(L"Store plugin files", Zero, &Settings.storePlugins),
    Number(L"Store profile files", One, &Settings.storeProfiles),
    Number(L"Store subroutine files", Zero, &Settings.storeSubroutines),
    Number(L"Store tooltable files", One, &Settings.storeToolTables),
    Number(L"Store addon files", Zero, &Settings.storeAddons),
    Number(L"Store turn addons files", Zero, &Settings.storeTurnAddons),
    Number(L"Show Warning Remove Plugin from Profile", One, &Settings.showWarningRemovePlugin),
    // Loaded with the others so the Show profile dialog remembers its file.
    Path(L"Filename profile", Empty, Settings.filenameProfile),
    // What a save without a window backs up.
    {L"Save selected profiles", Empty, Settings.saveProfiles, REG_SZ, ProfileListCapacity * sizeof(wchar_t)},
    {nullptr, nullptr, nullptr, 0, 0},
};

const SettingRow* FindSettingRow(const void* variable) {
  for (const SettingRow* row = SettingsTable; row->name; ++row) {
    if (row->variable == variable) return row;
  }
  return nullptr;
}

HKEY OpenSettingsKey() {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status == ERROR_FILE_NOT_FOUND) {
    status = RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, nullptr);
  }
  if (status != ERROR_SUCCESS) {
    ShowSystemError(status);
    return nullptr;
  }
  return key;
}

static DWORD StringBytes(const wchar_t* text) { return static_cast<DWORD>(wcslen(text) * sizeof(wchar_t)); }

static LSTATUS WriteDefault(HKEY key, const SettingRow& row) {
  if (row.type == REG_SZ) {
    const wchar_t* text = static_cast<const wchar_t*>(row.defaultValue);
    return RegSetValueExW(key, row.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), StringBytes(text));
  }
  return RegSetValueExW(key, row.name, 0, REG_DWORD, static_cast<const BYTE*>(row.defaultValue), NumberBytes);
}

static void CopyDefault(const SettingRow& row, DWORD size) {
  if (row.type == REG_SZ) {
    const size_t capacity = size / sizeof(wchar_t);
    wcsncpy(static_cast<wchar_t*>(row.variable), static_cast<const wchar_t*>(row.defaultValue), capacity - 1);
    static_cast<wchar_t*>(row.variable)[capacity - 1] = L'\0';
  } else {
    *static_cast<DWORD*>(row.variable) = *static_cast<const DWORD*>(row.defaultValue);
  }
}

// Checks what the registry handed back before it reaches the variable. A
// text that fills its buffer with no terminator counts as too long, and a
// value of the wrong type is refused rather than reinterpreted.
static LSTATUS CheckLoadedValue(const SettingRow& row, DWORD type, const std::vector<BYTE>& data, DWORD bytes,
                                DWORD size) {
  if (row.type == REG_DWORD) {
    return (type == REG_DWORD && bytes == NumberBytes) ? ERROR_SUCCESS : ERROR_INVALID_DATA;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
  const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
  const size_t stored = bytes / sizeof(wchar_t);
  const size_t capacity = size / sizeof(wchar_t);
  size_t length = 0;
  while (length < stored && text[length] != L'\0') ++length;
  return length < capacity ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

static void CopyLoadedValue(const SettingRow& row, const std::vector<BYTE>& data, DWORD bytes) {
  if (row.type == REG_DWORD) {
    memcpy(row.variable, data.data(), NumberBytes);
    return;
  }
  const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
  wchar_t* target = static_cast<wchar_t*>(row.variable);
  const size_t stored = bytes / sizeof(wchar_t);
  size_t length = 0;
  while (length < stored && text[length] != L'\0') {
    target[length] = text[length];
    ++length;
  }
  target[length] = L'\0';
}

int LoadSetting(HKEY key, const SettingRow& row, DWORD size) {
  std::vector<BYTE> data(size + sizeof(wchar_t), 0);
  DWORD type = 0;
  DWORD bytes = size;
  LSTATUS status = RegQueryValueExW(key, row.name, nullptr, &type, data.data(), &bytes);
  if (status == ERROR_FILE_NOT_FOUND) {
    status = WriteDefault(key, row);
    if (status != ERROR_SUCCESS) {
      ShowSystemError(status);
      return 0;
    }
    CopyDefault(row, size);
    return 1;
  }
  if (status == ERROR_SUCCESS) status = CheckLoadedValue(row, type, data, bytes, size);
  if (status != ERROR_SUCCESS) {
    ShowSystemError(status);
    return 0;
  }
  CopyLoadedValue(row, data, bytes);
  return 1;
}

int StoreSetting(HKEY key, const SettingRow& row, DWORD size) {
  const LSTATUS status =
      RegSetValueExW(key, row.name, 0, row.type, static_cast<const BYTE*>(row.variable), size);
  if (status != ERROR_SUCCESS) {
    ShowSystemError(status);
    return 0;
  }
  return 1;
}

static const TextTriple TextSettingsNotKept = {
    L"Die Einstellungen können nicht gespeichert werden. Es gelten die Standardwerte, Änderungen gehen beim "
    L"Beenden verloren.",
    L"Settings cannot be stored. The defaults apply, and changes are lost when the program ends.",
    L"Impossible d'enregistrer les réglages. Les valeurs par défaut s'appliquent, les modifications seront "
    L"perdues à la fermeture du programme."};

// Without a key nothing can be loaded or kept: at the first such load the
// program takes the table's defaults rather than running on zeros (black on
// black, German menus), and says so once. Values changed since then live on
// in memory.
static void UseDefaultsWithoutKey() {
  static bool told = false;
  if (told) return;
  told = true;
  for (const SettingRow* row = SettingsTable; row->name; ++row) CopyDefault(*row, row->loadSize);
  ShowWarningMessage(nullptr, SelectText(TextSettingsNotKept), MB_TASKMODAL);
}

void LoadAllSettings() {
  UniqueKey key(OpenSettingsKey());
  if (!key) {
    UseDefaultsWithoutKey();
    return;
  }
  for (const SettingRow* row = SettingsTable; row->name; ++row) {
    LoadSetting(key.get(), *row, row->loadSize);
  }
}

int StoreSettings(std::initializer_list<const void*> variables) {
  UniqueKey key(OpenSettingsKey());
  if (!key) return 0;
  int success = 1;
  for (const void* variable : variables) {
    const SettingRow* row = FindSettingRow(variable);
    if (!row) continue;
    const DWORD size =
        row->type == REG_SZ ? StringBytes(static_cast<const wchar_t*>(row->variable)) : NumberBytes;
    if (!StoreSetting(key.get(), *row, size)) success = 0;
  }
  return success;
}
