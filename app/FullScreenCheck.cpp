#include "FullScreenCheck.h"

#include "Afx.h"

namespace {
// QUERY_USER_NOTIFICATION_STATE (Vista on): busy with a full-screen program,
// Direct3D full-screen, presentation mode; and (Windows 8 on) an app of the
// Store's in front, which is full-screen there.
constexpr int kQunsBusy = 2;
constexpr int kQunsPresentation = 4;
constexpr int kQunsApp = 7;
typedef HRESULT(WINAPI* QueryNotificationState)(int*);

bool ShellSaysBusy()
{
    // Looked up at run time: XP's shell32 has no such export. Wine's answers
    // "accepts notifications" whatever runs, so the window test stays.
    const QueryNotificationState pQuery =
        AfxSystemProc<QueryNotificationState>("shell32.dll", "SHQueryUserNotificationState");
    int nState = 0;
    return pQuery && SUCCEEDED(pQuery(&nState)) &&
           ((nState >= kQunsBusy && nState <= kQunsPresentation) || nState == kQunsApp);
}
}  // namespace

bool IsFullScreenInFront()
{
    const HWND hWnd = ::GetForegroundWindow();
    DWORD dwProcess = 0, dwShell = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    // Our own window over the screen is the input block's, no show; asked first,
    // since the shell may take that topmost window for full-screen work itself.
    if (hWnd && dwProcess == ::GetCurrentProcessId()) return false;
    if (ShellSaysBusy()) return true;
    // The desktop on Windows 7 and later is a WorkerW of the shell's process that
    // covers the monitor; the task bar belongs to that process too.
    ::GetWindowThreadProcessId(::GetShellWindow(), &dwShell);
    if (!hWnd || hWnd == ::GetDesktopWindow() || dwProcess == dwShell) return false;
    // Maximised is work at a desk, even where it covers the monitor (a task bar
    // that hides until touched).
    if (::IsZoomed(hWnd)) return false;
    // What shows counts, not the style bits: a caption a player keeps in its style
    // but draws nowhere leaves the client area over the whole monitor.
    RECT rc;
    MONITORINFO info = {sizeof(info), {}, {}, 0};
    if (!::GetClientRect(hWnd, &rc) || !::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info))
        return false;
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc.left <= info.rcMonitor.left && rc.top <= info.rcMonitor.top && rc.right >= info.rcMonitor.right &&
           rc.bottom >= info.rcMonitor.bottom;
}
