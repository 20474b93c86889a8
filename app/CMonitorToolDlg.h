#pragma once
#include "AfxWin.h"
#include "CRunningCopy.h"
#include "CAnimatedPicture.h"
#include "CLockAction.h"
#include "Resource.h"
#include "CSettingsPlace.h"
#include "SettingsValues.h"

#include <shellapi.h>
#include <shlobj.h>

// The hidden main dialog: owns the settings, the tray icon and menu, the hot key and
// timer 1, and asks the lock action to act.
class CMonitorToolDlg : public CDialog {
public:
    explicit CMonitorToolDlg(CWnd* pParent = nullptr);

    void DoAction();
    void LoadSettings(const CString& strDirectory, const CString& strFileName);
    BOOL RegisterActionHotKey(UINT nModifiers, int nKeyIndex);
    CString HotKeyName(int nKeyIndex) const;
    // Builds the tray tip and, unless in run-once mode, registers the hot key.
    void BuildTrayTip();
    // Creates or deletes one shortcut to the running executable.
    void UpdateShortcut(BOOL bCreate, CString strLinkPath);
    // The settings in force (Desktop and AutoRun, which only the file keeps, as the
    // last confirmed settings dialog left them, else at their defaults) and the
    // settings file they came from.
    const SettingsValues& GetSettings() const { return m_settings; }
    const CString& GetIniPath() const { return m_strIniPath; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Set before DoModal. A lock mode from the command line with no copy running:
    // acts with it as run-once mode does (-1: none).
    int m_nSwitchLock = -1;
    // The object that lets later starts find this copy, when this process made it.
    CRunningCopy* m_pRunningCopy = nullptr;

    static const int kHotKeyId = IDH_ACTION;
    static const UINT kTrayIconId = ID_TRAY_ICON;
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
    // The action of the hot key or the tray double-click: first the keys or buttons
    // that started it go up.
    void DoActionAfterRelease(const int* pKeys, int nKeys);
    void OnHotKey();
    void SetUpTray();
    void OnTrayNotify(LPARAM lParam);
    // Switches another start of this exe handed over.
    void OnSwitches(unsigned nFlags);
    void UpdateFolderShortcut(int nFolder, const wchar_t* pszTail, BOOL bWanted);

    CAnimatedPicture m_picture;
    HICON m_hIcon;
    HICON m_hSmallIcon;
    SettingsValues m_settings;
    POINT m_ptAtAction;
    CString m_strIniPath;
    // Where the settings are read from and written to.
    CSettingsPlace m_place;
    int m_nHideGuard;
    // The Windows 95 layout: 88 bytes. cbSize stays 0 until the icon is added.
    NOTIFYICONDATAW m_trayData;
    CMenu m_trayMenu;
    CLockAction m_action;
    // The last input before the idle action, which acts again only after newer input.
    BOOL m_bIdleActed;
    DWORD m_dwIdleActedInput;

    static UINT s_uTaskbarCreated;
};
