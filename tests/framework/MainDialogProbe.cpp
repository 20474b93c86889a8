#include "MainDialogProbe.h"

LRESULT MainDialogProbe::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_script.OnMessage(*this, message, wParam)) return 0;
    return CMonitorToolDlg::WindowProc(message, wParam, lParam);
}

BOOL MainDialogProbe::OnInitDialog()
{
    BOOL result = CMonitorToolDlg::OnInitDialog();
    m_script.Start(*this);
    return result;
}
