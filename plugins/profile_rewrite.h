// Writing the loaded profile anew without the entries of the chosen
// plug-ins.
#pragma once

#include <windows.h>
#include <objidl.h>

// Writes the entries of slot 0 to `target` as XML, leaving out the plug-in
// entries named in PluginSelection (marked removed, their rows deleted
// from the dialog's list view 1007) and any entry marked removed before;
// progress bar 1348 follows the entries. True when the new file is
// complete. On failure the message has been shown and no file is left at
// `target`; a failed writer also releases slot 0.
int RewriteProfileWithout(HWND dialog, const wchar_t* target);

// Opens the file stream the rewrite writes to; tests put a failing one in
// its place. Returns the opener before.
using ProfileStreamOpener = HRESULT (*)(const wchar_t* path, IStream** stream);
ProfileStreamOpener SetProfileStreamOpener(ProfileStreamOpener opener);
