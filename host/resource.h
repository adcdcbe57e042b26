#pragma once

#define IDR_MAINMENU        100
#define IDD_INPUT           101
#define IDC_INPUT_PROMPT    1001
#define IDC_INPUT_TEXT      1002

#define ID_EXPORT           40001
#define ID_AUTOEXPORT       40002
#define ID_IMPORT           40003
#define ID_AUTOIMPORT       40004
#define ID_SETUP            40005
#define ID_SET_DATA_PATH    40006
#define ID_SET_USER_ORG     40007
#define ID_INFO             40008
#define ID_EXIT             40009
