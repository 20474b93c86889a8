#pragma once
#include <windows.h>
#include <shellapi.h>

#include "CMenu.h"

// The notification-area icon with its tip and menu. The icon is the one way to reach
// a hidden program, so it is added until the shell takes it: at logon the shell may
// not be ready yet, refuse or time out the call and never announce itself afterwards.
class CTrayIcon {
public:
    // The shell's function, or a stand-in with its contract.
    typedef BOOL(WINAPI* NotifyProc)(DWORD dwMessage, PNOTIFYICONDATAW pData);

    explicit CTrayIcon(NotifyProc pfnNotify = ::Shell_NotifyIconW) : m_pfnNotify(pfnNotify) {}
    ~CTrayIcon() { Delete(); }
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Makes the menu and adds the icon, whose notifications go to hWnd as
    // WM_TRAYNOTIFY; until the shell takes it, tried again every kRetryMs on timer
    // kRetryTimerId of hWnd.
    void Add(HWND hWnd, HICON hIcon);
    // The tip, cut to the record's buffer; shown at once when the icon is there.
    void SetTip(const WCHAR* pszTip);
    // The icon's own messages among hWnd's (the retry timer, the shell's new
    // notification area); TRUE when it was one.
    BOOL OnMessage(UINT message, WPARAM wParam);
    // What a WM_TRAYNOTIFY asks for: kDoubleClick, a menu item's id (the menu is
    // shown for a right-button release), or 0.
    UINT OnNotify(LPARAM lParam);
    void Delete();
    BOOL IsShown() const { return m_bShown; }

    static const UINT kDoubleClick = 1;
    static const UINT_PTR kRetryTimerId = 2;
    static const UINT kRetryMs = 2000;

    // The Windows 95 layout: 88 bytes. hWnd stays null until Add.
    NOTIFYICONDATAW m_trayData = {};
    CMenu m_trayMenu;

private:
    void TryAdd();

    NotifyProc m_pfnNotify;
    BOOL m_bShown = FALSE;

    static UINT s_uTaskbarCreated;
};
