#pragma once
#include "AfxWin.h"
#include "IdleCheck.h"

// The modal dialog in which the user edits the eight settings. A plain data holder:
// the caller fills the members, runs it, and reads them back after IDOK.
class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(CWnd* pParent = nullptr);
    ~CSettingsDlg() override;

    int m_bAutoRun;
    int m_bRunRun;
    int m_nLock;
    int m_bDesktop;
    int m_bTimeSKM;
    int m_nTimeSKMValue;
    int m_bAccCtrl;
    int m_nAccKey;

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
