#include "CSettingsFile.h"

#include <windows.h>

int CSettingsFile::GetInt(const wchar_t* pszKey, int nDefault) const
{
    if (m_strPath.IsEmpty()) return nDefault;
    return static_cast<int>(::GetPrivateProfileIntW(SettingsKeys::kSection, pszKey, nDefault, m_strPath));
}

BOOL CSettingsFile::WriteInt(const wchar_t* pszKey, int nValue) const
{
    if (m_strPath.IsEmpty()) return FALSE;
    WCHAR szText[16];  // "-2147483648" and its terminator
    ::wsprintfW(szText, L"%d", nValue);
    return ::WritePrivateProfileStringW(SettingsKeys::kSection, pszKey, szText, m_strPath);
}

BOOL CSettingsFile::Write(const SettingsValues& values, int nFirst, int nEnd) const
{
    for (int i = nFirst; i < nEnd; ++i) {
        if (!WriteInt(SettingsKeys::kAll[i].pszName, values.*SettingsKeys::kAll[i].pnValue)) return FALSE;
    }
    return TRUE;
}
