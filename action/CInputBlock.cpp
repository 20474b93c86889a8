#include "CInputBlock.h"

#include "Afx.h"
#include "CCatchWindow.h"

#include <process.h>

namespace {
// EVENT_SYSTEM_DESKTOPSWITCH: the headers declare it only for newer targets than ours.
constexpr DWORD kEventDesktopSwitch = 0x0020;
// Ends the block thread's loop, posted to the thread itself. WM_QUIT would not do:
// any program may post that to the thread.
constexpr UINT kStopMessage = WM_APP;
// Posted to the block thread with the minutes of a later action: the block ends that
// long after it.
constexpr UINT kMinutesMessage = WM_APP + 1;

// Whole minutes left, rounded up, of nMinutes begun dwElapsed ms ago; 0 once they
// are over.
int MinutesLeft(int nMinutes, DWORD dwElapsed)
{
    const unsigned long long nTotal = static_cast<unsigned long long>(nMinutes) * CInputBlock::kMinuteMs;
    return dwElapsed < nTotal ? static_cast<int>((nTotal - dwElapsed + CInputBlock::kMinuteMs - 1) /
                                                 CInputBlock::kMinuteMs)
                              : 0;
}
}

LONG CInputBlock::s_down[256];
DWORD CInputBlock::s_nEvents;

CInputBlock::CInputBlock() : m_blockers{SystemBlockInput, ::SetWindowsHookExW} {}

CInputBlock::~CInputBlock()
{
    Lift();
}

BOOL CInputBlock::Begin(BOOL bNotice, int nMinutes)
{
    if (IsActive()) {
        ::PostThreadMessageW(m_dwThreadId, kMinutesMessage, static_cast<WPARAM>(nMinutes), 0);
        // The trigger gave this thread the right again.
        CCatchWindow::TakeForeground(m_hCatch);
        return TRUE;
    }
    // A block that ended by itself (the desktop switch) leaves its thread's handle.
    Lift();
    m_bBlocked = FALSE;
    m_hCatch = nullptr;
    m_bNotice = bNotice;
    m_nMinutes = nMinutes;
    m_hReady = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    unsigned id = 0;
    if (m_hReady) m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadMain, this, 0, &id));
    if (!m_hThread) {
        m_dwSystemError = m_dwHookError = ::GetLastError();
    } else {
        m_dwThreadId = id;
        // Unbounded: the thread either signals or ends within its first few calls.
        HANDLE waits[2] = {m_hReady, m_hThread};
        AfxWaitSending(2, waits);
    }
    if (m_hReady) ::CloseHandle(m_hReady);
    m_hReady = nullptr;
    if (!m_bBlocked) {
        Lift();
        return FALSE;
    }
    // Here, on the thread that received the trigger, while it still holds the right
    // to give the foreground; the block thread tries again while the block lasts.
    CCatchWindow::TakeForeground(m_hCatch);
    return TRUE;
}

