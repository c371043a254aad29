// Resource identifiers shared by ruzir.rc and the code.
#pragma once

// String 1 is the description a screen-saver host lists the saver under.
#define IDS_DESCRIPTION 1
#define IDI_RUZIR 100

// The settings dialog and its controls. Every control has an identifier of
// its own (none is -1), so tests and the dialog address each one.
#define IDD_SETTINGS 200
#define IDC_FRA_PATH 1001
#define IDC_TXT_PATH 1002
#define IDC_CMD_BROWSE 1003
#define IDC_FRAME1 1004
#define IDC_OPT_PATAN0 1010  // to IDC_OPT_PATAN0 + 4, one per effect pattern
#define IDC_FRA_TIME 1020
#define IDC_TXT_TIME 1021
#define IDC_UD_TIME 1022
#define IDC_LABEL1 1023
#define IDC_FRA_BACKGROUND 1030
#define IDC_LBL_COLORTEXT 1031
#define IDC_LBL_BACKCOLOR 1032
#define IDC_CMD_COLOR 1033
#define IDC_CHK_DESKTOP 1034
#define IDC_CHK_GOST 1035
#define IDC_PICTURE1 1040
#define IDC_LBL_COMMENT 1041
