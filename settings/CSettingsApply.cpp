#include "CSettingsApply.h"

#include "CSettingsDlg.h"
#include "CSettingsFile.h"
#include "CShellShortcuts.h"
#include "Resource.h"

BOOL CSettingsApply::Ask(const SettingsValues& settings, const CString& strIniPath, SettingsValues& chosen)
{
    CSettingsDlg dlg;
    dlg.m_values = settings;
    // Desktop and AutoRun come from the file alone; without one they start unticked.
    dlg.m_values.nDesktop = dlg.m_values.nAutoRun = 0;
    CFileFind finder;
    if (finder.FindFile(strIniPath)) {
        CSettingsFile file(strIniPath);
        dlg.m_values.nDesktop = file.GetInt(SettingsKeys::kDesktop, 0);
        dlg.m_values.nAutoRun = file.GetInt(SettingsKeys::kAutoRun, 0);
    }
    if (dlg.DoModal() != IDOK) return FALSE;
    chosen = dlg.m_values;
    return TRUE;
}

BOOL CSettingsApply::Save(CWnd* pOwner, const SettingsValues& settings, const CString& strBesideIniPath,
                          CString& strIniPath)
{
    CSettingsFile file(CSettingsFile::PathToWrite(strBesideIniPath));
    BOOL bSaved = file.CanWrite() && file.Write(settings, 0, SettingsKeys::kBeforeRunOnceNotice);
    if (bSaved && settings.nRunRun) pOwner->MessageBox(IDS_RUN_ONCE_NOTICE, IDS_NOTICE, MB_ICONINFORMATION | MB_OK);
    bSaved = bSaved && file.Write(settings, SettingsKeys::kBeforeRunOnceNotice);
    if (bSaved) strIniPath = file.GetPath();
    else ReportSaveFailure(pOwner, file.GetPath(), ::GetLastError());

    CShellShortcuts::Apply(pOwner->m_hWnd, settings.nDesktop != 0, settings.nAutoRun != 0);
    return bSaved;
}

void CSettingsApply::ReportSaveFailure(CWnd* pOwner, const CString& strPath, DWORD dwError)
{
    CUiText text(IDS_SAVE_FAILED);
    text.AppendAnsi(strPath);
    text.Append(L"\n");
    WCHAR* pszReason = nullptr;
    if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, dwError, 0, reinterpret_cast<WCHAR*>(&pszReason), 0, nullptr)) {
        text.Append(pszReason);
        ::LocalFree(pszReason);
    }
    pOwner->MessageBox(text, IDS_NOTICE, MB_ICONERROR | MB_OK);
}
