#pragma once
#include <windows.h>

#include <string>

// Blocks keyboard and mouse input: through the system's BlockInput, else with
// low-level hooks where that is refused (a process that is not elevated; Wine). The hooks run on a thread of their own:
// the system drops a low-level hook whose callback answers late, and the GUI thread
// sleeps inside every action. Ctrl+Alt+Del stays the way out: the hooks cannot see
// it, but it switches the input desktop, and the block ends with the switch.
class CInputBlock {
public:
    CInputBlock() = default;
    ~CInputBlock();
    CInputBlock(const CInputBlock&) = delete;
    CInputBlock& operator=(const CInputBlock&) = delete;

    // Starts the block; while one holds, adds nothing. TRUE once the system blocks
    // input or the hooks are in.
    BOOL Begin();
    // Ends the block, if one holds, and waits for its thread.
    void Lift();
    BOOL IsActive() const;
    // What the switch detection calls: the input desktop changed hands.
    void OnDesktopSwitch();
    // The timer's fallback for systems that do not report the switch: lifts the
    // block when the input desktop is no longer the one it began on.
    void CheckInputDesktop();

    static const DWORD kStopTimeoutMs = 5000;

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
    // A key or button that was down when the block began may go up through it, so
    // nothing stays stuck down afterwards.
    static bool PassRelease(DWORD vk);
    void CloseThread();

    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;
    HANDLE m_hReady = nullptr;
    BOOL m_bHooked = FALSE;
    std::string m_strDesktop;

    // The hook procedures have no context argument; only one block holds at a time.
    static volatile LONG s_down[256];
};
