#include "CLockAction.h"

#include "Afx.h"
#include "CDialog.h"
#include "CWinThread.h"
#include "CWnd.h"

namespace {
constexpr LPARAM kMonitorPowerOff = 2;
constexpr DWORD kReleasePollMs = 20;
}

void CLockAction::Act(int nMode)
{
    ::Sleep(kSettleMs);
    switch (nMode) {
    case kMonitorOffAndBlock:
        m_inputBlock.Begin();
        TurnMonitorOff();
        break;
    case kMonitorOff:
        TurnMonitorOff();
        break;
    case kBlock:
        m_inputBlock.Begin();
        break;
    default:
        break;
    }
}

BOOL CLockAction::ActAfterRelease(int nMode, const int* pKeys, int nKeys)
{
    if (m_bWaitingRelease) return FALSE;
    m_bWaitingRelease = TRUE;
    const BOOL bAct = WaitForRelease(pKeys, nKeys);
    m_bWaitingRelease = FALSE;
    if (bAct) Act(nMode);
    return bAct;
}

// Polls the key state while the thread's windows keep answering.
BOOL CLockAction::WaitForRelease(const int* pKeys, int nKeys)
{
    CWinThread* pThread = AfxGetThread();
    CWnd* pMainWnd = pThread ? pThread->GetMainWnd() : nullptr;
    HWND hMain = pMainWnd ? pMainWnd->m_hWnd : nullptr;
    const DWORD dwStart = ::GetTickCount();
    for (;;) {
        bool bHeld = false;
        for (int i = 0; i < nKeys; ++i) bHeld = bHeld || (::GetAsyncKeyState(pKeys[i]) & 0x8000) != 0;
        if (!bHeld || ::GetTickCount() - dwStart >= kReleaseWaitMs) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kReleasePollMs, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!AfxPumpModalMessage(msg)) return TRUE;
        }
        if (hMain && !::IsWindow(hMain)) return FALSE;
    }
    // Repeats the system queued before the release seen last.
    MSG msg;
    while (::PeekMessageA(&msg, hMain, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
    }
    return !hMain || ::IsWindow(hMain);
}

void CLockAction::Lift()
{
    m_inputBlock.Lift();
}

void CLockAction::CheckInputDesktop()
{
    m_inputBlock.CheckInputDesktop();
}

void CLockAction::TurnMonitorOff()
{
    // Through the thread's main window; the system's default handling of
    // SC_MONITORPOWER does the rest.
    CWinThread* pThread = AfxGetThread();
    CWnd* pMainWnd = pThread ? pThread->GetMainWnd() : nullptr;
    ::SendMessageA(pMainWnd ? pMainWnd->m_hWnd : nullptr, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOff);
}
