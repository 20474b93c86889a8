#include "CWakeGuard.h"

#include "Afx.h"

#include <process.h>

namespace {
// Ends the guard thread's loop, posted to the thread itself; WM_QUIT would not do:
// any program may post that to the thread.
constexpr UINT kStopMessage = WM_APP;
constexpr UINT_PTR kJudgeTimer = 1;
constexpr LPARAM kMonitorPowerOff = 2;
constexpr const WCHAR* kClassName = L"VeloduskWakeGuard";

// Declared by the headers only for newer targets than ours (Vista; the display
// state from Windows 8).
constexpr WPARAM kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
constexpr DWORD kNotifyWindowHandle = 0;        // DEVICE_NOTIFY_WINDOW_HANDLE
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;
constexpr DWORD kDisplayOn = 1;
struct PowerSetting {
    GUID guid;
    DWORD cbData;
    UCHAR data[1];
};
typedef HANDLE(WINAPI* RegisterPowerProc)(HANDLE, const GUID*, DWORD);
typedef BOOL(WINAPI* UnregisterPowerProc)(HANDLE);
}  // namespace

CWakeGuard* CWakeGuard::s_pRunning;

void CWakeGuard::Begin()
{
    End();
    if (m_nDeadZone <= 0) return;
    m_hReady = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    unsigned id = 0;
    if (m_hReady) m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadMain, this, 0, &id));
    if (m_hThread) {
        m_dwThreadId = id;
        // Unbounded: the thread signals or ends within its first calls.
        HANDLE waits[2] = {m_hReady, m_hThread};
        AfxWaitSending(2, waits);
    }
    if (m_hReady) ::CloseHandle(m_hReady);
    m_hReady = nullptr;
}

void CWakeGuard::End()
{
    if (!m_hThread) return;
    // A thread that ended by itself may have left its id to another thread.
    if (::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT) {
        ::PostThreadMessageW(m_dwThreadId, kStopMessage, 0, 0);
        // However long it takes: a thread left running would keep its hooks, and touch
        // this object after it is gone. The system's handling of its offs may send to
        // this thread's windows.
        AfxWaitSending(1, &m_hThread);
    }
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_dwThreadId = 0;
}

DWORD CWakeGuard::LastInputTime()
{
    LASTINPUTINFO lii = {sizeof(LASTINPUTINFO), 0};
    return ::GetLastInputInfo(&lii) ? lii.dwTime : 0;
}

void CWakeGuard::Stop()
{
    m_bStopping = true;
    ::PostThreadMessageW(::GetCurrentThreadId(), kStopMessage, 0, 0);
}

bool CWakeGuard::InZone(POINT pt)
{
    // A move kept from the windows leaves the pointer where it was, so each one is a
    // step from the anchor; their sum is where the pointer would be, and slow moves
    // in small steps add up to the user's own.
    m_nTravelX += pt.x - m_ptAnchor.x;
    m_nTravelY += pt.y - m_ptAnchor.y;
    const LONGLONG nX = m_nTravelX, nY = m_nTravelY, nR = m_nRadius;
    return nX * nX + nY * nY <= nR * nR;
}

LRESULT CALLBACK CWakeGuard::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CWakeGuard* pThis = s_pRunning;
    if (nCode == HC_ACTION && pThis && !pThis->m_bStopping) pThis->Stop();
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK CWakeGuard::MouseProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CWakeGuard* pThis = s_pRunning;
    if (nCode != HC_ACTION || !pThis || pThis->m_bStopping) return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    if (wParam != WM_MOUSEMOVE || !pThis->InZone(reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt)) {
        pThis->Stop();
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
    // The hooks after ours see the move too: an input block counts what its own
    // hooks are called for.
    ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    ++pThis->m_nKeptMoves;
    return 1;
}

