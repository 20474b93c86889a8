#include "Afx.h"

#include "CWinApp.h"
#include "CUiText.h"
#include "CWnd.h"

CWinApp* AfxGetApp() { return CWinApp::GetApp(); }

CWinThread* AfxGetThread()
{
    CWinApp* pApp = CWinApp::GetApp();
    return pApp && pApp->IsOwnThread() ? pApp : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    CWinApp* pApp = CWinApp::GetApp();
    return pApp && pApp->m_hInstance ? pApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    return AfxMessageBox(CUiText(nIDPrompt), nType, nIDHelp);
}

int AfxMessageBox(const WCHAR* lpszText, UINT nType, UINT)
{
    HWND hOwner = ::GetActiveWindow();
    if (!hOwner) {
        CWinThread* pThread = AfxGetThread();
        CWnd* pMain = pThread ? pThread->GetMainWnd() : nullptr;
        hOwner = pMain ? pMain->m_hWnd : nullptr;
    }
    // The caption is the executable's name without its extension; UTF-16 has no
    // trail units that look like a backslash or a dot.
    WCHAR szName[MAX_PATH] = L"";
    DWORD n = ::GetModuleFileNameW(nullptr, szName, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) szName[0] = 0;
    const WCHAR* pName = szName;
    WCHAR* pDot = nullptr;
    for (WCHAR* p = szName; *p; ++p) {
        if (*p == L'\\') pName = p + 1, pDot = nullptr;
        else if (*p == L'.') pDot = p;
    }
    if (pDot) *pDot = 0;
    return ::MessageBoxW(hOwner, lpszText, pName, nType);
}

void AfxAllowLowerIntegrityMessage(HWND hWnd, UINT message)
{
    typedef BOOL(WINAPI * FilterExProc)(HWND, UINT, DWORD, void*);
    typedef BOOL(WINAPI * FilterProc)(UINT, DWORD);
    const DWORD kAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD for the Vista form
    if (FilterExProc pfnEx = AfxSystemProc<FilterExProc>(L"user32.dll", "ChangeWindowMessageFilterEx"))
        pfnEx(hWnd, message, kAllow, nullptr);
    else if (FilterProc pfn = AfxSystemProc<FilterProc>(L"user32.dll", "ChangeWindowMessageFilter"))
        pfn(message, kAllow);
}

int AfxScaleFrom96(int n96)
{
    const int kDpi96 = 96;
    HDC hdc = ::GetDC(nullptr);
    const int nDpi = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSY) : kDpi96;
    if (hdc) ::ReleaseDC(nullptr, hdc);
    return ::MulDiv(n96, nDpi, kDpi96);
}

DWORD AfxWaitSending(DWORD nCount, const HANDLE* pHandles)
{
    for (;;) {
        const DWORD dwResult = ::MsgWaitForMultipleObjects(nCount, pHandles, FALSE, INFINITE, QS_SENDMESSAGE);
        if (dwResult != WAIT_OBJECT_0 + nCount) return dwResult;
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
