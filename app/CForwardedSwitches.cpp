#include "CForwardedSwitches.h"

#include "CRunningCopy.h"
#include "CommandLine.h"
#include "SettingsValues.h"

namespace {
// Posted to the copy itself, so that the sender's wait ends at once.
constexpr UINT WM_SWITCHES = WM_USER + 101;
}

const int CForwardedSwitches::kReleaseKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_RETURN};
const int CForwardedSwitches::kReleaseKeyCount = sizeof kReleaseKeys / sizeof kReleaseKeys[0];

BOOL CForwardedSwitches::OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, Request& request,
                                   int& nMode, int& nMinutes, LRESULT& lResult)
{
    request = kNone;
    if (message == WM_COPYDATA) {
        CRunningCopy::Switches switches;
        lResult = CRunningCopy::ReadForwarded(wParam, lParam, switches) &&
                  ::PostMessageW(hWnd, WM_SWITCHES, switches.nFlags, switches.nMinutes);
        return TRUE;
    }
    if (message != WM_SWITCHES) return FALSE;
    lResult = 0;
    const unsigned nFlags = static_cast<unsigned>(wParam);
    nMode = CommandLine::LockMode(nFlags);
    // Any program can post this message: minutes out of range are the settings'.
    const int nGiven = static_cast<int>(lParam);
    nMinutes = nGiven >= 0 && nGiven <= SettingsValues::kLockMinutesMax ? nGiven : CommandLine::kNoMinutes;
    // A plain second start: this copy's window instead of a second icon.
    request = nFlags & CommandLine::kExit ? kExit : nMode < 0 ? kShow : kAct;
    return TRUE;
}
