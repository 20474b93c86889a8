#include "CWinApp.h"

CWinApp* CWinApp::s_pApp = nullptr;

CWinApp::CWinApp() { s_pApp = this; }

CWinApp::~CWinApp()
{
    if (s_pApp == this) s_pApp = nullptr;
}

int CWinApp::Start(HINSTANCE hInstance, LPWSTR lpCmdLine)
{
    m_hInstance = hInstance;
    m_lpCmdLine = lpCmdLine;
    m_nThreadID = ::GetCurrentThreadId();
    return InitInstance() ? Run() : ExitInstance();
}

// Lives here rather than in its own file so that linking the application object
// always brings the entry point along from the static library. The W entry point
// (linked with -municode): its command line never passed through the ANSI code page.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int)
{
    CWinApp* pApp = CWinApp::GetApp();
    return pApp ? pApp->Start(hInstance, lpCmdLine) : -1;
}
