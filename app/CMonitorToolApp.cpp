#include "CMonitorToolApp.h"

#include "CMonitorToolDlg.h"

#include <objbase.h>

CMonitorToolApp theApp;

BOOL CMonitorToolApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    // ShellExecuteA (the About box's link) and the picture loader may run COM
    // objects on this thread; OLE1 DDE is of no use to either.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    {
        CMonitorToolDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (SUCCEEDED(hrCom)) ::CoUninitialize();
    // The dialog was the whole program: end without entering a message loop.
    return FALSE;
}
