#pragma once
// Message maps expand to one typed dispatch function per class: each entry tests the
// message and calls the handler with cracked arguments; unmatched messages fall to the
// base class's map and finally to default processing.
#include <windows.h>

#define DECLARE_MESSAGE_MAP() \
protected: \
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    BOOL theClass::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) \
    { \
        typedef baseClass TheBaseClass; \
        (void)wParam; (void)lParam;

#define END_MESSAGE_MAP() \
        return TheBaseClass::OnWndMsg(message, wParam, lParam, pResult); \
    }

#define AFX_MSG_ENTRY(test, call) \
        if (test) { *pResult = 0; call; return TRUE; }

#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(message == WM_SYSCOMMAND, OnSysCommand(static_cast<UINT>(wParam), lParam))
#define ON_WM_PAINT() AFX_MSG_ENTRY(message == WM_PAINT, OnPaint())
#define ON_WM_QUERYDRAGICON() AFX_MSG_ENTRY(message == WM_QUERYDRAGICON, *pResult = reinterpret_cast<LRESULT>(OnQueryDragIcon()))
#define ON_WM_DESTROY() AFX_MSG_ENTRY(message == WM_DESTROY, OnDestroy())
#define ON_WM_WINDOWPOSCHANGING() AFX_MSG_ENTRY(message == WM_WINDOWPOSCHANGING, OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)))
#define ON_WM_TIMER() AFX_MSG_ENTRY(message == WM_TIMER, OnTimer(static_cast<UINT_PTR>(wParam)))
#define ON_COMMAND(id, memberFxn) \
    AFX_MSG_ENTRY(message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == 0, memberFxn())
#define ON_BN_CLICKED(id, memberFxn) \
    AFX_MSG_ENTRY(message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == BN_CLICKED, memberFxn())
// Every WM_CTLCOLOR* message; the kind is CTLCOLOR_MSGBOX .. CTLCOLOR_STATIC.
#define ON_WM_CTLCOLOR() \
    AFX_MSG_ENTRY(message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC, \
        *pResult = reinterpret_cast<LRESULT>(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), \
            CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX)))

// A parent hands a control's WM_CTLCOLOR* back to the control as this base plus the message.
#define WM_REFLECT_BASE 0xBC00
#define ON_WM_NCHITTEST() AFX_MSG_ENTRY(message == WM_NCHITTEST, *pResult = OnNcHitTest(CPoint(lParam)))
#define ON_WM_LBUTTONDOWN() \
    AFX_MSG_ENTRY(message == WM_LBUTTONDOWN, OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)))
#define ON_WM_SETCURSOR() \
    AFX_MSG_ENTRY(message == WM_SETCURSOR, *pResult = OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                                  LOWORD(lParam), HIWORD(lParam)))
#define ON_WM_CTLCOLOR_REFLECT() \
    AFX_MSG_ENTRY(message >= WM_REFLECT_BASE + WM_CTLCOLORMSGBOX && message <= WM_REFLECT_BASE + WM_CTLCOLORSTATIC, \
        *pResult = reinterpret_cast<LRESULT>(CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), \
            message - WM_REFLECT_BASE - WM_CTLCOLORMSGBOX)))
