#include "CIdleTrigger.h"

#include "FullScreenCheck.h"
#include "IdleCheck.h"

BOOL CIdleTrigger::IsDue(const SettingsValues& settings)
{
    if (!settings.nTimeSKM) return FALSE;
    // A failed query is no input: the last known input time stands, so a period
    // already acted on is not taken for a new one.
    LASTINPUTINFO lii = {sizeof(LASTINPUTINFO), 0};
    if (::GetLastInputInfo(&lii)) m_dwLastInput = lii.dwTime;
    else if (!m_bKnown) return FALSE;
    m_bKnown = TRUE;
    lii.dwTime = m_dwLastInput;
    // Once per idle period: a block lifted without keyboard or mouse input (from the
    // Ctrl+Alt+Del screen) must not come back at the next tick. Full-screen work in
    // front (a film, a presentation) holds the action off until it goes.
    if ((m_bIdleActed && lii.dwTime == m_dwIdleActedInput) ||
        !IdleCheck::ShouldAct(lii.dwTime, ::GetTickCount(), settings.nTimeSKMValue) || IsFullScreenInFront())
        return FALSE;
    m_bIdleActed = TRUE;
    m_dwIdleActedInput = lii.dwTime;
    return TRUE;
}
