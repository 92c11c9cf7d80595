// Resource and control ids shared by the .rc file and the code.
#pragma once

#define IDD_CONFIG 101
#define IDB_ABOUT_PICTURE 102
#define IDI_GLIMRA 103

#define IDC_HOMEPAGE 100
#define IDC_ENLARGE 103
#define IDC_TILE 104
#define IDC_DIRECT_X 108
#define IDC_PALETTE 115
#define IDC_CIR 1000
#define IDC_DX_R 1001
#define IDC_DX_G 1002
#define IDC_DX_B 1003
#define IDC_CYCLE 1004

// The texts the dialog procedure inserts, one string table per language of the template. They sit
// at 200 and up so that no block of 16 ids is shared with strings of other languages.
#define IDS_PALETTE_ANIMATE 200
#define IDS_PALETTE_SHIFT 201
#define IDS_PALETTE_FIXED 202
#define IDS_PALETTE_AUTUMN_LEAVES 203
#define IDS_PALETTE_YOUNG_LEAVES 204
#define IDS_PALETTE_WATER_SURFACE 205
#define IDS_PALETTE_CHERRY_BLOSSOM 206
#define IDS_BROWSER_WARNING 207
#define IDS_BROWSER_WARNING_CAPTION 208
