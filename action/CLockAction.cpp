#include "CLockAction.h"

#include "Afx.h"
#include "CWinThread.h"
#include "CWnd.h"

namespace {
constexpr LPARAM kMonitorPowerOff = 2;
}

CLockAction* CLockAction::s_pWaiting;

void CLockAction::Act(int nMode)
{
    ::Sleep(kSettleMs);
    switch (nMode) {
    case kMonitorOffAndBlock:
        m_inputBlock.Begin(TRUE);
        TurnMonitorOff();
        break;
    case kMonitorOff:
        TurnMonitorOff();
        break;
    case kBlock:
        m_inputBlock.Begin(FALSE);
        break;
    default:
        break;
    }
}

BOOL CLockAction::ActAfterRelease(int nMode, const int* pKeys, int nKeys)
{
    if (s_pWaiting || nKeys < 0 || nKeys > kMaxKeys) return FALSE;
    for (int i = 0; i < nKeys; ++i) m_keys[i] = pKeys[i];
    m_nKeys = nKeys;
    m_nWaitMode = nMode;
    m_dwWaitStart = ::GetTickCount();
    if (!AnyHeld() || !(m_uTimer = ::SetTimer(nullptr, 0, kReleasePollMs, ReleaseTimerProc))) {
        Act(nMode);
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
    while (::PeekMessageA(&msg, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
    pThis->Act(pThis->m_nWaitMode);
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
    m_inputBlock.Lift();
}

void CLockAction::TurnMonitorOff()
{
    // Through the thread's main window; the system's default handling of
    // SC_MONITORPOWER does the rest.
    CWinThread* pThread = AfxGetThread();
    CWnd* pMainWnd = pThread ? pThread->GetMainWnd() : nullptr;
    ::SendMessageA(pMainWnd ? pMainWnd->m_hWnd : nullptr, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOff);
}
