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
#define IDD_COMPARE_PROFILES 130
#define IDD_SEGMENT_FILTER 131
#define IDR_COMPARE_MENU 133
#define IDD_SHOW_PROFILE 153
// shared by dialogs 130 and 153
#define IDC_CLOSE_VIEW 1006
#define IDC_PROFILE_LIST 1007
#define IDC_LOAD_PROFILE 1010
#define IDC_SET_FILTER 1014
#define IDC_SEARCH_TEXT 1235
#define IDC_SEARCH_START 1237
#define IDC_SEARCH_GROUP 1238
#define IDC_SEARCH_CASE 1240
#define IDC_SEARCH_COUNT 1241
#define IDC_SEARCH_COUNT_LABEL 1242
#define IDC_SEARCH_NEXT 1243
#define IDC_SEARCH_HINT 1244
#define IDC_SEARCH_FIRST 1245
#define IDC_SEARCH_LAST 1246
// show profile
#define IDC_SHOW_PATH_LABEL 1328
#define IDC_SHOW_PATH 1329
#define IDC_SHOW_BROWSE 1330
#define IDC_SHOW_SEARCH_LABEL 1338
#define IDC_SHOW_ROWS 1339
// segment filter
#define IDC_FILTER_SEGMENTS 1013
#define IDC_FILTER_SEGMENT_COLUMN 1331
#define IDC_FILTER_NAME_COLUMN 1332
#define IDC_FILTER_VALUE_COLUMN 1333
#define IDC_FILTER_COLUMNS 1334
#define IDC_FILTER_SELECT_ALL 1335
#define IDC_FILTER_DESELECT_ALL 1336
#define IDC_FILTER_SEGMENTS_LABEL 1337
// compare profiles
#define IDC_COMPARE_PATH1 1001
#define IDC_COMPARE_PATH2 1002
#define IDC_COMPARE_BROWSE1 1003
#define IDC_COMPARE_BROWSE2 1004
#define IDC_COMPARE_ALL 1008
#define IDC_COMPARE_DIFFERENT 1009
#define IDC_COMPARE_LABEL1 1011
#define IDC_COMPARE_LABEL2 1012
#define IDC_COMPARE_SEARCH_LABEL 1236
#define IDC_COMPARE_COUNT1 1340
#define IDC_COMPARE_COUNT2 1341
#define IDC_COMPARE_ROW 1342
#define IDM_COMPARE_EXIT 32773
#define IDM_COMPARE_COLOURS 32774

// Check ports and pins, pin report sheet, show params

// Show / print settings, output window

// Save and restore, conflict dialog

// Plug-in removal
