#include "CSettingsFile.h"

#include <windows.h>
#include <shlobj.h>

#include <stdlib.h>

#include "IniPath.h"

namespace {
// The per-user folder under %APPDATA%.
constexpr char kUserFolder[] = "\\Velodusk";
}

int CSettingsFile::GetInt(const char* pszKey, int nDefault) const
{
    if (m_strPath.IsEmpty()) return nDefault;
    return static_cast<int>(::GetPrivateProfileIntA(SettingsKeys::kSection, pszKey, nDefault, m_strPath));
}

BOOL CSettingsFile::CanWrite() const
{
    const DWORD dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE h = ::CreateFileA(m_strPath, GENERIC_WRITE, dwShare, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND)
        h = ::CreateFileA(m_strPath, GENERIC_WRITE, dwShare, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    ::CloseHandle(h);
    return TRUE;
}

BOOL CSettingsFile::WriteInt(const char* pszKey, int nValue) const
{
    if (m_strPath.IsEmpty()) return FALSE;
    char szText[16];  // "-2147483648" and its terminator
    _itoa(nValue, szText, 10);
    return ::WritePrivateProfileStringA(SettingsKeys::kSection, pszKey, szText, m_strPath);
}

BOOL CSettingsFile::Write(const SettingsValues& values, int nFirst, int nEnd) const
{
    for (int i = nFirst; i < nEnd; ++i) {
        if (!WriteInt(SettingsKeys::kAll[i].pszName, values.*SettingsKeys::kAll[i].pnValue)) return FALSE;
    }
    return TRUE;
}

CString CSettingsFile::PerUserPath(const CString& strBeside, BOOL bMakeFolder)
{
    std::string strDirectory, strName;
    SplitModulePath(strBeside.Str(), IsAnsiLeadByte, strDirectory, strName);
    char szFolder[MAX_PATH] = "";
    if (strName.empty() || !::SHGetSpecialFolderPathA(nullptr, szFolder, CSIDL_APPDATA, FALSE)) return CString();
    CString strPath = szFolder;
    strPath += kUserFolder;
    if (bMakeFolder) ::CreateDirectoryA(strPath, nullptr);
    strPath += "\\";
    strPath += strName.c_str();
    return strPath;
}

CString CSettingsFile::PathToRead(const CString& strBeside)
{
    if (CSettingsFile(strBeside).CanWrite()) return strBeside;
    CString strUser = PerUserPath(strBeside, FALSE);
    return !strUser.IsEmpty() && ::GetFileAttributesA(strUser) != INVALID_FILE_ATTRIBUTES ? strUser : strBeside;
}

CString CSettingsFile::PathToWrite(const CString& strBeside)
{
    if (CSettingsFile(strBeside).CanWrite()) return strBeside;
    CString strUser = PerUserPath(strBeside, TRUE);
    return strUser.IsEmpty() ? strBeside : strUser;
}
