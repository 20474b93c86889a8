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
#define IDC_MAIL_LINK 1006

#define ID_TRAY_SHOW 1000
#define ID_TRAY_TURN_OFF 1001
#define ID_TRAY_EXIT 1002

#define IDM_ABOUTBOX 0x0010

// Strings, one entry per language in the resource script's string tables.
#define IDS_NOTICE 256
#define IDS_HOTKEY_CONFLICT 257
#define IDS_RUN_ONCE_NOTICE 258
#define IDS_TRAY_TIP 259
#define IDS_TRAY_SHOW 260
#define IDS_TRAY_TURN_OFF 261
#define IDS_TRAY_EXIT 262
#define IDS_SAVE_FAILED 263
#define IDS_INPUT_LOCKED 264
#define IDS_SWITCH_UNKNOWN 265
#define IDS_SWITCH_HEADING 266
#define IDS_SWITCH_FOOTER 267
#define IDS_SWITCH_OFF 268
#define IDS_SWITCH_LOCK 269
#define IDS_SWITCH_EXIT 270
#define IDS_SWITCH_HELP 271
#define IDS_SWITCH_HELP_SAME 272
#define IDS_SHORTCUT_DESCRIPTION 273
#define IDS_BLOCK_REFUSED 274
#define IDS_INPUT_LOCKED_MINUTES 275
#define IDS_SWITCH_LOCK_MINUTES 276
#define IDS_ALREADY_RUNNING 298
#define IDS_IDLE_WARN_ALL 290
#define IDS_IDLE_WARN_MONITOR 291
#define IDS_IDLE_WARN_INPUT 292
#define IDS_IDLE_WARN_CANCEL 293

// Settings dialog 130
#define IDC_AUTORUN 1005
#define IDC_RUNRUN 1006
#define IDC_LOCK_ALL 1009
#define IDC_LOCK_MONITOR 1010
#define IDC_LOCK_INPUT 1011
#define IDC_DESKTOP 1016
#define IDC_TIMESKM 1017
#define IDC_TIMESKM_VALUE 1018
#define IDC_TIMESKM_SPIN 1019
#define IDC_ACCCTRL 1026
#define IDC_ACCKEY 1027
// The action's global hot key, the tray icon and the icon's callback message.
#define IDH_ACTION 1010
#define ID_TRAY_ICON 128
#define WM_TRAYNOTIFY (WM_USER + 100)
