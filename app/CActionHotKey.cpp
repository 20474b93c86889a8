#include "CActionHotKey.h"

#include "CWnd.h"
#include "HotKeyText.h"

BOOL CActionHotKey::Register(HWND hWnd, const SettingsValues& settings)
{
    Unregister();
    m_hWnd = hWnd;
    m_settings = settings;
    if (m_settings.nRunRun) return FALSE;
    m_bRegistered = RegisterActionHotKey(MOD_CONTROL, m_settings.nAccKey);
    if (!m_bRegistered) CWnd::FromHandle(hWnd)->MessageBox(IDS_HOTKEY_CONFLICT, IDS_NOTICE, MB_ICONERROR | MB_OK);
    return m_bRegistered;
}

void CActionHotKey::Unregister()
{
    if (m_bRegistered) ::UnregisterHotKey(m_hWnd, kHotKeyId);
    m_bRegistered = FALSE;
}

BOOL CActionHotKey::RegisterActionHotKey(UINT nModifiers, int nKeyIndex)
{
    const UINT nMods = m_settings.nAccCtrl ? nModifiers : 0;
    const UINT nKey = HotKeyText::VirtualKey(nKeyIndex);
    // A held key would repeat WM_HOTKEY. Windows before 7 do not know the flag and
    // refuse it; a key another program holds is refused whatever the flags.
    if (::RegisterHotKey(m_hWnd, kHotKeyId, nMods | kModNoRepeat, nKey)) return TRUE;
    return ::GetLastError() != ERROR_HOTKEY_ALREADY_REGISTERED && ::RegisterHotKey(m_hWnd, kHotKeyId, nMods, nKey);
}

CUiText CActionHotKey::TipText() const
{
    CUiText tip(IDS_TRAY_TIP);
    tip.Append(HotKeyText::TipTail(m_settings.nRunRun != 0, m_bRegistered != FALSE, m_settings.nAccCtrl != 0,
                                       m_settings.nAccKey)
                       .c_str());
    return tip;
}

int CActionHotKey::HeldKeys(int* pKeys) const
{
    pKeys[0] = static_cast<int>(HotKeyText::VirtualKey(m_settings.nAccKey));
    pKeys[1] = VK_CONTROL;
    return m_settings.nAccCtrl ? 2 : 1;
}
