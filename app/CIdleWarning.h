#pragma once
#include <windows.h>

// The countdown before the idle trigger acts: a small topmost window at the corner
// of the work area next to the notification area, which names what is about to
// happen and says that any input stops it. It never takes the focus or the
// foreground: the user reads it, nothing else.
class CIdleWarning {
public:
    CIdleWarning() = default;
    CIdleWarning(const CIdleWarning&) = delete;
    CIdleWarning& operator=(const CIdleWarning&) = delete;
    ~CIdleWarning() { Hide(); }

    // Shows, or updates, the countdown for lock mode nLock at nSeconds.
    void Show(int nLock, int nSeconds);
    void Hide();
    BOOL IsShown() const { return m_hWnd != nullptr; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    static constexpr const WCHAR* kClassName = L"VeloduskIdleWarning";

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The window's place: the work area's corner at the notification area's end of
    // the taskbar, which may stand at any edge of the primary monitor.
    static POINT Corner(SIZE size);

    HWND m_hWnd = nullptr;
    int m_nLock = -1;
    int m_nSeconds = -1;
};
