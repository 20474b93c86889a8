#include "CIdleWarning.h"

#include "Afx.h"
#include "CUiText.h"
#include "Resource.h"

namespace {
// In pixels at 96 DPI, scaled with the system's DPI.
constexpr int kWidth96 = 280;
constexpr int kHeight96 = 56;
constexpr int kMargin96 = 8;

// What is about to happen, by lock mode.
UINT WarningText(int nLock)
{
    return nLock == 1 ? IDS_IDLE_WARN_MONITOR : nLock == 2 ? IDS_IDLE_WARN_INPUT : IDS_IDLE_WARN_ALL;
}
}  // namespace

void CIdleWarning::Show(int nLock, int nSeconds)
{
    if (m_hWnd && nLock == m_nLock && nSeconds == m_nSeconds) return;
    m_nLock = nLock;
    m_nSeconds = nSeconds;
    if (m_hWnd) {
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return;
    }
    HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = ::GetSysColorBrush(COLOR_INFOBK);
    wc.lpszClassName = kClassName;
    // Registered by the first warning; later ones find it.
    ::RegisterClassW(&wc);

    const SIZE size = {AfxScaleFrom96(kWidth96), AfxScaleFrom96(kHeight96)};
    const POINT pt = Corner(size);
    // No activation, in the taskbar's way of a tooltip: showing it must not take the
    // foreground from what the user reads, nor the keys from where they go.
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"",
                               WS_POPUP | WS_BORDER, pt.x, pt.y, size.cx, size.cy, nullptr, nullptr, hInstance,
                               this);
    if (m_hWnd) ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

void CIdleWarning::Hide()
{
    if (!m_hWnd) return;
    ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_nLock = m_nSeconds = -1;
}

POINT CIdleWarning::Corner(SIZE size)
{
    RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    const int nMargin = AfxScaleFrom96(kMargin96);
    // A taskbar at the top has its notification area at the right, as at the bottom;
    // at the left edge, at its bottom.
    const BOOL bLeft = rcWork.left > 0;
    const BOOL bTop = rcWork.top > 0;
    POINT pt;
    pt.x = bLeft ? rcWork.left + nMargin : rcWork.right - nMargin - size.cx;
    pt.y = bTop ? rcWork.top + nMargin : rcWork.bottom - nMargin - size.cy;
    return pt;
}

LRESULT CALLBACK CIdleWarning::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    // A click on it is input, which ends it anyway; it must not activate it first.
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    if (message != WM_PAINT) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    const CIdleWarning* pThis = reinterpret_cast<const CIdleWarning*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(hWnd, &ps);
    if (pThis) {
        CUiText text;
        text.Format(WarningText(pThis->m_nLock), pThis->m_nSeconds);
        text.Append(L"\n");
        text.Append(CUiText(IDS_IDLE_WARN_CANCEL));
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        ::InflateRect(&rc, -AfxScaleFrom96(kMargin96), -AfxScaleFrom96(kMargin96) / 2);
        NONCLIENTMETRICSW ncm = {};
        ncm.cbSize = sizeof(ncm);
        HFONT hFont = ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)
                          ? ::CreateFontIndirectW(&ncm.lfStatusFont)
                          : nullptr;
        HGDIOBJ hOld = ::SelectObject(hdc, hFont ? hFont : ::GetStockObject(DEFAULT_GUI_FONT));
        ::SetTextColor(hdc, ::GetSysColor(COLOR_INFOTEXT));
        ::SetBkMode(hdc, TRANSPARENT);
        ::DrawTextW(hdc, text, -1, &rc, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(hdc, hOld);
        if (hFont) ::DeleteObject(hFont);
    }
    ::EndPaint(hWnd, &ps);
    return 0;
}
