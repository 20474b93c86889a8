#pragma once
#include <windows.h>

#include "CDC.h"
#include "CObject.h"
#include "CPoint.h"
#include "CString.h"
#include "CUiText.h"

class CDC;
#include "MessageMap.h"

// A window object attaches to its HWND in the framework's own table, so every window
// procedure finds its object without thunks. The table, never a window's
// GWLP_USERDATA, is what makes a handle ours: controls and foreign code use that slot.
// The framework's window procedure is a W one: a window it subclasses is a Unicode
// window, so text sent to it or read from it (a W dialog's caption among them) never
// goes through the ANSI code page. No handler reads text out of a message.
class CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    static CWnd* FromHandlePermanent(HWND hWnd);
    // The window's own object, or a temporary one that lives until the outermost
    // message handler of this thread returns; never stored beyond that.
    static CWnd* FromHandle(HWND hWnd);
    // Deletes the temporary window and DC objects of this thread.
    static void DeleteTempObjects();

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    // Sees every message before the message map; override to look first, then call the base.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled right now.
    LRESULT Default();

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    { return ::SetWindowPos(m_hWnd, pInsertAfter ? pInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void GetWindowText(CString& rString) const;
    void SetWindowText(const WCHAR* lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    { return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon))); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) { return ::PostMessageW(m_hWnd, message, wParam, lParam); }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    // Centres on the owner when it is visible and not minimised, else on the work area.
    void CenterWindow();
    BOOL EnableDlgItem(int nID, BOOL bEnable) { return ::EnableWindow(::GetDlgItem(m_hWnd, nID), bEnable); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    { return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam); }
    // The caption, and the text given by id, are strings of the user-interface language.
    int MessageBox(const WCHAR* lpszText, UINT nIDCaption, UINT nType = MB_OK);
    int MessageBox(UINT nIDText, UINT nIDCaption, UINT nType = MB_OK) { return MessageBox(CUiText(nIDText), nIDCaption, nType); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    BOOL ScreenToClient(LPPOINT lpPoint) const { return ::ScreenToClient(m_hWnd, lpPoint); }

protected:
    // The typed dispatch that BEGIN_MESSAGE_MAP generates; the root handles nothing.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void PostNcDestroy() {}

    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnPaint() { Default(); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
    void OnDestroy() { Default(); }
    void OnWindowPosChanging(WINDOWPOS*) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    // The default brush, with the default colours already set in the DC.
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
    LRESULT OnNcHitTest(CPoint) { return Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    // Reflected WM_CTLCOLOR* answered by the control itself; NULL leaves the parent's.
    HBRUSH CtlColor(CDC*, UINT) { return nullptr; }

    void Attach(HWND hWnd);
    void Detach();
    // Runs WindowProc with the current message remembered for Default().
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    // After the window's last message: PostNcDestroy runs once no message of this
    // window is being handled any more, so a self-deleting object outlives every frame.
    void EndAfterLastMessage();

    WNDPROC m_pfnSuper = nullptr;

private:
    // Offers a control's WM_CTLCOLOR* to the control first; TRUE with its brush if it
    // answered one.
    BOOL ReflectCtlColor(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // What the exception barrier caught, for a debugger or a trace listener.
    static void TraceEscaped(UINT message, const char* pszWhat);

    struct CurrentMessage { UINT message; WPARAM wParam; LPARAM lParam; };
    CurrentMessage m_current = {0, 0, 0};
    int m_nDispatchDepth = 0;
    BOOL m_bPostNcDestroyDue = FALSE;
};
