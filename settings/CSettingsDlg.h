#pragma once
#include "AfxWin.h"
#include "SettingsValues.h"

// The modal dialog in which the user edits the eight settings. A plain data holder:
// the caller fills the members, runs it, and reads them back after IDOK.
class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(CWnd* pParent = nullptr);
    ~CSettingsDlg() override;

    // The eight settings as one record, for the caller to fill and read back.
    SettingsValues m_values;

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
    void KeepRunOnceRed();
};
