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
#define IDD_CHECK_PORTS 137
#define IDC_CHECK_PORTS_LIST 1024
#define IDC_CHECK_PORTS_CHECK 1025
#define IDC_CHECK_PORTS_PATH 1026
#define IDC_CHECK_PORTS_BROWSE 1027
#define IDC_CHECK_PORTS_SHOW_ALL 1028
#define IDC_CHECK_PORTS_NO_PORT 1054
#define IDC_CHECK_PORTS_PATH_LABEL 1061

#define IDD_PIN_PAGE 138
#define IDC_PIN_TABLE 1047
#define IDC_PIN_KNOWN_LABEL 1048
#define IDC_PIN_DETAIL_LABEL 1049
#define IDC_PIN_DETAILS 1050
#define IDC_PIN_ERRORS 1051
#define IDC_PIN_ERRORS_LABEL 1052
#define IDC_PIN_KNOWN_PORTS 1053

// Show params pages
#define IDD_PARAMS_MOTORS 146
#define IDD_PARAMS_USED 147
#define IDD_PARAMS_INPUTS 148
#define IDD_PARAMS_OUTPUTS 149
#define IDD_PARAMS_ENCODERS 150
#define IDC_PARAMS_USED_LIST 1227
#define IDC_PARAMS_PATH 1229
#define IDC_PARAMS_BROWSE 1230
#define IDC_PARAMS_ENCODER_LIST 1231
#define IDC_PARAMS_INPUT_LIST 1232
#define IDC_PARAMS_OUTPUT_LIST 1233
#define IDC_PARAMS_PATH_LABEL 1234
#define IDC_PARAMS_PRINT_LIST 1247
#define IDC_PARAMS_PRINT_MOTORS 1248
// Motor page: the first of seven ids, one per motor row (X..C, spindle)
#define IDC_MOTOR_GROUP 1098
#define IDC_MOTOR_DIR_PORT 1125
#define IDC_MOTOR_DIR_PIN 1132
#define IDC_MOTOR_STEP_PORT 1139
#define IDC_MOTOR_STEP_PIN 1146
#define IDC_MOTOR_DIR_LOW 1153
#define IDC_MOTOR_STEP_LOW 1160
#define IDC_MOTOR_STEPS 1167
#define IDC_MOTOR_VELOCITY 1174
#define IDC_MOTOR_ACCEL 1181
#define IDC_MOTOR_REVERSED 1188
#define IDC_MOTOR_DIR_LABEL 1212
#define IDC_MOTOR_STEP_LABEL 1219
#define IDC_MOTOR_HOME_NEG 1251
// Motor page: headings, pulse widths and the port-2 box
#define IDC_HEAD_STEPS 1115
#define IDC_HEAD_VELOCITY 1116
#define IDC_HEAD_ACCEL 1117
#define IDC_PULSE_LABEL 1118
#define IDC_PULSE_DIR_LABEL 1208
#define IDC_HEAD_PORT 1209
#define IDC_HEAD_PIN 1210
#define IDC_HEAD_LOW 1211
#define IDC_HEAD_REVERSED 1249
#define IDC_HEAD_HOME_NEG 1250
#define IDC_PULSE_STEP_LABEL 1265
#define IDC_PULSE_DIR 1266
#define IDC_PULSE_STEP 1267
#define IDC_PORT2_INPUT 1270

// Show / print settings, output window

// Save and restore, conflict dialog

// Plug-in removal
