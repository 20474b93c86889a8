#pragma once
#include "AfxWin.h"
#include "CActionHotKey.h"
#include "CAnimatedPicture.h"
#include "CIdleTrigger.h"
#include "CLockAction.h"
#include "CRunOnceWatch.h"
#include "CRunningCopy.h"
#include "CSettingsPlace.h"
#include "CTrayIcon.h"
#include "CommandLine.h"
#include "Resource.h"
#include "SettingsValues.h"

// The hidden main window: its buttons and the logo's place. The settings in force
// live here; each event goes to what owns it: the tray icon, the hot key, the idle
// trigger, switches from later starts, and the lock action that all of them pull.
class CMonitorToolDlg : public CDialog {
public:
    explicit CMonitorToolDlg(CWnd* pParent = nullptr);

    void DoAction();
    void LoadSettings(const CString& strDirectory, const CString& strFileName);
    // Registers the hot key (unless in run-once mode) and puts its name in the tray tip.
    void BuildTrayTip();
    // The settings in force (Desktop and AutoRun, which only the file keeps, as the
    // last confirmed settings dialog left them, else at their defaults) and the
    // settings file they came from.
    const SettingsValues& GetSettings() const { return m_settings; }
    const CString& GetIniPath() const { return m_strIniPath; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Set before DoModal. A lock mode from the command line with no copy running:
    // acts with it as run-once mode does (-1: none).
    int m_nSwitchLock = -1;
    // The block's minutes from the command line, which override the settings file's
    // (CommandLine::kNoMinutes: none).
    int m_nSwitchMinutes = CommandLine::kNoMinutes;
    // The object that lets later starts find this copy, when this process made it.
    CRunningCopy* m_pRunningCopy = nullptr;

    static const UINT_PTR kTimerId = 1;
    // The logo, looked for beside the executable.
    static constexpr const wchar_t* kLogoFileName = L"Logo.gif";

protected:
    // The tray's "show" command: passes the hide guard, then shows the window.
    void ShowMainWindow();

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnTurnOff();
    void OnAbout();
    void OnSettings();
    void OnDestroy();
    void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    // The logo beside the executable, in the middle of its area.
    void PlaceLogo(const CString& strDirectory);
    void OnTrayNotify(LPARAM lParam);

    CAnimatedPicture m_picture;
    HICON m_hIcon;
    HICON m_hSmallIcon;
    SettingsValues m_settings;
    CString m_strIniPath;
    // Where the settings are read from and written to.
    CSettingsPlace m_place;
    int m_nHideGuard;
    CTrayIcon m_tray;
    CActionHotKey m_hotKey;
    CIdleTrigger m_idle;
    CRunOnceWatch m_runOnce;
    CLockAction m_action;
};
