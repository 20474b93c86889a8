#include "CMonitorToolApp.h"

#include "CMonitorToolDlg.h"

CMonitorToolApp theApp;

BOOL CMonitorToolApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    {
        CMonitorToolDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    // The dialog was the whole program: end without entering a message loop.
    return FALSE;
}
