#pragma once

// Resource identifiers shared by the .rc file and the code.
#define IDI_PELORIN 1
#define IDD_PROPERTIES 100

#define IDM_TRAY_PROPERTIES 40001
#define IDM_TRAY_START_PLAYER 40002
#define IDM_TRAY_VOLUME 40003
#define IDM_TRAY_EXIT 40004
