#include "CLockAction.h"

#include "Afx.h"
#include "CUiText.h"
#include "CWinThread.h"
#include "CWnd.h"
#include "Resource.h"

namespace {
constexpr LPARAM kMonitorPowerOff = 2;
}

CLockAction* CLockAction::s_pWaiting;

void CLockAction::Act(int nMode, int nMinutes)
{
    ::Sleep(kSettleMs);
    if (nMinutes < 0) nMinutes = m_nBlockMinutes;
    switch (nMode) {
    case kMonitorOffAndBlock:
        if (Block(TRUE, nMinutes)) TurnMonitorOff();
        break;
    case kMonitorOff:
        TurnMonitorOff();
        break;
    case kBlock:
        Block(FALSE, nMinutes);
        break;
    default:
        break;
    }
}

BOOL CLockAction::ActAfterRelease(int nMode, const int* pKeys, int nKeys, int nMinutes)
{
    if (s_pWaiting || nKeys < 0 || nKeys > kMaxKeys) return FALSE;
    for (int i = 0; i < nKeys; ++i) m_keys[i] = pKeys[i];
    m_nKeys = nKeys;
    m_nWaitMode = nMode;
    m_nWaitMinutes = nMinutes;
    m_dwWaitStart = ::GetTickCount();
    if (!AnyHeld() || !(m_uTimer = ::SetTimer(nullptr, 0, kReleasePollMs, ReleaseTimerProc))) {
        Act(nMode, nMinutes);
        return TRUE;
    }
    s_pWaiting = this;
    return TRUE;
}

BOOL CLockAction::AnyHeld() const
{
    for (int i = 0; i < m_nKeys; ++i) {
        if (::GetAsyncKeyState(m_keys[i]) & 0x8000) return TRUE;
    }
    return FALSE;
}

void CALLBACK CLockAction::ReleaseTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    CLockAction* pThis = s_pWaiting;
    if (!pThis || (pThis->AnyHeld() && ::GetTickCount() - pThis->m_dwWaitStart < kReleaseWaitMs)) return;
    pThis->EndWait();
    // Repeats the system queued before the release seen last.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
    pThis->Act(pThis->m_nWaitMode, pThis->m_nWaitMinutes);
}

void CLockAction::EndWait()
{
    if (m_uTimer) ::KillTimer(nullptr, m_uTimer);
    m_uTimer = 0;
    if (s_pWaiting == this) s_pWaiting = nullptr;
}

void CLockAction::Lift()
{
    EndWait();
    m_wakeGuard.End();
    m_inputBlock.Lift();
}

BOOL CLockAction::Block(BOOL bNotice, int nMinutes)
{
    if (m_inputBlock.Begin(bNotice, nMinutes)) return TRUE;
    // The box's own loop runs the triggers that come meanwhile: one box is enough.
    if (m_bTelling) return FALSE;
    CUiText system, hooks, text;
    system.AppendSystemMessage(m_inputBlock.GetSystemError());
    hooks.AppendSystemMessage(m_inputBlock.GetHookError());
    text.Format(IDS_BLOCK_REFUSED, static_cast<const WCHAR*>(system), static_cast<const WCHAR*>(hooks));
    m_bTelling = TRUE;
    // In front of whatever the user works in: an idle trigger comes without the
    // right to the foreground.
    ::MessageBoxW(MainWindow(), text, CUiText(IDS_NOTICE), MB_ICONWARNING | MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
    m_bTelling = FALSE;
    return FALSE;
}

HWND CLockAction::MainWindow()
{
    CWinThread* pThread = AfxGetThread();
    CWnd* pMainWnd = pThread ? pThread->GetMainWnd() : nullptr;
    return pMainWnd ? pMainWnd->m_hWnd : nullptr;
}

void CLockAction::TurnMonitorOff()
{
    // Through the thread's main window; the system's default handling of
    // SC_MONITORPOWER does the rest.
    ::SendMessageW(MainWindow(), WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOff);
    m_wakeGuard.Begin();
}
