// The reference scan: every profile file of the Mach3 folder is read into
// slot 1 in turn and searched for each listed plug-in.
#include "plugins/plugin_references.h"

#include <windows.h>
#include <commctrl.h>

#include "app/text_format.h"
#include "plugins/plugin_rules.h"
#include "plugins/profile_files.h"
#include "profile/profile_reader.h"
#include "resources/resource.h"

std::vector<PluginReference> PluginReferenceTable;
std::vector<std::wstring> ScannedProfiles;

inline constexpr int ReferencedColumn = 2;

int FindPluginInProfile(const wchar_t* name) { return HoldsPlugin(ProfileSlots[SecondProfileSlot], name); }

std::wstring ListCellText(HWND list, int row, int column) {
  std::wstring text(128, L'\0');
  for (;;) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const size_t length = static_cast<size_t>(SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

void CountPluginReferences(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
  const int rows = ListView_GetItemCount(list);
  std::vector<std::wstring> names;
  for (int i = 0; i < rows; ++i) names.push_back(ListCellText(list, i, 0));
  PluginReferenceTable.assign(static_cast<size_t>(rows), {});
  ScannedProfiles.clear();

  const std::vector<ProfileFile> files = FindProfileFiles();
  for (size_t k = 0; k < files.size(); ++k) {
    ScannedProfiles.push_back(files[k].name);
    ReadProfile(SecondProfileSlot, FormatText(L"%s\\%s", files[k].folder.c_str(), files[k].name.c_str()).c_str());
    for (int i = 0; i < rows; ++i) {
      PluginReference& record = PluginReferenceTable[static_cast<size_t>(i)];
      record.holders.resize(files.size());
      if (!FindPluginInProfile(names[static_cast<size_t>(i)].c_str())) continue;
      ++record.count;
      record.holders[k] = true;
    }
    ReleaseProfile(SecondProfileSlot);
  }
  for (int i = 0; i < rows; ++i) {
    std::wstring count = FormatText(L"%d", static_cast<int>(PluginReferenceTable[static_cast<size_t>(i)].count));
    ListView_SetItemText(list, i, ReferencedColumn, count.data());
  }
}
