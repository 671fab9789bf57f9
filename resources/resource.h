// Resource and control IDs, shared by the resource script and the code.
#pragma once

#define IDD_SETTINGS 101
#define IDR_MAHJONG_TEMPLATE 103
#define IDR_STANDARD_TEMPLATE 104
#define IDB_BANNER 105
#define IDI_APP 106
// The banner drawn for 120, 144 and 192 DPI; IDB_BANNER is the 96-DPI one.
#define IDB_BANNER_120 107
#define IDB_BANNER_144 108
#define IDB_BANNER_192 109

#define IDC_MAHJONG_GAME 1002
#define IDC_FOUR_WAY 1003
#define IDC_SQUARE 1004
#define IDC_LOW_RESOLUTION 1005
#define IDC_DRIVER_PATH 1006
#define IDC_ASSIGN_ALL 1007
#define IDC_SKIP 1008
#define IDC_BANNER 1009

// The item of the menu a right click on a capture button opens.
#define IDM_CLEAR_KEY 5001

// Key fields: standard slot i is 2000 + i, mahjong slot i is 2026 + i.
#define IDC_STANDARD_KEY_FIRST 2000
#define IDC_MAHJONG_KEY_FIRST 2026
#define IDC_SYSTEM_KEY 2098
#define IDC_EXIT_KEY 2099

// Capture buttons: each one's key field is its ID minus 1000.
#define IDC_STANDARD_CAPTURE_FIRST 3000
#define IDC_MAHJONG_CAPTURE_FIRST 3026
#define IDC_SYSTEM_CAPTURE 3098
#define IDC_EXIT_CAPTURE 3099
#define IDC_CAPTURE_FIELD_DISTANCE 1000

// Labels and frames of each layout's set.
#define IDC_STANDARD_LABEL_FIRST 4020
#define IDC_PLAYER2_FRAME 4034
#define IDC_MAHJONG_FRAME 4035
#define IDC_MAHJONG_LABEL_FIRST 4036
#define IDC_MAHJONG_LABEL_LAST 4063
