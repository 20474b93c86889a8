#include "Afx.h"

#include "CWinApp.h"
#include "CWnd.h"

#include <string.h>

CWinApp* AfxGetApp() { return CWinApp::GetApp(); }

CWinThread* AfxGetThread()
{
    CWinApp* pApp = CWinApp::GetApp();
    return pApp && pApp->IsOwnThread() ? pApp : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    CWinApp* pApp = CWinApp::GetApp();
    return pApp && pApp->m_hInstance ? pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

int AfxMessageBox(const char* lpszText, UINT nType, UINT)
{
    HWND hOwner = ::GetActiveWindow();
    if (!hOwner) {
        CWinThread* pThread = AfxGetThread();
        CWnd* pMain = pThread ? pThread->GetMainWnd() : nullptr;
        hOwner = pMain ? pMain->m_hWnd : nullptr;
    }
    // The caption is the executable's name without its extension.
    char szName[MAX_PATH] = "";
    DWORD n = ::GetModuleFileNameA(nullptr, szName, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) szName[0] = 0;
    const char* pName = szName;
    for (const char* p = szName; *p; p = ::CharNextA(p))
        if (*p == '\\') pName = p + 1;
    char szCaption[MAX_PATH];
    lstrcpynA(szCaption, pName, MAX_PATH);
    if (char* pDot = strrchr(szCaption, '.')) *pDot = 0;
    return ::MessageBoxA(hOwner, lpszText, szCaption, nType);
}
