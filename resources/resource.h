// Identifiers of the program's resources and of the controls in its dialogs.
#pragma once

// Dialogs and strings.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_ROVELOG_DIALOG 102
#define IDD_POINT_NAME 131

// The program icon and the start button's pictures (state 0, 1, 2).
#define IDR_MAINFRAME 128
#define IDB_START 130
#define IDB_STOP_WAIT 131
#define IDB_STOP_FIX 132
// The same pictures for 125, 150 and 200 % (ui/start_picture.h), states in the same order.
#define IDB_START_125 140
#define IDB_STOP_WAIT_125 141
#define IDB_STOP_FIX_125 142
#define IDB_START_150 150
#define IDB_STOP_WAIT_150 151
#define IDB_STOP_FIX_150 152
#define IDB_START_200 160
#define IDB_STOP_WAIT_200 161
#define IDB_STOP_FIX_200 162

// Main window.
#define IDC_LOG_LIST 1000
#define IDC_PORT_LIST 1001
#define IDC_START 1002
#define IDC_LOGIN 1003
#define IDC_PASSWORD 1004
#define IDC_TRACK_NAME 1005
#define IDC_PRIVACY 1006
#define IDC_BY_TIME 1007
#define IDC_INTERVAL 1008
#define IDC_BY_DISTANCE 1009
#define IDC_BY_HAND 1010
#define IDC_DISTANCE 1011
#define IDC_SEND 1012
#define IDC_SAVE 1013
#define IDC_OTHER_PORT 1014
#define IDC_OTHER_PORT_NAME 1015
#define IDC_POINT 1017
#define IDC_NAMED_POINT 1018
#define IDC_THINNING 1021
#define IDC_UPDATE 1024
#define IDC_AUTO_TRACK 1025
#define IDC_TRACKER_BOX 1026
#define IDC_SETTINGS_BOX 1027
#define IDC_PORT_LABEL 1028
#define IDC_LOGIN_LABEL 1029
#define IDC_PASSWORD_LABEL 1030
#define IDC_TRACK_LABEL 1031
#define IDC_PRIVACY_LABEL 1032
#define IDC_THINNING_LABEL 1033
#define IDC_SENDING_BOX 1034
#define IDC_VERSION 1035
#define IDC_PROGRAM_ICON 1036
#define IDC_NOTICE 1037
#define IDC_WEB_ADDRESS 1038
#define IDC_ABOUT_BOX 1039

// Point-name dialog.
#define IDC_POINT_NAME 1023

// The About item of the system menu.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
