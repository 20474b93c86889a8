#include "CWinThread.h"

int CWinThread::Run()
{
    MSG msg;
    // W, as the framework's windows are.
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}
