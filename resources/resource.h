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

// Save and restore, conflict dialog
#define IDD_SAVE 141
#define IDD_CONFLICT 142
#define IDD_RESTORE 143
#define IDC_SET_PROFILES 1063
#define IDC_FILES_GROUP 1065
#define IDC_MACH_LABEL 1066
#define IDC_MACH_PATH 1067
#define IDC_MACH_BROWSE 1068
#define IDC_STORE_PATH 1069
#define IDC_PROFILES_LABEL 1070
#define IDC_STORE_BROWSE 1071
#define IDC_SET_FIXTURES 1072
#define IDC_PROFILE_LIST 1073
#define IDC_STORE_LABEL 1074
#define IDC_CONFLICT_FOR_ALL 1075
#define IDC_CONFLICT_SKIP 1079
#define IDC_BACKUP_CLOSE 1080
#define IDC_RESTORE 1081
#define IDC_CONFLICT_REPLACE 1083
#define IDC_CONFLICT_LEAVE 1084
#define IDC_CONFLICT_KEEP_BOTH 1085
#define IDC_SAVE 1086
#define IDC_BACKUP_PROGRESS 1089
#define IDC_SET_BRAINS 1090
#define IDC_BACKUP_STATUS 1091
#define IDC_SELECT_ALL 1092
#define IDC_DESELECT_ALL 1093
#define IDC_RESTORE_DATE_RULE 1094
#define IDC_SAVE_DATE_RULE 1095
#define IDC_SET_PLUGINS 1268
#define IDC_CONFLICT_DONT_ASK 1269
#define IDC_SET_ADDONS 1271
#define IDC_SET_FLASH 1272
#define IDC_SET_GCODE 1273
#define IDC_SET_SUBROUTINES 1274
#define IDC_SET_TURNADDONS 1275
#define IDC_SET_MACROS 32777
#define IDC_SET_TOOLTABLES 32779

// Plug-in removal
