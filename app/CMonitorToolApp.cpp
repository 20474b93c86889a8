#include "CMonitorToolApp.h"

#include "CMonitorToolDlg.h"
#include "CRunningCopy.h"
#include "CommandLine.h"
#include "ModulePath.h"

#include <objbase.h>

CMonitorToolApp theApp;

BOOL CMonitorToolApp::InitInstance()
{
    const CommandLine::Parsed args = CommandLine::Parse(m_lpCmdLine);
    if (args.unknown || (args.flags & CommandLine::kHelp)) {
        ::MessageBoxA(nullptr, CommandLine::BoxText(args).c_str(), CommandLine::kBoxCaption,
                      args.unknown ? MB_ICONERROR | MB_OK : MB_ICONINFORMATION | MB_OK);
        m_nExitCode = args.unknown ? CommandLine::kExitUnknownSwitch : 0;
        return FALSE;
    }

    // Switches go to the copy that runs in the tray; a plain start shows that copy's
    // window, or becomes that copy when there is none.
    CRunningCopy copy;
    CString strModule;
    if (GetModulePath(nullptr, strModule) && copy.Open(strModule, args.flags == 0) && !copy.IsCreator()) {
        const HWND hRunning = copy.WaitForWindow();
        if (hRunning && CRunningCopy::Forward(hRunning, args.flags)) return FALSE;
        copy.Release();
    }
    if (args.flags & CommandLine::kExit) return FALSE;

    AfxEnableControlContainer();
    Enable3dControls();

    // ShellExecuteA (the About box's link) and the picture loader may run COM
    // objects on this thread; OLE1 DDE is of no use to either.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    {
        CMonitorToolDlg dlg;
        dlg.m_nSwitchLock = CommandLine::LockMode(args.flags);
        dlg.m_pRunningCopy = copy.IsCreator() ? &copy : nullptr;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (SUCCEEDED(hrCom)) ::CoUninitialize();
    // The dialog was the whole program: end without entering a message loop.
    return FALSE;
}
