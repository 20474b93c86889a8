#pragma once
// Global helpers of the framework layer, in the names the application code uses.
#include <windows.h>

class CWinApp;
class CWinThread;

CWinApp* AfxGetApp();
// The GUI thread is the only one with a thread object.
CWinThread* AfxGetThread();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The program hosts no ActiveX controls; kept so start-up reads as it always has.
inline void AfxEnableControlContainer() {}
// A message box owned by the thread's active window (else its main window), with
// the program's name as its caption.
int AfxMessageBox(const WCHAR* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0);

// A function of a system DLL the process has loaded already, looked up at run time
// so that the exe still starts on a Windows without it; null when there is none.
// Function names are bytes in every export table: GetProcAddress has no W form.
template <class Proc>
Proc AfxSystemProc(const WCHAR* pszModule, const char* pszName)
{
    HMODULE hModule = ::GetModuleHandleW(pszModule);
    return hModule ? reinterpret_cast<Proc>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName))) : nullptr;
}
// A module named in ASCII, widened unit by unit: no code page is involved.
template <class Proc>
Proc AfxSystemProc(const char* pszModule, const char* pszName)
{
    WCHAR szModule[MAX_PATH];
    int n = 0;
    while (pszModule[n] && n < MAX_PATH - 1) szModule[n] = static_cast<unsigned char>(pszModule[n]), ++n;
    szModule[n] = 0;
    return AfxSystemProc<Proc>(szModule, pszName);
}

// Lets the message through to hWnd from lower-integrity processes (the shell's
// broadcasts, a start that is not elevated), which an elevated program otherwise
// never gets: per window from Windows 7, per process on Vista, nothing to do on XP.
void AfxAllowLowerIntegrityMessage(HWND hWnd, UINT message);

// Waits for one of the handles, handling what other threads send meanwhile (a thread
// being waited for may send to this one's windows, or the system on its behalf);
// posted messages wait for the caller's loop.
DWORD AfxWaitSending(DWORD nCount, const HANDLE* pHandles);

// n96 pixels at 96 DPI, in pixels of the screen's DPI (the system DPI, which Windows
// hands this DPI-aware program).
int AfxScaleFrom96(int n96);