BOOL WINAPI CInputBlock::SystemBlockInput(BOOL fBlockIt)
{
    // Looked up at run time rather than imported; a missing export blocks nothing.
    typedef BOOL(WINAPI * BlockInputProc)(BOOL);
    BlockInputProc pfnBlockInput = AfxSystemProc<BlockInputProc>("user32.dll", "BlockInput");
    if (!pfnBlockInput) {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    return pfnBlockInput(fBlockIt);
}

void CInputBlock::Lift()
{
    if (!m_hThread) return;
    ::PostThreadMessageW(m_dwThreadId, kStopMessage, 0, 0);
    // However long it takes: a thread left running would keep hooks and a window no
    // later Lift knows of, and would touch this object after it is gone. On its way
    // out it may hand the foreground back to a window of this thread.
    AfxWaitSending(1, &m_hThread);
    CloseThread();
}

BOOL CInputBlock::IsActive() const
{
    return m_hThread && ::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

void CInputBlock::OnDesktopSwitch()
{
    // The thread ends the block on its way out; the handle is closed by the next
    // Begin or Lift.
    if (m_hThread) ::PostThreadMessageW(m_dwThreadId, kStopMessage, 0, 0);
}

void CInputBlock::CloseThread()
{
    if (m_hThread) ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_dwThreadId = 0;
}

void CInputBlock::InputDesktopName(WCHAR (&szName)[kDesktopNameLength])
{
    szName[0] = L'\0';
    HDESK hDesk = ::OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!hDesk) return;
    DWORD cbNeeded = 0;
    if (!::GetUserObjectInformationW(hDesk, UOI_NAME, szName, sizeof(szName) - sizeof(WCHAR), &cbNeeded))
        szName[0] = L'\0';
    ::CloseDesktop(hDesk);
}

BOOL CInputBlock::InputDesktopIs(const WCHAR* pszName)
{
    WCHAR szNow[kDesktopNameLength];
    InputDesktopName(szNow);
    return ::lstrcmpW(szNow, pszName) == 0;
}

bool CInputBlock::PassRelease(DWORD vk)
{
    if (vk >= 256 || !s_down[vk]) return false;
    s_down[vk] = 0;
    return true;
}

LRESULT CALLBACK CInputBlock::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode != HC_ACTION) return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    ++s_nEvents;
    const KBDLLHOOKSTRUCT* pKey = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if ((pKey->flags & LLKHF_UP) && PassRelease(pKey->vkCode)) return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    return 1;
}

LRESULT CALLBACK CInputBlock::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode != HC_ACTION) return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    ++s_nEvents;
    DWORD vk = 0;
    switch (wParam) {
    case WM_LBUTTONUP: vk = VK_LBUTTON; break;
    case WM_RBUTTONUP: vk = VK_RBUTTON; break;
    case WM_MBUTTONUP: vk = VK_MBUTTON; break;
    case WM_XBUTTONUP:
        vk = HIWORD(reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->mouseData) == XBUTTON1 ? VK_XBUTTON1 : VK_XBUTTON2;
        break;
    default: break;
    }
    if (vk && PassRelease(vk)) return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    return 1;
}

void CALLBACK CInputBlock::DesktopSwitchProc(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD)
{
    // Runs on the block thread, whose loop then ends and takes the block with it.
    ::PostThreadMessageW(::GetCurrentThreadId(), kStopMessage, 0, 0);
}

void CInputBlock::Hook()
{
    Unhook();
    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    m_hKeyboard = m_blockers.pfnSetHook(WH_KEYBOARD_LL, KeyboardProc, hInstance, 0);
    if (!m_hKeyboard) m_dwHookError = ::GetLastError();
    m_hMouse = m_blockers.pfnSetHook(WH_MOUSE_LL, MouseProc, hInstance, 0);
    if (!m_hMouse) m_dwHookError = ::GetLastError();
    // Input up to now came before these hooks.
    m_nEventsSeen = s_nEvents;
    LASTINPUTINFO lii = {sizeof(LASTINPUTINFO), 0};
    m_dwInputSeen = ::GetLastInputInfo(&lii) ? lii.dwTime : 0;
    // Taken once both hooks are in: a key pressed before has gone down past them and
    // may go up; one pressed since was swallowed, and so is its release.
    for (int vk = 1; vk < 256; ++vk) s_down[vk] = (::GetAsyncKeyState(vk) & 0x8000) ? 1 : 0;
}

void CInputBlock::Unhook()
{
    // Fails harmlessly for a hook the system has dropped.
    if (m_hMouse) ::UnhookWindowsHookEx(m_hMouse);
    if (m_hKeyboard) ::UnhookWindowsHookEx(m_hKeyboard);
    m_hMouse = m_hKeyboard = nullptr;
}

