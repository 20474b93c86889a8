#include "CCatchWindow.h"

#include "CUiText.h"
#include "Resource.h"

void CCatchWindow::Show(BOOL bNotice)
{
    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    // A second block finds the class registered: the failure is that.
    ::RegisterClassW(&wc);

    m_hPrevious = ::GetForegroundWindow();
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | (bNotice ? 0 : WS_EX_LAYERED), kClassName, L"",
                               WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, hInstance, nullptr);
    if (!m_hWnd) return;
    if (!bNotice) ::SetLayeredWindowAttributes(m_hWnd, 0, kAlpha, LWA_ALPHA);
    CoverVirtualScreen(m_hWnd);
    ::ShowWindow(m_hWnd, SW_SHOWNA);
}

void CCatchWindow::SetMinutesLeft(int nMinutes)
{
    // Kept with the window, where its procedure finds it; painted anew only when the
    // number changes.
    if (!m_hWnd || ::GetWindowLongPtrW(m_hWnd, GWLP_USERDATA) == nMinutes) return;
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, nMinutes);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
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

BOOL CCatchWindow::TakeForeground(HWND hWnd)
{
    // Judged by the foreground itself, which is what the block needs.
    ::SetForegroundWindow(hWnd);
    return ::GetForegroundWindow() == hWnd;
}

void CCatchWindow::CoverVirtualScreen(HWND hWnd)
{
    // Turning a monitor off can take a DisplayPort screen out of the layout, and
    // waking it brings it back: the virtual screen moves under the window.
    ::SetWindowPos(hWnd, HWND_TOPMOST, ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                   ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN), SWP_NOACTIVATE);
    ::InvalidateRect(hWnd, nullptr, TRUE);
}

LRESULT CALLBACK CCatchWindow::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // From anyone: DefWindowProc would destroy the window under hooks that stay in.
        return 0;
    case WM_SYSCOMMAND:
        // A cover has no use for closing, minimising, moving or sizing; none comes
        // from the user, whose input is blocked.
        return 0;
    case WM_DISPLAYCHANGE:
        CoverVirtualScreen(hWnd);
        break;
    case WM_PAINT:
        if (::GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) break;
        Paint(hWnd);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

void CCatchWindow::Paint(HWND hWnd)
{
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
    CUiText text;
    const LONG_PTR nMinutes = ::GetWindowLongPtrW(hWnd, GWLP_USERDATA);
    if (nMinutes > 0) text.Format(IDS_INPUT_LOCKED_MINUTES, static_cast<int>(nMinutes));
    else text.Load(IDS_INPUT_LOCKED);
    ::DrawTextW(hdc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::EndPaint(hWnd, &ps);
}
