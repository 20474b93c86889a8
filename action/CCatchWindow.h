#pragma once
#include <windows.h>

// While the hooks block, a window of ours holds the foreground over the whole
// virtual screen: keyboard input then goes to our process, so the hooks see it
// (a low-level hook is not called for input aimed at a window of higher integrity,
// an elevated console for one), and every click lands on it. It lives on the hook
// thread, which pumps its messages.
class CCatchWindow {
public:
    CCatchWindow() = default;
    CCatchWindow(const CCatchWindow&) = delete;
    CCatchWindow& operator=(const CCatchWindow&) = delete;
    ~CCatchWindow() { Hide(); }

    // bNotice: black, with the way out in the middle of the primary screen, for when
    // the monitor comes back on; otherwise all but invisible, the screen stays usable
    // to the eye.
    void Show(BOOL bNotice);
    // Goes, and gives the foreground back to the window that had it.
    void Hide();

    static constexpr const wchar_t* kNotice = L"键盘和鼠标已锁定，按 Ctrl+Alt+Del 解除";
    // The least alpha that still takes clicks: a layered window of alpha 0 lets
    // them through to the windows below.
    static const BYTE kAlpha = 1;
    static constexpr const char* kClassName = "VeloduskCatch";

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hPrevious = nullptr;
};
