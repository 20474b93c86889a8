#pragma once
#include <windows.h>

#include "CWinThread.h"

// The one application object; its constructor registers it for WinMain.
class CWinApp : public CWinThread {
public:
    CWinApp();
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    // The arguments after the program's name, as wWinMain had them.
    LPWSTR m_lpCmdLine = nullptr;
    DWORD m_nThreadID = ::GetCurrentThreadId();

    // Kept for the start-up sequence; common controls draw in 3-D by themselves.
    BOOL Enable3dControls() { return TRUE; }

    static CWinApp* GetApp() { return s_pApp; }
    int Start(HINSTANCE hInstance, LPWSTR lpCmdLine);
    // True on the thread that started the application (or constructed it, before start).
    BOOL IsOwnThread() const { return ::GetCurrentThreadId() == m_nThreadID; }

private:
    static CWinApp* s_pApp;
};
