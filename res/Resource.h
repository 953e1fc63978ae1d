// Resource and command identifiers, shared by the resource script and the code.
// Plain macros: the resource compiler reads this file too.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_TRAY_MENU 129

#define IDD_ABOUTBOX 100
#define IDD_ADVANCED_PREFERENCES 103
#define IDD_GENERAL_PREFERENCES 104

#define IDC_PLAYER_LOCATION 1000
#define IDC_BROWSE 1001
#define IDC_PORT 1002
#define IDC_AUTOSTART 1003
#define IDC_USE_PLAYER_SETTINGS 1004
#define IDC_USE_CUSTOM_SETTINGS 1005
#define IDC_PLAYLIST 1006
#define IDC_TV_GUIDE 1007
#define IDC_PLAYLIST_LABEL 1008
#define IDC_TV_GUIDE_LABEL 1009

#define ID_SETTINGS 32772
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Validation messages of the framework's data exchange.
#define IDS_PARSE_INT 61712
#define IDS_PARSE_INT_RANGE 61713