void CInputBlock::CheckHooks()
{
    // New input in a period in which the hooks were not called once went past them:
    // the system dropped them. Counting calls rather than comparing times keeps the
    // hooks' clock and the last-input clock apart: the two tick at different
    // granularities, and input in the tick the hooks went in would look old.
    LASTINPUTINFO lii = {sizeof(LASTINPUTINFO), 0};
    if (!::GetLastInputInfo(&lii)) return;
    const BOOL bDropped = lii.dwTime != m_dwInputSeen && s_nEvents == m_nEventsSeen;
    m_dwInputSeen = lii.dwTime;
    m_nEventsSeen = s_nEvents;
    if (bDropped) Hook();
}

unsigned __stdcall CInputBlock::ThreadMain(void* pParam)
{
    CInputBlock* pThis = static_cast<CInputBlock*>(pParam);
    // The system drops a low-level hook whose callback misses LowLevelHooksTimeout.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    MSG msg;
    // The queue must exist before the owner can post the stop message.
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    WCHAR szDesktop[kDesktopNameLength];
    InputDesktopName(szDesktop);
    HWINEVENTHOOK hSwitch = ::SetWinEventHook(kEventDesktopSwitch, kEventDesktopSwitch, nullptr,
                                              DesktopSwitchProc, 0, 0, WINEVENT_OUTOFCONTEXT);
    // Asked on every block: granted once, BlockInput can be refused the next time.
    // Called here, so the block ends with this thread at the latest.
    const BOOL bSystem = pThis->m_blockers.pfnBlockInput(TRUE);
    pThis->m_dwSystemError = bSystem ? 0 : ::GetLastError();
    pThis->m_dwHookError = 0;
    if (!bSystem) pThis->Hook();
    const BOOL bHooked = pThis->m_hKeyboard && pThis->m_hMouse;
    if (!bSystem && !bHooked) pThis->Unhook();
    const BOOL bBlocked = bSystem || bHooked;
    // Shown before the owner runs on, without activation, which would send messages
    // to the owner's windows while it waits.
    CCatchWindow catcher;
    int nMinutes = pThis->m_nMinutes;
    DWORD dwStart = ::GetTickCount();
    if (bBlocked) {
        catcher.Show(pThis->m_bNotice);
        catcher.SetMinutesLeft(nMinutes);
    }
    pThis->m_hCatch = catcher.GetSafeHwnd();
    pThis->m_bBlocked = bBlocked;
    ::SetEvent(pThis->m_hReady);
    const UINT_PTR uTimer = bBlocked ? ::SetTimer(nullptr, 0, kCheckPeriodMs, nullptr) : 0;
    while (bBlocked) {
        const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot < 0 || (!msg.hwnd && msg.message == kStopMessage)) break;
        if (!bGot) continue;  // WM_QUIT, from anyone
        if (!msg.hwnd && msg.message == kMinutesMessage) {
            nMinutes = static_cast<int>(msg.wParam);
            dwStart = ::GetTickCount();
            catcher.SetMinutesLeft(nMinutes);
            continue;
        }
        if (msg.message != WM_TIMER || msg.hwnd || msg.wParam != uTimer) {
            ::DispatchMessageW(&msg);
            continue;
        }
        if (!InputDesktopIs(szDesktop)) break;
        if (nMinutes > 0) {
            // Checked once a period: the block ends up to a period late, never early.
            const int nLeft = MinutesLeft(nMinutes, ::GetTickCount() - dwStart);
            if (!nLeft) break;
            catcher.SetMinutesLeft(nLeft);
        }
        if (!bSystem) pThis->CheckHooks();
        if (catcher.GetSafeHwnd() && ::GetForegroundWindow() != catcher.GetSafeHwnd())
            CCatchWindow::TakeForeground(catcher.GetSafeHwnd());
    }
    if (uTimer) ::KillTimer(nullptr, uTimer);
    catcher.Hide();
    if (bSystem) pThis->m_blockers.pfnBlockInput(FALSE);
    if (hSwitch) ::UnhookWinEvent(hSwitch);
    pThis->Unhook();
    return 0;
}
