#pragma once
#include <windows.h>

#include "CInputBlock.h"

// What a trigger does, whoever pulls it (hot key, tray, button, idle timer, command
// line): waits until the keys or buttons that pulled it are up, settles, then turns
// the monitor off, blocks input, or both, as the lock mode says.
class CLockAction {
public:
    enum Mode { kMonitorOffAndBlock = 0, kMonitorOff = 1, kBlock = 2 };

    CLockAction() = default;
    CLockAction(const CLockAction&) = delete;
    CLockAction& operator=(const CLockAction&) = delete;

    // Settles, then acts as nMode says; another value does nothing.
    void Act(int nMode);
    // Acts once none of the nKeys virtual keys (keys or mouse buttons) is held, or
    // after kReleaseWaitMs, keeping the thread's windows answering meanwhile. A trigger
    // that arrives during the wait joins it: FALSE, as when the program ends during
    // the wait, which then acts not at all.
    BOOL ActAfterRelease(int nMode, const int* pKeys, int nKeys);
    // Ends a block of our own hooks; the program's exit.
    void Lift();
    // The timer's fallback for systems that do not report the desktop switch.
    void CheckInputDesktop();

    static const UINT kSettleMs = 500;
    // A key still held when the monitor goes off turns it on again with its key-up; an
    // action started by a key or a click waits for the release, though never for ever.
    static const DWORD kReleaseWaitMs = 10000;

private:
    BOOL WaitForRelease(const int* pKeys, int nKeys);
    static void TurnMonitorOff();

    CInputBlock m_inputBlock;
    BOOL m_bWaitingRelease = FALSE;
};
