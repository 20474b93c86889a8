#include "CWinApp.h"

CWinApp* CWinApp::s_pApp = nullptr;

CWinApp::CWinApp() { s_pApp = this; }

CWinApp::~CWinApp()
{
    if (s_pApp == this) s_pApp = nullptr;
}

int CWinApp::Start(HINSTANCE hInstance, LPSTR lpCmdLine)
{
    m_hInstance = hInstance;
    m_lpCmdLine = lpCmdLine;
    m_nThreadID = ::GetCurrentThreadId();
    return InitInstance() ? Run() : ExitInstance();
}

// Lives here rather than in its own file so that linking the application object
// always brings the entry point along from the static library.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int)
{
    CWinApp* pApp = CWinApp::GetApp();
    return pApp ? pApp->Start(hInstance, lpCmdLine) : -1;
}
