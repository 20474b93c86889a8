#include "CCatchWindow.h"

void CCatchWindow::Show(BOOL bNotice)
{
    HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    // A second block finds the class registered: the failure is that.
    ::RegisterClassA(&wc);

    m_hPrevious = ::GetForegroundWindow();
    m_hWnd = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | (bNotice ? 0 : WS_EX_LAYERED), kClassName, "",
                               WS_POPUP, ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                               ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                               nullptr, hInstance, nullptr);
    if (!m_hWnd) return;
    if (!bNotice) ::SetLayeredWindowAttributes(m_hWnd, 0, kAlpha, LWA_ALPHA);
    ::ShowWindow(m_hWnd, SW_SHOW);
    // Allowed while the process holds the trigger's foreground right: the hot key,
    // the tray's click and the button all give it.
    ::SetForegroundWindow(m_hWnd);
}

void CCatchWindow::Hide()
{
    if (!m_hWnd) return;
    const BOOL bForeground = ::GetForegroundWindow() == m_hWnd;
    ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (bForeground && m_hPrevious && ::IsWindow(m_hPrevious)) ::SetForegroundWindow(m_hPrevious);
    m_hPrevious = nullptr;
}

LRESULT CALLBACK CCatchWindow::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT || (::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED))
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(hWnd, &ps);
    // The primary screen, in client coordinates: the virtual screen may begin left
    // of or above it.
    RECT rc = {-::GetSystemMetrics(SM_XVIRTUALSCREEN), -::GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    rc.right = rc.left + ::GetSystemMetrics(SM_CXSCREEN);
    rc.bottom = rc.top + ::GetSystemMetrics(SM_CYSCREEN);
    ::SelectObject(hdc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetTextColor(hdc, RGB(255, 255, 255));
    ::SetBkMode(hdc, TRANSPARENT);
    ::DrawTextW(hdc, kNotice, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::EndPaint(hWnd, &ps);
    return 0;
}
