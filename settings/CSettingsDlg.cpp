#include "CSettingsDlg.h"

#include <commctrl.h>

#include "Resource.h"

CSettingsDlg::CSettingsDlg(CWnd* pParent)
    : CDialog(IDD_SETTINGS, pParent)
{
    // Unfilled, the dialog marks no lock mode and no key, and shows no minutes.
    m_nLock = -1;
    m_nAccKey = -1;
    m_nTimeSKMValue = 0;
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_AUTORUN, m_bAutoRun);
    DDX_Check(pDX, IDC_RUNRUN, m_bRunRun);
    DDX_Radio(pDX, IDC_LOCK_ALL, m_nLock);
    DDX_Check(pDX, IDC_DESKTOP, m_bDesktop);
    DDX_Check(pDX, IDC_TIMESKM, m_bTimeSKM);
    DDX_Text(pDX, IDC_TIMESKM_VALUE, m_nTimeSKMValue);
    DDV_MinMaxInt(pDX, m_nTimeSKMValue, kMinutesMin, kMinutesMax);
    DDX_Check(pDX, IDC_ACCCTRL, m_bAccCtrl);
    DDX_CBIndex(pDX, IDC_ACCKEY, m_nAccKey);
}

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_RUNRUN, OnRunRunClicked)
    ON_BN_CLICKED(IDC_TIMESKM, OnTimeSKMClicked)
END_MESSAGE_MAP()

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    EnableDlgItem(IDC_AUTORUN, m_bRunRun == 0);
    EnableMinutes();
    // Lower bound in the high word: the up arrow then increases the number.
    SendDlgItemMessage(IDC_TIMESKM_SPIN, UDM_SETRANGE, 0, MAKELONG(kMinutesMax, kMinutesMin));
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
    EnableDlgItem(IDC_AUTORUN, m_bRunRun == 0);
    m_bAutoRun = m_bRunRun == 0 ? 1 : 0;
    UpdateData(FALSE);
}

void CSettingsDlg::OnTimeSKMClicked()
{
    UpdateData(TRUE);
    EnableMinutes();
}

void CSettingsDlg::EnableMinutes()
{
    EnableDlgItem(IDC_TIMESKM_VALUE, m_bTimeSKM != 0);
    EnableDlgItem(IDC_TIMESKM_SPIN, m_bTimeSKM != 0);
}
