#pragma once
#include "AfxWin.h"

#include "CLinkTarget.h"

// A dialog's static text acting as a hyperlink, attached by subclassing: blue, red
// under the pointer, purple after a successful open; a click opens the target.
// Hover needs no mouse-leave tracking: the first hit test starts a polling timer on
// the control that ends the hover once the pointer is outside.
class CStaticLink : public CStatic {
    DECLARE_DYNAMIC(CStaticLink)
public:
    explicit CStaticLink(LPCWSTR lpszText = nullptr, BOOL bDeleteOnDestroy = FALSE);

    CLinkTarget m_target;
    COLORREF m_crText;
    CFont m_fontLink;
    BOOL m_bSelfDelete;
    BOOL m_bHover;
    UINT m_nTimerId;

    static COLORREF s_crNormal;
    static COLORREF s_crVisited;
    static COLORREF s_crHover;
    // One hand cursor per process, from the help program; tried once.
    static HCURSOR s_hLinkCursor;
    static BOOL s_bCursorTried;

    static constexpr UINT kPollMs = 100;

protected:
    LRESULT OnNcHitTest(CPoint point);
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    void OnLButtonDown(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnTimer(UINT_PTR nIDEvent);
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()
};
