// One load of the dialog table from the profile on disk and the data files
// in its macro folder.
#include "settings_view/settings_load.h"

#include <windows.h>

#include "app/common_dialogs.h"
#include "app/file_helpers.h"
#include "app/message_box.h"
#include "app/portable/text_format.h"
#include "app/settings.h"
#include "profile/portable/profile_list.h"
#include "profile/profile_reader.h"
#include "settings_view/data_files.h"
#include "settings_view/portable/settings_values.h"

bool ChooseProfileIfEmpty() {
  return Settings.filenameProfile1[0] != L'\0' || ChooseProfileSetting(Settings.filenameProfile1);
}

// A found value replaces the text; a missing or empty one leaves it as it
// was (an empty folder would send the data files to the current folder).
static bool LookUpInto(const PreferenceIndex& preferences, const wchar_t* key, std::wstring& text) {
  wchar_t value[PreferenceCapacity] = {};
  if (!preferences.Find(key, value) || value[0] == L'\0') return false;
  text = value;
  return true;
}

static void ReportRowProblem(const std::wstring& message) {
  ShowErrorMessage(nullptr, message.c_str(), MB_TOPMOST);
}

bool LoadSettingsValues() {
  if (!ChooseProfileIfEmpty()) return false;
  if (!ReadProfile(FirstProfileSlot, Settings.filenameProfile1)) return false;
  const PreferenceIndex preferences(ProfileSlots[FirstProfileSlot]);
  if (LookUpInto(preferences, L"DefDir", MachDir)) LookUpInto(preferences, L"Profile", ProfileName);
  ClearValues();
  LoadFixtureFile();
  LoadToolFile();
  FillDialogValues(
      DialogTable,
      [&preferences](const std::wstring& key, std::wstring& value) {
        wchar_t text[PreferenceCapacity] = {};
        if (!preferences.Find(key.c_str(), text)) return false;
        value = text;
        return true;
      },
      ReportRowProblem);
  return true;
}

bool GatherPlugins() {
  ClearPlugins();
  const ProfileList& list = ProfileSlots[FirstProfileSlot];
  for (uint32_t i = 0; i < list.Count() && i < list.Capacity(); ++i) {
    const ProfileEntry& entry = list.records[i];
    AddPlugin(entry.path, entry.name, entry.value);
  }
  return true;
}
