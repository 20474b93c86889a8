#include "CMonitorToolApp.h"

#include "CMonitorToolDlg.h"
#include "CRunningCopy.h"
#include "CUiText.h"
#include "CommandLine.h"
#include "ModulePath.h"
#include "SettingsValues.h"

#include <objbase.h>
#include <shellapi.h>

CMonitorToolApp theApp;

namespace {
// Units of an argument that is no switch shown in its box; the rest of the box
// lists the switches and must stay in.
const int kShownArgumentUnits = 200;

// The box for /? and for an argument that is no switch: that argument, then every
// switch with what it does, in the user's language. No window of ours exists yet.
void ShowSwitchBox(const CommandLine::Parsed& args)
{
    CUiText text;
    if (args.unknown) {
        text.Load(IDS_SWITCH_UNKNOWN);
        WCHAR szArgument[kShownArgumentUnits + 1];
        lstrcpynW(szArgument, args.unknown, kShownArgumentUnits + 1);
        text.Append(szArgument);
        text.Append(L"\n\n");
    }
    text.Append(CUiText(IDS_SWITCH_HEADING));
    for (int i = 0; i < CommandLine::kSwitchCount; ++i) {
        const CommandLine::Switch& sw = CommandLine::kSwitches[i];
        text.Append(L"\n/");
        text.Append(sw.name);
        if (sw.minutes) text.Append(L":N");
        text.Append(L"\t");
        CUiText description;
        description.Format(sw.descriptionId, SettingsValues::kLockMinutesMax);
        text.Append(description);
    }
    text.Append(CUiText(IDS_SWITCH_FOOTER));
    CWnd().MessageBox(text, IDS_NOTICE, args.unknown ? MB_ICONERROR | MB_OK : MB_ICONINFORMATION | MB_OK);
}
}  // namespace

BOOL CMonitorToolApp::InitInstance()
{
    // Split by the system's rules, so a quoted argument stays whole; the program's
    // own name comes first.
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const CommandLine::Parsed args = argv && argc > 1 ? CommandLine::Parse(argc - 1, argv + 1)
                                                          : CommandLine::Parsed{0, CommandLine::kNoMinutes, nullptr};
    if (args.unknown || (args.flags & CommandLine::kHelp)) {
        ShowSwitchBox(args);
        m_nExitCode = args.unknown ? CommandLine::kExitUnknownSwitch : 0;
        ::LocalFree(argv);
        return FALSE;
    }
    ::LocalFree(argv);

    // Switches go to the copy that runs in the tray; a plain start shows that copy's
    // window, or becomes that copy when there is none. A copy that cannot be reached
    // still runs: this start ends rather than become a second one.
    CRunningCopy copy;
    CString strModule;
    const CRunningCopy::Found found =
        GetModulePath(nullptr, strModule) ? copy.Open(strModule, args.flags == 0) : CRunningCopy::kNone;
    if (found == CRunningCopy::kOpened || found == CRunningCopy::kRefused) {
        HWND hRunning = nullptr;
        const BOOL bAnswered = found == CRunningCopy::kOpened && copy.WaitForWindow(hRunning);
        if (bAnswered && hRunning && CRunningCopy::Forward(hRunning, {args.flags, args.minutes})) return FALSE;
        if (!bAnswered || hRunning) {
            if (args.flags == 0) CWnd().MessageBox(IDS_ALREADY_RUNNING, IDS_NOTICE, MB_ICONWARNING | MB_OK);
            m_nExitCode = CommandLine::kExitNotHandedOver;
            return FALSE;
        }
        // A copy in run-once mode: this start acts by itself.
        copy.Release();
    }
    if (args.flags & CommandLine::kExit) return FALSE;

    AfxEnableControlContainer();
    Enable3dControls();

    // ShellExecuteW (the About box's link) and the picture loader may run COM
    // objects on this thread; OLE1 DDE is of no use to either.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    {
        CMonitorToolDlg dlg;
        dlg.m_nSwitchLock = CommandLine::LockMode(args.flags);
        dlg.m_nSwitchMinutes = args.minutes;
        dlg.m_pRunningCopy = copy.IsCreator() ? &copy : nullptr;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (SUCCEEDED(hrCom)) ::CoUninitialize();
    // The dialog was the whole program: end without entering a message loop.
    return FALSE;
}
