#pragma once
#include <windows.h>

// Keeps the monitor off through what is not the user coming back. A mouse that is
// touched or vibrates, or an optical sensor's jitter, moves the pointer by a pixel or
// two, and the system wakes the screen for it; some screens come back by themselves
// a second or two after going off. From the off until the user means it, moves that
// stay within the dead zone around where the pointer was never reach a window, and
// when the system reports the display on again without real input, the monitor goes
// straight back off. A key, a button, the wheel or a move past the zone ends the
// guard and goes through as before. All of it runs on a thread of the guard's own at
// high priority: the system drops a low-level hook whose callback answers late, and
// the GUI thread sleeps inside every action.
class CWakeGuard {
public:
    CWakeGuard() = default;
    ~CWakeGuard() { End(); }
    CWakeGuard(const CWakeGuard&) = delete;
    CWakeGuard& operator=(const CWakeGuard&) = delete;

    // The zone's radius in pixels at 96 DPI, scaled with the primary monitor's DPI;
    // 0 keeps no guard.
    void SetDeadZone(int nPixels) { m_nDeadZone = nPixels; }
    // Starts guarding from the pointer's place now, once the monitor has been told to
    // go off; a guard still running is ended first.
    void Begin();
    // Ends the guard, if one runs, and waits for its thread.
    void End();

    // A report of the display on that no input explains turns it off again only this
    // long after the off, and at most so often per off.
    static const DWORD kQuietWakeMs = 5000;
    static const int kMaxQuietOffs = 3;
    // The report is judged this long after it came, once the hooks have been called
    // for the input that woke the display, if any did.
    static const UINT kJudgeDelayMs = 200;

private:
    static unsigned __stdcall ThreadMain(void* pParam);
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
    // On the guard thread: the user is back; the thread's loop ends.
    void Stop();
    // On the guard thread: whether a move to pt keeps the travel since the off in the zone.
    bool InZone(POINT pt);
    // On the guard thread: what a report of the display on means, once it has settled.
    void JudgeWake();
    void TurnOffAgain();
    static DWORD LastInputTime();

    int m_nDeadZone = 0;
    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;
    HANDLE m_hReady = nullptr;

    // Touched by the guard thread alone once it runs.
    HWND m_hWnd = nullptr;
    POINT m_ptAnchor = {};
    // The zone's radius in pixels at the primary monitor's DPI.
    LONG m_nRadius = 0;
    // How far the moves kept from the windows would have taken the pointer.
    LONG m_nTravelX = 0;
    LONG m_nTravelY = 0;
    // Moves kept back since the monitor last went off.
    int m_nKeptMoves = 0;
    DWORD m_dwOffTick = 0;
    DWORD m_dwInputAtOff = 0;
    int m_nQuietOffs = 0;
    // The display has been reported off since the last off we sent: a report of it on
    // before that is the state it had when the guard began.
    bool m_bReportedOff = false;
    bool m_bStopping = false;

    // The hook procedures have no context argument; one guard runs at a time, and End
    // does not return before its thread has ended.
    static CWakeGuard* s_pRunning;
};
