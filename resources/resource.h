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
