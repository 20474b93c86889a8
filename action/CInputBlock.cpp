#include "CInputBlock.h"

#include "Afx.h"
#include "CCatchWindow.h"

#include <process.h>

namespace {
// EVENT_SYSTEM_DESKTOPSWITCH: the headers declare it only for newer targets than ours.
constexpr DWORD kEventDesktopSwitch = 0x0020;
}

LONG CInputBlock::s_down[256];
DWORD CInputBlock::s_nEvents;
LONG CInputBlock::s_bSystemBlocks;

CInputBlock::~CInputBlock()
{
    Lift();
}

BOOL CInputBlock::Begin(BOOL bNotice)
{
    // Refused for a process that is not elevated, and not implemented in Wine.
    if (SystemBlock()) s_bSystemBlocks = TRUE;
    if (s_bSystemBlocks || IsActive()) return TRUE;
    CloseThread();
    m_bHooked = FALSE;
    m_bNotice = bNotice;
    m_hReady = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!m_hReady) return FALSE;
    unsigned id = 0;
    m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadMain, this, 0, &id));
    m_dwThreadId = id;
    if (m_hThread) {
        // Unbounded: the thread either signals or ends within its first few calls. A
        // timeout here would close the event under a thread still about to hook, and
        // leave hooks behind that no Lift knows of.
        HANDLE waits[2] = {m_hReady, m_hThread};
        ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    ::CloseHandle(m_hReady);
    m_hReady = nullptr;
    if (!m_bHooked) Lift();
    return m_bHooked;
}

BOOL CInputBlock::SystemBlock()
{
    // Looked up at run time rather than imported; a missing export blocks nothing.
    typedef BOOL(WINAPI * BlockInputProc)(BOOL);
    BlockInputProc pfnBlockInput = AfxSystemProc<BlockInputProc>("user32.dll", "BlockInput");
    return pfnBlockInput && pfnBlockInput(TRUE);
}

void CInputBlock::Lift()
{
    if (!m_hThread) return;
    ::PostThreadMessageA(m_dwThreadId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(m_hThread, kStopTimeoutMs);
    CloseThread();
}

BOOL CInputBlock::IsActive() const
{
    return m_hThread && ::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

void CInputBlock::OnDesktopSwitch()
{
    // The thread unhooks on its way out; the handle is closed by the next Begin or Lift.
    if (m_hThread) ::PostThreadMessageA(m_dwThreadId, WM_QUIT, 0, 0);
}

void CInputBlock::CloseThread()
{
    if (m_hThread) ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_dwThreadId = 0;
}

std::string CInputBlock::InputDesktopName()
{
    HDESK hDesk = ::OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!hDesk) return std::string();
    char szName[256] = "";
    DWORD cbNeeded = 0;
    if (!::GetUserObjectInformationA(hDesk, UOI_NAME, szName, sizeof(szName) - 1, &cbNeeded)) szName[0] = '\0';
    ::CloseDesktop(hDesk);
    return szName;
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
    // Runs on the hook thread, whose loop then ends and takes the hooks with it.
    ::PostQuitMessage(0);
}

void CInputBlock::Hook()
{
    Unhook();
    HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    m_hKeyboard = ::SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardProc, hInstance, 0);
    m_hMouse = ::SetWindowsHookExA(WH_MOUSE_LL, MouseProc, hInstance, 0);
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
    // The queue must exist before the owner can post the quit message.
    ::PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const std::string strDesktop = InputDesktopName();
    HWINEVENTHOOK hSwitch = ::SetWinEventHook(kEventDesktopSwitch, kEventDesktopSwitch, nullptr,
                                              DesktopSwitchProc, 0, 0, WINEVENT_OUTOFCONTEXT);
    pThis->Hook();
    const BOOL bHooked = pThis->m_hKeyboard && pThis->m_hMouse;
    const BOOL bNotice = pThis->m_bNotice;
    pThis->m_bHooked = bHooked;
    ::SetEvent(pThis->m_hReady);
    // Only once the owner runs again: the change of foreground may send its windows
    // messages.
    CCatchWindow catcher;
    if (bHooked) catcher.Show(bNotice);
    const UINT_PTR uTimer = bHooked ? ::SetTimer(nullptr, 0, kCheckPeriodMs, nullptr) : 0;
    while (bHooked && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != WM_TIMER || msg.hwnd || msg.wParam != uTimer) {
            ::DispatchMessageA(&msg);
            continue;
        }
        if (InputDesktopName() != strDesktop) break;
        pThis->CheckHooks();
    }
    if (uTimer) ::KillTimer(nullptr, uTimer);
    catcher.Hide();
    if (hSwitch) ::UnhookWinEvent(hSwitch);
    pThis->Unhook();
    return 0;
}
