#include "Afx.h"

#include "CWinApp.h"

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
