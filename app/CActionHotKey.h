#pragma once
#include <windows.h>

#include "CUiText.h"
#include "Resource.h"
#include "SettingsValues.h"

// The action's global hot key, one of F6 to F12 with or without Ctrl, as the
// settings choose it; registered for one window.
class CActionHotKey {
public:
    // Registers the settings' key for hWnd in place of any held before; in run-once
    // mode none. A key another program holds is said once, in a box over hWnd.
    BOOL Register(HWND hWnd, const SettingsValues& settings);
    void Unregister();
    BOOL RegisterActionHotKey(UINT nModifiers, int nKeyIndex);
    BOOL IsRegistered() const { return m_bRegistered; }
    // The tray tip: the prefix, then the key's name while it is registered.
    CUiText TipText() const;
    // The keys that pull the trigger, which must be up before it acts; their count.
    int HeldKeys(int* pKeys) const;

    static const int kHotKeyId = IDH_ACTION;
    static const int kMaxKeys = 2;
    // MOD_NOREPEAT, which headers for Windows before 7 lack.
    static const UINT kModNoRepeat = 0x4000;

private:
    HWND m_hWnd = nullptr;
    SettingsValues m_settings;
    BOOL m_bRegistered = FALSE;
};
