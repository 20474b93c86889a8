#include "CSettingsApply.h"

#include "CSettingsDisk.h"
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

BOOL CSettingsApply::Save(CWnd* pOwner, const SettingsValues& settings, CSettingsPlace& place, CString& strIniPath)
{
    CSettingsDisk disk(settings, pOwner);
    const DWORD dwError = place.Save(disk);
    if (!dwError) strIniPath = place.Path();
    else ReportSaveFailure(pOwner, place.FailedPath().c_str(), dwError);
    const BOOL bSaved = !dwError;

    CShellShortcuts::Apply(pOwner->m_hWnd, settings.nDesktop != 0, settings.nAutoRun != 0);
    return bSaved;
}

void CSettingsApply::ReportSaveFailure(CWnd* pOwner, const wchar_t* pszPath, DWORD dwError)
{
    CUiText text(IDS_SAVE_FAILED);
    text.Append(pszPath);
    text.Append(L"\n");
    text.AppendSystemMessage(dwError);
    pOwner->MessageBox(text, IDS_NOTICE, MB_ICONERROR | MB_OK);
}
