#pragma once
#include <windows.h>

// Switches a later start of this exe hands to the copy in the tray.
class CForwardedSwitches {
public:
    enum Request { kNone, kExit, kShow, kAct };

    // A WM_COPYDATA or the message it is posted on as, for hWnd: TRUE when it was
    // one, with what it asks in request (kAct with its lock mode in nMode and the
    // block's minutes in nMinutes, CommandLine::kNoMinutes for the settings') and
    // the window procedure's answer in lResult.
    static BOOL OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, Request& request, int& nMode,
                          int& nMinutes, LRESULT& lResult);

    // What the action waits to be up: the click or Enter that started the other
    // process may still be down.
    static const int kReleaseKeys[];
    static const int kReleaseKeyCount;
};
