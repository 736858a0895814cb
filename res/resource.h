// Resource identifiers, shared by the resource script and the program.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_COMPANION_DIALOG 102
#define IDD_CURRENT_FINDER 136
#define IDD_TESSARY_LOOKUP 137
#define IDD_CHARGE_DELTA 140
#define IDD_TOKEN_TABLE 145

// Strings
#define IDS_ABOUTBOX 101

// Icons and bitmap
#define IDR_MAINFRAME 128
#define IDB_ABOUT_STRIP 133
#define IDI_CHARGE_DELTA 134
#define IDI_TESSARY_LOOKUP 139
#define IDI_CURRENT_FINDER 141
#define IDI_TOKEN_TABLE 144

// The "MS Serif" bitmap face, a Windows font file, for systems without one
#define IDR_SERIF_FONT 150

// Launcher controls
#define IDC_CURRENT_FINDER_BUTTON 1027
#define IDC_TESSARY_LOOKUP_BUTTON 1037
#define IDC_CHARGE_DELTA_BUTTON 1038
#define IDC_CHARGE_DELTA_TITLE 1039
#define IDC_CURRENT_FINDER_TITLE 1040
#define IDC_TESSARY_LOOKUP_TITLE 1041
#define IDC_TOKEN_TABLE_BUTTON 1042
#define IDC_TOKEN_TABLE_TITLE 1043

// Charge Delta Calculator controls
#define IDC_FROM_CURRENT 1005
#define IDC_TO_CURRENT 1006
#define IDC_DELTA 1007
#define IDC_TO_COMBO 1044
#define IDC_FROM_COMBO 1045

// Station Current Finder controls
#define IDC_CURRENT_EDIT 1026
#define IDC_FOUND_STATIONS 1028
#define IDC_FIND 1033

// Tessary Lookup controls (each template has its own controls, so these may
// share values with the launcher's)
#define IDC_LOOKUP 1033
#define IDC_NUMBER_EDIT 1037
#define IDC_STATION_NAME 1038

// System menu command
#define IDM_ABOUTBOX 0x0010