LRESULT CALLBACK CWakeGuard::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWakeGuard* pThis = s_pRunning;
    if (pThis && message == WM_POWERBROADCAST && wParam == kPowerSettingChange) {
        const PowerSetting* pSetting = reinterpret_cast<const PowerSetting*>(lParam);
        if (pSetting && ::IsEqualGUID(pSetting->guid, kConsoleDisplayState) && pSetting->cbData >= sizeof(DWORD)) {
            DWORD dwState;
            ::CopyMemory(&dwState, pSetting->data, sizeof dwState);
            // The first report is the state at registration, which may still be on.
            if (dwState == kDisplayOff) pThis->m_bReportedOff = true;
            if (dwState == kDisplayOn && pThis->m_bReportedOff) ::SetTimer(hWnd, kJudgeTimer, kJudgeDelayMs, nullptr);
        }
        return TRUE;
    }
    if (pThis && message == WM_TIMER && wParam == kJudgeTimer) {
        ::KillTimer(hWnd, kJudgeTimer);
        pThis->JudgeWake();
        return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

void CWakeGuard::JudgeWake()
{
    if (m_bStopping) return;
    if (m_nKeptMoves > 0) {
        // Where the system wakes the screen for input that no window gets.
        TurnOffAgain();
    } else if (LastInputTime() != m_dwInputAtOff) {
        // Input the hooks never saw: Ctrl+Alt+Del, another desktop.
        Stop();
    } else if (::GetTickCount() - m_dwOffTick < kQuietWakeMs && m_nQuietOffs < kMaxQuietOffs) {
        ++m_nQuietOffs;
        TurnOffAgain();
    }
}

void CWakeGuard::TurnOffAgain()
{
    m_bReportedOff = false;
    m_nKeptMoves = 0;
    m_dwInputAtOff = LastInputTime();
    // Any window will do for the system's default handling; the main window belongs
    // to a thread that may be asleep.
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MONITORPOWER, kMonitorPowerOff);
}

unsigned __stdcall CWakeGuard::ThreadMain(void* pParam)
{
    CWakeGuard* pThis = static_cast<CWakeGuard*>(pParam);
    // The system drops a low-level hook whose callback misses LowLevelHooksTimeout.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    MSG msg;
    // The queue must exist before the owner can post the stop message.
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    s_pRunning = pThis;
    pThis->m_nRadius = AfxScaleFrom96(pThis->m_nDeadZone);
    if (!::GetCursorPos(&pThis->m_ptAnchor)) pThis->m_ptAnchor = POINT{};
    pThis->m_nTravelX = pThis->m_nTravelY = 0;
    pThis->m_nKeptMoves = 0;
    pThis->m_dwOffTick = ::GetTickCount();
    pThis->m_dwInputAtOff = LastInputTime();
    pThis->m_nQuietOffs = 0;
    pThis->m_bReportedOff = false;
    pThis->m_bStopping = false;

    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kClassName;
    // A later guard finds the class registered: the failure is that.
    ::RegisterClassW(&wc);
    // Top-level, never shown: power reports go to top-level windows.
    pThis->m_hWnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      hInstance, nullptr);
    HHOOK hKeyboard = nullptr, hMouse = nullptr;
    HANDLE hPower = nullptr;
    UnregisterPowerProc pfnUnregister = nullptr;
    if (pThis->m_hWnd) {
        const RegisterPowerProc pfnRegister =
            AfxSystemProc<RegisterPowerProc>("user32.dll", "RegisterPowerSettingNotification");
        pfnUnregister = AfxSystemProc<UnregisterPowerProc>("user32.dll", "UnregisterPowerSettingNotification");
        if (pfnRegister && pfnUnregister) hPower = pfnRegister(pThis->m_hWnd, &kConsoleDisplayState, kNotifyWindowHandle);
        hKeyboard = ::SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, hInstance, 0);
        hMouse = ::SetWindowsHookExW(WH_MOUSE_LL, MouseProc, hInstance, 0);
    }
    ::SetEvent(pThis->m_hReady);
    while (pThis->m_hWnd) {
        const BOOL bGot = ::GetMessageW(&msg, nullptr, 0, 0);
        if (bGot < 0 || (!msg.hwnd && msg.message == kStopMessage)) break;
        if (bGot) ::DispatchMessageW(&msg);  // else WM_QUIT, from anyone
    }
    if (hPower) pfnUnregister(hPower);
    if (hMouse) ::UnhookWindowsHookEx(hMouse);
    if (hKeyboard) ::UnhookWindowsHookEx(hKeyboard);
    if (pThis->m_hWnd) ::DestroyWindow(pThis->m_hWnd);
    pThis->m_hWnd = nullptr;
    s_pRunning = nullptr;
    return 0;
}
