#include "CForwardedSwitches.h"

#include "CRunningCopy.h"
#include "CommandLine.h"

namespace {
// Posted to the copy itself, so that the sender's wait ends at once.
constexpr UINT WM_SWITCHES = WM_USER + 101;
}

const int CForwardedSwitches::kReleaseKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_RETURN};
const int CForwardedSwitches::kReleaseKeyCount = sizeof kReleaseKeys / sizeof kReleaseKeys[0];

BOOL CForwardedSwitches::OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, Request& request,
                                   int& nMode, LRESULT& lResult)
{
    request = kNone;
    if (message == WM_COPYDATA) {
        unsigned nFlags = 0;
        lResult = CRunningCopy::ReadForwarded(wParam, lParam, nFlags) && ::PostMessageW(hWnd, WM_SWITCHES, nFlags, 0);
        return TRUE;
    }
    if (message != WM_SWITCHES) return FALSE;
    lResult = 0;
    const unsigned nFlags = static_cast<unsigned>(wParam);
    nMode = CommandLine::LockMode(nFlags);
    // A plain second start: this copy's window instead of a second icon.
    request = nFlags & CommandLine::kExit ? kExit : nMode < 0 ? kShow : kAct;
    return TRUE;
}
