#include "CIdleTrigger.h"

#include "FullScreenCheck.h"
#include "IdleCheck.h"

BOOL CIdleTrigger::IsDue(const SettingsValues& settings)
{
    // A failed query is no input: the last known input time stands, so a period
    // already acted on is not taken for a new one.
    LASTINPUTINFO lii = {sizeof(LASTINPUTINFO), 0};
    if (::GetLastInputInfo(&lii)) {
        m_dwLastInput = lii.dwTime;
        m_bKnown = TRUE;
    }
    if (!settings.nTimeSKM || !m_bKnown) {
        m_warning.Hide();
        return FALSE;
    }
    const DWORD dwNow = ::GetTickCount();
    // Once per idle period: a block lifted without keyboard or mouse input (from the
    // Ctrl+Alt+Del screen) must not come back at the next tick. Full-screen work in
    // front (a film, a presentation) holds the action, and its warning, off until it goes.
    const BOOL bActed = m_bIdleActed && m_dwLastInput == m_dwIdleActedInput;
    const UINT nLeft = bActed ? 0
                              : IdleCheck::WarnSecondsLeft(m_dwLastInput, dwNow, settings.nTimeSKMValue,
                                                           settings.nIdleWarnSeconds);
    const BOOL bDue = !bActed && IdleCheck::ShouldAct(m_dwLastInput, dwNow, settings.nTimeSKMValue);
    if ((!nLeft && !bDue) || IsFullScreenInFront()) {
        m_warning.Hide();
        return FALSE;
    }
    if (!bDue) {
        m_warning.Show(settings.nLock, static_cast<int>(nLeft));
        return FALSE;
    }
    m_warning.Hide();
    m_bIdleActed = TRUE;
    m_dwIdleActedInput = m_dwLastInput;
    return TRUE;
}
