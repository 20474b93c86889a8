#include "CSettingsDisk.h"

#include <windows.h>
#include <shlobj.h>

#include "AfxWin.h"
#include "CSettingsFile.h"
#include "IniPath.h"
#include "Resource.h"

namespace {
// The per-user folder under %APPDATA%.
constexpr wchar_t kUserFolder[] = L"\\Velodusk\\";

DWORD LastWriteError()
{
    const DWORD dwError = ::GetLastError();
    return dwError ? dwError : ERROR_GEN_FAILURE;
}
}

static_assert(CSettingsPlace::kErrorAccessDenied == ERROR_ACCESS_DENIED, "the system's code");
static_assert(CSettingsPlace::kErrorWriteProtect == ERROR_WRITE_PROTECT, "the system's code");

bool CSettingsDisk::Exists(const std::wstring& path)
{
    const DWORD dwAttributes = ::GetFileAttributesW(path.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CSettingsDisk::MakeFolderFor(const std::wstring& path)
{
    std::wstring strFolder, strName;
    SplitModulePath(path, strFolder, strName);
    if (!strFolder.empty()) ::CreateDirectoryW(strFolder.c_str(), nullptr);
}

unsigned long CSettingsDisk::Write(const std::wstring& path)
{
    CSettingsFile file(path);
    if (!file.Write(m_values, 0, SettingsKeys::kBeforeRunOnceNotice)) return LastWriteError();
    if (m_values.nRunRun && m_pNoticeOwner && !m_bNoticeShown) {
        m_bNoticeShown = TRUE;
        m_pNoticeOwner->MessageBox(IDS_RUN_ONCE_NOTICE, IDS_NOTICE, MB_ICONINFORMATION | MB_OK);
    }
    if (!file.Write(m_values, SettingsKeys::kBeforeRunOnceNotice)) return LastWriteError();
    return 0;
}

CString CSettingsDisk::PerUserPath(const CString& strBeside)
{
    std::wstring strDirectory, strName;
    SplitModulePath(strBeside.Str(), strDirectory, strName);
    WCHAR szFolder[MAX_PATH] = L"";
    if (strName.empty() || FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szFolder)))
        return CString();
    return CString(std::wstring(szFolder) + kUserFolder + strName);
}

CSettingsPlace CSettingsDisk::PlaceFor(const CString& strModule)
{
    std::wstring strDirectory, strFileName;
    SplitModulePath(strModule.Str(), strDirectory, strFileName);
    const CString strBeside = IniPathFor(strDirectory, strFileName);
    return CSettingsPlace(strBeside.Str(), strBeside.IsEmpty() ? std::wstring() : PerUserPath(strBeside).Str());
}
