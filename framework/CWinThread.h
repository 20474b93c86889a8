#pragma once
#include <windows.h>

class CWnd;

class CWinThread {
public:
    CWinThread() = default;
    virtual ~CWinThread() = default;

    CWnd* m_pMainWnd = nullptr;

    virtual CWnd* GetMainWnd() { return m_pMainWnd; }
    virtual BOOL InitInstance() { return FALSE; }
    virtual int Run();
    virtual int ExitInstance() { return m_nExitCode; }

protected:
    int m_nExitCode = 0;
};
