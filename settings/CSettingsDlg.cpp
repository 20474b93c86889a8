#include "CSettingsDlg.h"

#include "Afx.h"

#include <commctrl.h>

#include "Resource.h"

CSettingsDlg::CSettingsDlg(CWnd* pParent)
    : CDialog(IDD_SETTINGS, pParent)
{
    // Unfilled, the dialog marks no lock mode and no key, and shows no minutes.
    m_values.nLock = -1;
    m_values.nAccKey = -1;
    m_values.nTimeSKMValue = 0;
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_AUTORUN, m_values.nAutoRun);
    DDX_Check(pDX, IDC_RUNRUN, m_values.nRunRun);
    DDX_Radio(pDX, IDC_LOCK_ALL, m_values.nLock);
    DDX_Check(pDX, IDC_DESKTOP, m_values.nDesktop);
    DDX_Check(pDX, IDC_TIMESKM, m_values.nTimeSKM);
    DDX_Text(pDX, IDC_TIMESKM_VALUE, m_values.nTimeSKMValue);
    DDV_MinMaxInt(pDX, m_values.nTimeSKMValue, SettingsValues::kMinutesMin, SettingsValues::kMinutesMax);
    DDX_Check(pDX, IDC_ACCCTRL, m_values.nAccCtrl);
    DDX_CBIndex(pDX, IDC_ACCKEY, m_values.nAccKey);
}

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_RUNRUN, OnRunRunClicked)
    ON_BN_CLICKED(IDC_TIMESKM, OnTimeSKMClicked)
END_MESSAGE_MAP()

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    EnableDlgItem(IDC_AUTORUN, m_values.nRunRun == 0);
    EnableMinutes();
    // Lower bound in the high word: the up arrow then increases the number.
    SendDlgItemMessage(IDC_TIMESKM_SPIN, UDM_SETRANGE, 0, MAKELONG(SettingsValues::kMinutesMax, SettingsValues::kMinutesMin));
    KeepRunOnceRed();
    return TRUE;
}

HBRUSH CSettingsDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (pWnd && pWnd->GetDlgCtrlID() == IDC_RUNRUN) pDC->SetTextColor(kRunRunTextColor);
    return hbr;
}

void CSettingsDlg::OnRunRunClicked()
{
    UpdateData(TRUE);
    EnableDlgItem(IDC_AUTORUN, m_values.nRunRun == 0);
    m_values.nAutoRun = m_values.nRunRun == 0 ? 1 : 0;
    UpdateData(FALSE);
}

void CSettingsDlg::OnTimeSKMClicked()
{
    UpdateData(TRUE);
    EnableMinutes();
}

// A themed check box draws its label in the theme's text colour and ignores the one
// WM_CTLCOLORSTATIC sets; an empty theme name turns the theme off for this box alone.
// uxtheme.dll is loaded wherever common controls 6 are, and only there do buttons get
// a theme; it is looked up, not imported, as it may be missing.
void CSettingsDlg::KeepRunOnceRed()
{
    typedef HRESULT(WINAPI * SetWindowThemeProc)(HWND, LPCWSTR, LPCWSTR);
    SetWindowThemeProc pfnSetWindowTheme = AfxSystemProc<SetWindowThemeProc>("uxtheme.dll", "SetWindowTheme");
    if (pfnSetWindowTheme) pfnSetWindowTheme(GetDlgItem(IDC_RUNRUN), L" ", L" ");
}

void CSettingsDlg::EnableMinutes()
{
    EnableDlgItem(IDC_TIMESKM_VALUE, m_values.nTimeSKM != 0);
    EnableDlgItem(IDC_TIMESKM_SPIN, m_values.nTimeSKM != 0);
}
