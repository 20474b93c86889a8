#include "ModalScript.h"

#include <gtest/gtest.h>

#include "CDialog.h"

void ModalScript::Start(CDialog& dlg, UINT nWatchdogMs)
{
    dlg.SetTimer(kWatchdogTimer, nWatchdogMs, nullptr);
    if (!m_steps.empty()) dlg.PostMessage(kStepMessage);
}

BOOL ModalScript::OnMessage(CDialog& dlg, UINT message, WPARAM wParam)
{
    if (message == WM_TIMER && wParam == kWatchdogTimer) {
        dlg.KillTimer(kWatchdogTimer);
        ADD_FAILURE() << "the modal loop was still running after the watchdog period, "
                      << m_nNext << " of " << m_steps.size() << " steps run";
        dlg.EndDialog(static_cast<int>(kWatchdogResult));
        return TRUE;
    }
    if (message == WM_TIMER && wParam == kStepTimer) dlg.KillTimer(kStepTimer);
    else if (message != kStepMessage) return FALSE;
    if (m_nNext < m_steps.size()) {
        std::size_t step = m_nNext++;
        m_nDelayMs = 0;
        m_steps[step]();
        if (m_nNext < m_steps.size() && dlg.m_hWnd) {
            if (m_nDelayMs) dlg.SetTimer(kStepTimer, m_nDelayMs, nullptr);
            else dlg.PostMessage(kStepMessage);
        }
    }
    return TRUE;
}
