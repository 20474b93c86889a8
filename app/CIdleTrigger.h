#pragma once
#include <windows.h>

#include "CIdleWarning.h"
#include "SettingsValues.h"

// The idle trigger: acts once the user has not touched keyboard or mouse for the
// set minutes, once per idle period, and not while full-screen work is in front;
// counts the last seconds down in a warning that any input ends.
class CIdleTrigger {
public:
    // Asked once a second: TRUE when the action is due now.
    BOOL IsDue(const SettingsValues& settings);

private:
    // The last input before the idle action, which acts again only after newer input.
    BOOL m_bIdleActed = FALSE;
    DWORD m_dwIdleActedInput = 0;
    BOOL m_bKnown = FALSE;
    DWORD m_dwLastInput = 0;
    CIdleWarning m_warning;
};
