#include "CSettingsFile.h"

#include <windows.h>

#include <stdlib.h>

int CSettingsFile::GetInt(const char* pszKey, int nDefault) const
{
    if (m_strPath.IsEmpty()) return nDefault;
    return static_cast<int>(::GetPrivateProfileIntA(SettingsKeys::kSection, pszKey, nDefault, m_strPath));
}

void CSettingsFile::WriteInt(const char* pszKey, int nValue) const
{
    if (m_strPath.IsEmpty()) return;
    char szText[16];  // "-2147483648" and its terminator
    _itoa(nValue, szText, 10);
    ::WritePrivateProfileStringA(SettingsKeys::kSection, pszKey, szText, m_strPath);
}

void CSettingsFile::WriteAll(const SettingsValues& v, const std::function<void()>& afterRunRun) const
{
    WriteInt(SettingsKeys::kAccCtrl, v.nAccCtrl);
    WriteInt(SettingsKeys::kAccKey, v.nAccKey);
    WriteInt(SettingsKeys::kLock, v.nLock);
    WriteInt(SettingsKeys::kRunRun, v.nRunRun);
    if (afterRunRun) afterRunRun();
    WriteInt(SettingsKeys::kTimeSKM, v.nTimeSKM);
    WriteInt(SettingsKeys::kTimeSKMValue, v.nTimeSKMValue);
    WriteInt(SettingsKeys::kDesktop, v.nDesktop);
    WriteInt(SettingsKeys::kAutoRun, v.nAutoRun);
}
