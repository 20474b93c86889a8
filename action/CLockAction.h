#pragma once
#include <windows.h>

#include "CInputBlock.h"
#include "CWakeGuard.h"

// What a trigger does, whoever pulls it (hot key, tray, button, idle timer, command
// line): waits until the keys or buttons that pulled it are up, settles, then turns
// the monitor off, blocks input, or both, as the lock mode says. A block that nothing
// grants is said in a message box, and the monitor then stays on so that it is seen.
class CLockAction {
public:
    enum Mode { kMonitorOffAndBlock = 0, kMonitorOff = 1, kBlock = 2 };

    CLockAction() = default;
    explicit CLockAction(const CInputBlock::Blockers& blockers) : m_inputBlock(blockers) {}
    ~CLockAction() { Lift(); }
    CLockAction(const CLockAction&) = delete;
    CLockAction& operator=(const CLockAction&) = delete;

    // The minutes after which a block ends by itself (0: it lasts until Ctrl+Alt+Del),
    // for the actions that do not give their own.
    void SetBlockMinutes(int nMinutes) { m_nBlockMinutes = nMinutes; }
    // Settles, then acts as nMode says; another value does nothing. nMinutes: the
    // block's own minutes; negative: those SetBlockMinutes gave.
    void Act(int nMode, int nMinutes = -1);
    // Acts once none of the nKeys virtual keys (keys or mouse buttons) is held, or
    // kReleaseWaitMs after the call: at once when none is, else from a thread timer,
    // which every message loop of the thread runs, a dialog's or a message box's
    // included. A trigger that arrives during the wait joins it (FALSE). The wait
    // ends without acting when the program ends first: the thread's loops stop, and
    // Lift stops the timer.
    BOOL ActAfterRelease(int nMode, const int* pKeys, int nKeys, int nMinutes = -1);
    BOOL IsWaiting() const { return m_uTimer != 0; }
    // Ends a wait, and a block of our own hooks; the program's exit.
    void Lift();
    // The wake guard's dead zone (CWakeGuard::SetDeadZone) for the offs to come.
    void SetWakeDeadZone(int nPixels) { m_wakeGuard.SetDeadZone(nPixels); }

    static const UINT kSettleMs = 500;
    // A key still held when the monitor goes off turns it on again with its key-up; an
    // action started by a key or a click waits for the release, though never for ever.
    static const DWORD kReleaseWaitMs = 10000;
    static const UINT kReleasePollMs = 20;
    static const int kMaxKeys = 4;

private:
    static void CALLBACK ReleaseTimerProc(HWND hWnd, UINT message, UINT_PTR idEvent, DWORD dwTime);
    BOOL AnyHeld() const;
    void EndWait();
    // Begins the block; refused, tells the user why, unless a box saying so is open.
    BOOL Block(BOOL bNotice, int nMinutes);
    // The thread's main window, the owner of what the action sends and shows.
    static HWND MainWindow();
    // Then guards the off against a mouse that moves without the user.
    void TurnMonitorOff();

    CInputBlock m_inputBlock;
    CWakeGuard m_wakeGuard;
    BOOL m_bTelling = FALSE;
    UINT_PTR m_uTimer = 0;
    int m_nWaitMode = 0;
    int m_nWaitMinutes = -1;
    int m_nBlockMinutes = 0;
    int m_keys[kMaxKeys] = {};
    int m_nKeys = 0;
    DWORD m_dwWaitStart = 0;

    // A thread timer's procedure has no context argument; one action waits at a time.
    static CLockAction* s_pWaiting;
};
