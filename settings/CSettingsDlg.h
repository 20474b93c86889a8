#pragma once
#include "AfxWin.h"
#include "IdleCheck.h"
#include "SettingsValues.h"

// The modal dialog in which the user edits the eight settings. A plain data holder:
// the caller fills the members, runs it, and reads them back after IDOK.
class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(CWnd* pParent = nullptr);
    ~CSettingsDlg() override;

    // The eight settings as one record, for the caller to fill and read back; the
    // members below name its fields as the dialog's controls exchange them.
    SettingsValues m_values;
    int& m_bAutoRun = m_values.nAutoRun;
    int& m_bRunRun = m_values.nRunRun;
    int& m_nLock = m_values.nLock;
    int& m_bDesktop = m_values.nDesktop;
    int& m_bTimeSKM = m_values.nTimeSKM;
    int& m_nTimeSKMValue = m_values.nTimeSKMValue;
    int& m_bAccCtrl = m_values.nAccCtrl;
    int& m_nAccKey = m_values.nAccKey;

    static const int kMinutesMin = IdleCheck::kMinutesMin;
    static const int kMinutesMax = IdleCheck::kMinutesMax;
    static const COLORREF kRunRunTextColor = RGB(255, 0, 0);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnRunRunClicked();
    void OnTimeSKMClicked();
    DECLARE_MESSAGE_MAP()

private:
    void EnableMinutes();
};
