#include "CStaticLink.h"

#include "HelpProgram.h"

IMPLEMENT_DYNAMIC(CStaticLink, CStatic)

COLORREF CStaticLink::s_crNormal = RGB(0, 0, 255);
COLORREF CStaticLink::s_crVisited = RGB(128, 0, 128);
COLORREF CStaticLink::s_crHover = RGB(255, 0, 0);
HCURSOR CStaticLink::s_hLinkCursor = nullptr;
BOOL CStaticLink::s_bCursorTried = FALSE;

namespace {
// Text statics only: SS_LEFT, SS_CENTER, SS_RIGHT with nothing else in the low byte.
constexpr DWORD kLastTextStyle = SS_RIGHT;
// The shell answers 32 or less when it could not open the target.
constexpr UINT_PTR kLastShellError = 32;
static_assert(sizeof(LOGFONTW) == 92, "the full font description");
}

CStaticLink::CStaticLink(LPCWSTR lpszText, BOOL bDeleteOnDestroy)
    : m_target(lpszText), m_crText(s_crNormal), m_bSelfDelete(bDeleteOnDestroy), m_bHover(FALSE), m_nTimerId(1)
{
}

BEGIN_MESSAGE_MAP(CStaticLink, CStatic)
    ON_WM_NCHITTEST()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_LBUTTONDOWN()
    ON_WM_SETCURSOR()
    ON_WM_TIMER()
END_MESSAGE_MAP()

LRESULT CStaticLink::OnNcHitTest(CPoint)
{
    if (!m_bHover) {
        m_bHover = TRUE;
        m_crText = s_crHover;
        Invalidate(TRUE);
        SetTimer(m_nTimerId, kPollMs, nullptr);
    }
    // A static without SS_NOTIFY would answer HTTRANSPARENT and never see the mouse.
    return HTCLIENT;
}

void CStaticLink::OnTimer(UINT_PTR)
{
    DWORD dwPos = ::GetMessagePos();
    // Signed words: monitors left of or above the primary one give negative positions.
    POINT pt = CPoint(static_cast<LPARAM>(dwPos));
    ScreenToClient(&pt);
    RECT rect;
    GetClientRect(&rect);
    if (!::PtInRect(&rect, pt)) {
        m_bHover = FALSE;
        KillTimer(m_nTimerId);
        m_crText = s_crNormal;
        Invalidate(TRUE);
    }
    Default();
}

HBRUSH CStaticLink::CtlColor(CDC* pDC, UINT)
{
    if ((GetStyle() & 0xFF) > kLastTextStyle) return nullptr;

    if (!m_fontLink.GetSafeHandle()) {
        HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        // No font set: the control draws with the system font, so the copy is of that.
        if (!hFont) hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
        // W: the ANSI description would lose a Chinese face name where the code page lacks it.
        LOGFONTW lf;
        if (::GetObjectW(hFont, sizeof(lf), &lf) == sizeof(lf)) m_fontLink.CreateFontIndirect(&lf);
    }
    // A failed copy leaves the DC's font; the next colouring tries again.
    if (m_fontLink.GetSafeHandle()) pDC->SelectObject(m_fontLink.GetSafeHandle());
    pDC->SetTextColor(m_crText);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CStaticLink::OnLButtonDown(UINT, CPoint)
{
    if (m_target.IsEmpty()) {
        if (!m_target.LoadString(static_cast<UINT>(GetDlgCtrlID()))) GetWindowText(m_target);
        if (m_target.IsEmpty()) return;
    }
    if (reinterpret_cast<UINT_PTR>(m_target.OpenTarget()) <= kLastShellError) {
        ::MessageBeep(0);
        return;
    }
    m_crText = s_crVisited;
    Invalidate(TRUE);
}

BOOL CStaticLink::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!s_hLinkCursor) {
        if (s_bCursorTried) return FALSE;
        const WCHAR szFile[] = L"" HELP_PROGRAM_FILE;
        WCHAR szPath[MAX_PATH + sizeof szFile / sizeof szFile[0]];
        UINT n = ::GetWindowsDirectoryW(szPath, MAX_PATH);
        // A directory that does not fit counts as no help program.
        if (n > 0 && n < MAX_PATH) {
            lstrcpynW(szPath + n, szFile, static_cast<int>(sizeof szPath / sizeof szPath[0] - n));
            if (HMODULE hModule = ::LoadLibraryW(szPath)) {
                if (HCURSOR hCursor = ::LoadCursorW(hModule, MAKEINTRESOURCEW(HELP_HAND_CURSOR_ID)))
                    s_hLinkCursor = static_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(hCursor)));
                ::FreeLibrary(hModule);
            }
        }
        s_bCursorTried = TRUE;
        if (!s_hLinkCursor) return FALSE;
    }
    ::SetCursor(s_hLinkCursor);
    return TRUE;
}

void CStaticLink::PostNcDestroy()
{
    if (m_bSelfDelete) delete this;
}
