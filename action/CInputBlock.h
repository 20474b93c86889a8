#pragma once
#include <windows.h>

#include <string>

// Blocks keyboard and mouse input: through the system's BlockInput, else with
// low-level hooks where that is refused (a process that is not elevated; Wine).
// The hooks run on a thread of their own at high priority, with a catch window that
// holds the foreground: the system drops a low-level hook whose callback answers
// late, and the GUI thread sleeps inside every action. Ctrl+Alt+Del stays the way
// out: the hooks cannot see it, but it switches the input desktop, and the block
// ends with the switch.
class CInputBlock {
public:
    CInputBlock() = default;
    ~CInputBlock();
    CInputBlock(const CInputBlock&) = delete;
    CInputBlock& operator=(const CInputBlock&) = delete;

    // Starts the block; while one holds, adds nothing. Once BlockInput has worked in
    // this process a refusal means the system blocks already, and no hooks go on top.
    // bNotice: the catch window shows the way out (the monitor goes off with it).
    // TRUE once the system blocks input or the hooks are in.
    BOOL Begin(BOOL bNotice = FALSE);
    // Ends the block, if one holds, and waits for its thread.
    void Lift();
    BOOL IsActive() const;
    // What the switch detection calls: the input desktop changed hands.
    void OnDesktopSwitch();

    static const DWORD kStopTimeoutMs = 5000;
    // The hook thread's own check of the input desktop, for systems that do not
    // report the switch, and of the hooks still being called.
    static const UINT kCheckPeriodMs = 1000;

protected:
    // The hooks in force; the hook thread replaces them when the system drops them.
    HHOOK volatile m_hKeyboard = nullptr;
    HHOOK volatile m_hMouse = nullptr;

private:
    static unsigned __stdcall ThreadMain(void* pParam);
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
    static void CALLBACK DesktopSwitchProc(HWINEVENTHOOK hHook, DWORD dwEvent, HWND hwnd, LONG idObject,
                                           LONG idChild, DWORD dwThread, DWORD dwTime);
    // BlockInput(TRUE), looked up in user32 on each call.
    static BOOL SystemBlock();
    // Name of the desktop that receives input now; empty when it cannot be opened
    // (the secure desktop of Ctrl+Alt+Del, for a standard user).
    static std::string InputDesktopName();
    // A key or button that was down when the hooks went in may go up through them,
    // so nothing stays stuck down afterwards.
    static bool PassRelease(DWORD vk);
    // On the hook thread: (re)installs both hooks, then notes what is held.
    void Hook();
    // On the hook thread, once a period: installs the hooks again when input went
    // past them.
    void CheckHooks();
    void Unhook();
    void CloseThread();

    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;
    HANDLE m_hReady = nullptr;
    BOOL m_bHooked = FALSE;
    BOOL m_bNotice = FALSE;
    // What the last check saw: the last input's time and the hooks' call count.
    DWORD m_dwInputSeen = 0;
    DWORD m_nEventsSeen = 0;

    // The hook procedures have no context argument; only one block holds at a time.
    // Both are touched by the hook thread alone.
    static LONG s_down[256];
    // How often the hooks have been called.
    static DWORD s_nEvents;
    static LONG s_bSystemBlocks;
};
