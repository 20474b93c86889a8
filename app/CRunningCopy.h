#pragma once
#include "CHandleOwner.h"

// The copy of this exe that runs in the tray of this user session. A named file
// mapping whose name comes from the exe's full path holds that copy's main window:
// a search by window title could find a renamed copy (a program of its own, with
// its own INI) or another program's window.
class CRunningCopy : public CHandleOwner<HANDLE, ::CloseHandle> {
public:
    enum Found {
        kNone,     // no copy runs
        kCreated,  // this process is the copy to forward to
        kOpened,   // a copy runs and can be reached
        kRefused,  // a copy runs, but this process may not open its object
    };
    // Finds the object of the exe at pszExePath; with bCreate it is made when there
    // is none.
    Found Open(const WCHAR* pszExePath, BOOL bCreate);
    BOOL IsCreator() const { return m_bCreator; }
    // The running copy's main window in hWnd, waiting a bounded time while that copy
    // starts; null when it has none to forward to (run-once mode). FALSE when it
    // published nothing in time or its window is gone.
    BOOL WaitForWindow(HWND& hWnd) const;
    // Publishes this process's main window; null: it has none to forward to (run-once
    // mode), so later starts act by themselves.
    void Publish(HWND hWnd);
    // What a later start hands over: its switches' flags and the block's minutes of
    // /lock:N (CommandLine::kNoMinutes when none). An older build hands the flags alone.
    struct Switches {
        unsigned nFlags;
        int nMinutes;
    };
    // Hands the switches over; TRUE once the running copy has taken them.
    static BOOL Forward(HWND hWnd, const Switches& switches);
    // The switches handed over in a WM_COPYDATA, or FALSE when the message came from
    // anything but another process of this same exe, named by its window in wParam.
    static BOOL ReadForwarded(WPARAM wParam, LPARAM lParam, Switches& switches);

    // A copy that is still starting publishes within this time.
    static const DWORD kStartWaitMs = 10000;
    static const UINT kForwardTimeoutMs = 5000;

private:
    BOOL m_bCreator = FALSE;
};
