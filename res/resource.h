// Resource and control IDs shared by tessel.rc and the dialog code.
#pragma once

// Dialog templates
#define IDD_ABOUT 100
#define IDD_MAIN 102

// Strings
#define IDS_ABOUT_MENU 101

// Icons
#define IDI_APP 128

// Controls of the main dialog
#define IDC_RECORD_EDIT 1000
#define IDC_CHECKSUM_EDIT 1001
#define IDC_CALCULATE 1002
#define IDC_LENGTH_EDIT 1004

// System-menu commands; the window system keeps the low four bits for itself,
// so a command ID here must be a multiple of 16 below 0xF000.
#define IDM_ABOUT 0x0010
