#include "CTrayIcon.h"

#include "Afx.h"
#include "HotKeyText.h"
#include "Resource.h"

namespace {
constexpr UINT kMenuFlags = TPM_RIGHTALIGN | TPM_NONOTIFY | TPM_RETURNCMD;
}

UINT CTrayIcon::s_uTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");

void CTrayIcon::Add(HWND hWnd, HICON hIcon)
{
    if (m_trayData.hWnd) return;
    m_trayMenu.CreatePopupMenu();
    m_trayMenu.AppendMenu(MF_STRING, ID_TRAY_SHOW, IDS_TRAY_SHOW);
    m_trayMenu.AppendMenu(MF_STRING, ID_TRAY_TURN_OFF, IDS_TRAY_TURN_OFF);
    m_trayMenu.AppendMenu(MF_SEPARATOR);
    m_trayMenu.AppendMenu(MF_STRING, ID_TRAY_EXIT, IDS_TRAY_EXIT);

    m_trayData.cbSize = NOTIFYICONDATAW_V1_SIZE;
    m_trayData.hWnd = hWnd;
    m_trayData.uID = ID_TRAY_ICON;
    m_trayData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_trayData.uCallbackMessage = WM_TRAYNOTIFY;
    m_trayData.hIcon = hIcon;
    // Elevated, the shell's announcement would not get through and the icon would not
    // come back after Explorer restarts.
    AfxAllowLowerIntegrityMessage(hWnd, s_uTaskbarCreated);
    TryAdd();
}

void CTrayIcon::TryAdd()
{
    // A call that timed out may still have added the icon: then a second add fails
    // for ever, while a change of the icon succeeds.
    m_bShown = m_pfnNotify(NIM_ADD, &m_trayData) || m_pfnNotify(NIM_MODIFY, &m_trayData);
    if (m_bShown) ::KillTimer(m_trayData.hWnd, kRetryTimerId);
    else ::SetTimer(m_trayData.hWnd, kRetryTimerId, kRetryMs, nullptr);
}

void CTrayIcon::SetTip(const WCHAR* pszTip)
{
    static_assert(sizeof(m_trayData.szTip) / sizeof(WCHAR) >= HotKeyText::kTipCapacity, "tip buffer");
    HotKeyText::CopyTip(pszTip, m_trayData.szTip);
    if (m_bShown) m_pfnNotify(NIM_MODIFY, &m_trayData);
}

BOOL CTrayIcon::OnMessage(UINT message, WPARAM wParam)
{
    if (!m_trayData.hWnd) return FALSE;
    if (message == WM_TIMER && wParam == kRetryTimerId) {
        if (!m_bShown) TryAdd();
        return TRUE;
    }
    // Sent to every top-level window when a notification area starts (Explorer
    // restarted): the icons it had are gone.
    if (message == s_uTaskbarCreated && s_uTaskbarCreated) {
        TryAdd();
        return TRUE;
    }
    return FALSE;
}

UINT CTrayIcon::OnNotify(LPARAM lParam)
{
    if (lParam == WM_LBUTTONDBLCLK) return kDoubleClick;
    if (lParam != WM_RBUTTONUP) return 0;

    POINT pt;
    ::GetCursorPos(&pt);
    m_trayMenu.SetDefaultItem(ID_TRAY_TURN_OFF, FALSE);
    // A notification-icon menu closes on a click elsewhere and takes its keys only
    // when its owner is the foreground window; the null message afterwards lets the
    // next right-click open it again at once.
    ::SetForegroundWindow(m_trayData.hWnd);
    const UINT nCommand = m_trayMenu.TrackPopupMenu(kMenuFlags, pt.x, pt.y, m_trayData.hWnd);
    ::PostMessageW(m_trayData.hWnd, WM_NULL, 0, 0);
    return nCommand;
}

void CTrayIcon::Delete()
{
    if (!m_trayData.hWnd) return;
    ::KillTimer(m_trayData.hWnd, kRetryTimerId);
    if (m_bShown) m_pfnNotify(NIM_DELETE, &m_trayData);
    m_bShown = FALSE;
    m_trayData.hWnd = nullptr;
}
