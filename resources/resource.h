// Resource ids: template numbers, control ids, commands and strings.
// The numbers are fixed: code addresses controls by them, and dialogs that
// share ids share the routines behind them.
#pragma once

// Strings
#define IDS_APP_TITLE 103
#define IDS_OUTPUT_WINDOW_CLASS 104
#define IDS_MAIN_WINDOW_CLASS 109

// Icon, main menu and accelerators
#define IDI_KESTRELWOOD 139
#define IDR_MAIN_MENU 109
#define IDR_MAIN_ACCELERATORS 109
#define IDR_OUTPUT_MENU 152

// Main menu commands
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_COMPARE_PROFILES 32771
#define IDM_LANGUAGE 32772
#define IDM_SAVE_PARAMS 32780
#define IDM_CHECK_PORTS 32781
#define IDM_RESTORE_PARAMS 32782
#define IDM_SHOW_PARAMS 32783
#define IDM_SHOW_SETTINGS 32784
#define IDM_SHOW_PROFILE 32788
#define IDM_REMOVE_PLUGIN 32789

// About box
#define IDD_ABOUT 103
#define IDC_ABOUT_VERSION 1062
#define IDC_ABOUT_CREDIT 1228

// Language dialog
#define IDD_LANGUAGE 132
#define IDC_LANGUAGE_LIST 1015

// Colour dialog
#define IDD_COLOURS 134
#define IDC_SAMPLE_UNEQUAL 1016
#define IDC_SAMPLE_EQUAL 1017
#define IDC_TEXT_UNEQUAL 1018
#define IDC_TEXT_EQUAL 1019
#define IDC_BACK_UNEQUAL 1020
#define IDC_BACK_EQUAL 1021
#define IDC_GROUP_UNEQUAL 1022
#define IDC_GROUP_EQUAL 1023

// Show profile, compare profiles, segment filter

// Check ports and pins, pin report sheet, show params

// Show / print settings, output window
#define IDD_SHOW_SETTINGS 151
#define IDC_SETTINGS_CLOSE 1080
#define IDC_SETTINGS_PROFILE_PATH 1291
#define IDC_SETTINGS_CHOOSE_PROFILE 1292
#define IDC_SETTINGS_SHOW 1293
#define IDC_SETTINGS_FIRST_DIALOG 1294  // check boxes 1294..1313, one per dialog
#define IDC_SETTINGS_LAST_DIALOG 1313
#define IDC_SETTINGS_CLEAR_ALL 1314
#define IDC_SETTINGS_SET_ALL 1315
#define IDC_SETTINGS_NEW_PAGE 1316
#define IDC_SETTINGS_VALID_ONLY 1317
#define IDC_SETTINGS_OPTIONS 1318
#define IDC_SETTINGS_PROFILE_LABEL 1319
#define IDC_SETTINGS_PRINT 1320
#define IDC_SETTINGS_PRINT_TO_FILE 1321
#define IDC_SETTINGS_PRINT_FROM_FILE 1322
#define IDC_SETTINGS_PRINT_FILE_PATH 1323
#define IDC_SETTINGS_PRINT_FILE_LABEL 1324
#define IDC_SETTINGS_CHOOSE_PRINT_FILE 1325
#define IDC_SETTINGS_PRINTER 1326
#define IDC_SETTINGS_SHOW_FROM_FILE 1327
#define IDM_OUTPUT_CLOSE 32786

// Save and restore, conflict dialog

// Plug-in removal
