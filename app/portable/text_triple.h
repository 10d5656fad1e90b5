// Texts of the user interface in three languages, and the language index
// that selects among them. Needs no Windows header.
#pragma once

#include <cstdint>

// One text in German, English and French, in this order. A language without
// a text of its own points at another language's text.
struct TextTriple {
  const wchar_t* text[3];
};

enum Language : int32_t { German = 0, English = 1, French = 2 };

// 0 German, 1 English, 2 French. 0 until the settings are loaded.
extern int32_t LanguageIndex;

// The text of the triple in the language in force now. An index outside
// 0..2 (a hand-edited registry value) selects English rather than reading
// past the triple.
const wchar_t* SelectText(const TextTriple& triple);

extern const TextTriple CaptionError;
extern const TextTriple CaptionWarning;
extern const TextTriple CaptionInfo;
extern const TextTriple TextOutOfMemory;

// Buttons and titles that several dialogs share.
extern const TextTriple TextCancel;
extern const TextTriple TextClose;
extern const TextTriple TextOpenProfileTitle;  // title of the open-file dialog for a profile
extern const TextTriple TextFolderBrowseTitle;  // title of the folder browser for the Mach3 and backup folders
extern const TextTriple TextFile;               // the File menu, and the heading of the exported files' table
extern const TextTriple TextSettingsMenu;
extern const TextTriple TextExit;
extern const TextTriple TextCheckPorts;   // the menu item and its dialog's title
extern const TextTriple TextLoadData;     // the button that reads the profile named in the dialog
extern const TextTriple TextSpecifyFile;  // a profile dialog's path field is empty
extern const TextTriple TextPrint;
extern const TextTriple TextInstallationPath;  // the Mach3 folder's label
extern const TextTriple TextName;  // a column's heading or search column, English in French too

// The program's name and version as they appear in titles and captions.
inline constexpr const wchar_t* ProgramName = L"Kestrelwood";
inline constexpr const wchar_t* VersionText = L"V3.02";
