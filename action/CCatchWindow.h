#pragma once
#include <windows.h>

// While input is blocked, a window of ours covers the whole virtual screen and holds
// the foreground: keyboard input then goes to our process, so the hooks see it (a
// low-level hook is not called for input aimed at a window of higher integrity, an
// elevated console for one), every click lands on it, and the user sees that the
// block holds. It lives on the block's thread, which pumps its messages; nothing but
// that thread's Hide removes it.
class CCatchWindow {
public:
    CCatchWindow() = default;
    CCatchWindow(const CCatchWindow&) = delete;
    CCatchWindow& operator=(const CCatchWindow&) = delete;
    ~CCatchWindow() { Hide(); }

    // bNotice: black, with the way out in the middle of the primary screen, for when
    // the monitor comes back on; otherwise all but invisible, the screen stays usable
    // to the eye. Shown without taking the activation: the foreground is taken by the
    // thread that received the trigger, which holds the right to give it.
    void Show(BOOL bNotice);
    // The whole minutes until the block ends by itself, which the notice says; 0: it
    // does not.
    void SetMinutesLeft(int nMinutes);
    // Goes, and gives the foreground back to the window that had it.
    void Hide();
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Brings hWnd to the foreground; TRUE when the system says it is there.
    static BOOL TakeForeground(HWND hWnd);

    // The least alpha that still takes clicks: a layered window of alpha 0 lets
    // them through to the windows below.
    static const BYTE kAlpha = 1;
    static constexpr const WCHAR* kClassName = L"VeloduskCatch";

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void Paint(HWND hWnd);
    static void CoverVirtualScreen(HWND hWnd);

    HWND m_hWnd = nullptr;
    HWND m_hPrevious = nullptr;
};
