#pragma once
#include <windows.h>

// Blocks keyboard and mouse input: through the system's BlockInput, else with
// low-level hooks where that is refused (a process that is not elevated, one not on
// the input desktop, another program holding the block; Wine). Either way a catch
// window covers the screen on a thread of the block's own, at high priority: the
// system drops a low-level hook whose callback answers late, and the GUI thread sleeps
// inside every action. Ctrl+Alt+Del stays the way out: the hooks cannot see it, it
// lifts BlockInput, and it switches the input desktop, which ends the block. A block
// given minutes also ends by itself: its thread ends it at the deadline.
class CInputBlock {
public:
    // The system functions that block; a stand-in can take their place.
    struct Blockers {
        BOOL(WINAPI* pfnBlockInput)(BOOL);
        HHOOK(WINAPI* pfnSetHook)(int, HOOKPROC, HINSTANCE, DWORD);
    };

    CInputBlock();
    explicit CInputBlock(const Blockers& blockers) : m_blockers(blockers) {}
    ~CInputBlock();
    CInputBlock(const CInputBlock&) = delete;
    CInputBlock& operator=(const CInputBlock&) = delete;

    // Starts the block, through BlockInput if the system grants it now, else with the
    // hooks; while one holds, only tries again to bring its window to the foreground,
    // and counts its nMinutes afresh. bNotice: the catch window shows the way out (the
    // monitor goes off with it). nMinutes: the block ends by itself that long after
    // (0: never). TRUE once input is blocked; FALSE, with the reasons below, when
    // nothing took.
    BOOL Begin(BOOL bNotice = FALSE, int nMinutes = 0);
    // Ends the block, if one holds, and waits for its thread however long it takes.
    void Lift();
    BOOL IsActive() const;
    // What the switch detection calls: the input desktop changed hands.
    void OnDesktopSwitch();
    // Why the last Begin that found no block failed: the system errors of BlockInput
    // and of the hooks.
    DWORD GetSystemError() const { return m_dwSystemError; }
    DWORD GetHookError() const { return m_dwHookError; }

    // The block thread's own check of the input desktop, for systems that do not
    // report the switch, of the hooks still being called and of the foreground.
    static const UINT kCheckPeriodMs = 1000;
    static const DWORD kMinuteMs = 60000;

protected:
    // The hooks in force; the block thread replaces them when the system drops them.
    HHOOK volatile m_hKeyboard = nullptr;
    HHOOK volatile m_hMouse = nullptr;

private:
    static unsigned __stdcall ThreadMain(void* pParam);
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK DesktopSwitchProc(HWINEVENTHOOK hHook, DWORD dwEvent, HWND hwnd, LONG idObject,
                                           LONG idChild, DWORD dwThread, DWORD dwTime);
    // BlockInput, looked up in user32 on each call.
    static BOOL WINAPI SystemBlockInput(BOOL fBlockIt);
    static const int kDesktopNameLength = 256;
    // Name of the desktop that receives input now; empty when it cannot be opened
    // (the secure desktop of Ctrl+Alt+Del, for a standard user).
    static void InputDesktopName(WCHAR (&szName)[kDesktopNameLength]);
    static BOOL InputDesktopIs(const WCHAR* pszName);
    // A key or button that was down when the hooks went in may go up through them,
    // so nothing stays stuck down afterwards.
    static bool PassRelease(DWORD vk);
    // On the block thread: (re)installs both hooks, then notes what is held.
    void Hook();
    // On the block thread, once a period: installs the hooks again when input went
    // past them.
    void CheckHooks();
    void Unhook();
    void CloseThread();

    Blockers m_blockers;
    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;
    HANDLE m_hReady = nullptr;
    // Set by the block thread before it signals m_hReady.
    BOOL m_bBlocked = FALSE;
    HWND m_hCatch = nullptr;
    DWORD m_dwSystemError = 0;
    DWORD m_dwHookError = 0;
    BOOL m_bNotice = FALSE;
    // The minutes the thread starts with; later ones are posted to it.
    int m_nMinutes = 0;
    // What the last check saw: the last input's time and the hooks' call count.
    DWORD m_dwInputSeen = 0;
    DWORD m_nEventsSeen = 0;

    // The hook procedures have no context argument; only one block holds at a time,
    // and Lift does not return before its thread has ended. Both are touched by the
    // block thread alone.
    static LONG s_down[256];
    // How often the hooks have been called.
    static DWORD s_nEvents;
};
