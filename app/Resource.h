#pragma once
// Identifiers shared by the resource script and the code.
#define IDD_ABOUTBOX 100
#define IDD_MONITORTOOL_DIALOG 102
#define IDR_MAINFRAME 127
#define IDD_SETTINGS 130

#define IDC_TURN_OFF 1000
#define IDC_LOGO 1001
#define IDC_ABOUT 1002
#define IDC_SETTINGS 1003

#define ID_TRAY_SHOW 1000
#define ID_TRAY_TURN_OFF 1001
#define ID_TRAY_EXIT 1002

#define IDM_ABOUTBOX 0x0010

// The action's global hot key, the tray icon and the icon's callback message.
#define IDH_ACTION 1010
#define ID_TRAY_ICON 128
#define WM_TRAYNOTIFY (WM_USER + 100)
