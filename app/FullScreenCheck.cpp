#include "FullScreenCheck.h"

#include "Afx.h"

namespace {
// QUERY_USER_NOTIFICATION_STATE (Vista on): busy with a full-screen program,
// Direct3D full-screen, presentation mode.
constexpr int kQunsBusy = 2;
constexpr int kQunsPresentation = 4;
typedef HRESULT(WINAPI* QueryNotificationState)(int*);

bool ShellSaysBusy()
{
    // Looked up at run time: XP's shell32 has no such export. Wine's answers
    // "accepts notifications" whatever runs, so the window test stays.
    const QueryNotificationState pQuery =
        AfxSystemProc<QueryNotificationState>("shell32.dll", "SHQueryUserNotificationState");
    int nState = 0;
    return pQuery && SUCCEEDED(pQuery(&nState)) && nState >= kQunsBusy && nState <= kQunsPresentation;
}
}  // namespace

bool IsFullScreenInFront()
{
    if (ShellSaysBusy()) return true;
    const HWND hWnd = ::GetForegroundWindow();
    // The desktop on Windows 7 and later is a WorkerW of the shell's process that
    // covers the monitor; the task bar belongs to that process too. Our own window
    // over the screen is the input block's, no show.
    DWORD dwProcess = 0, dwShell = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    ::GetWindowThreadProcessId(::GetShellWindow(), &dwShell);
    if (!hWnd || hWnd == ::GetDesktopWindow() || dwProcess == dwShell || dwProcess == ::GetCurrentProcessId())
        return false;
    // A maximised window with a caption is work at a desk, not a show.
    if ((::GetWindowLongA(hWnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) return false;
    RECT rcWindow;
    MONITORINFO info = {sizeof(info), {}, {}, 0};
    if (!::GetWindowRect(hWnd, &rcWindow) ||
        !::GetMonitorInfoA(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info))
        return false;
    return rcWindow.left <= info.rcMonitor.left && rcWindow.top <= info.rcMonitor.top &&
           rcWindow.right >= info.rcMonitor.right && rcWindow.bottom >= info.rcMonitor.bottom;
}
