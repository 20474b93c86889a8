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
