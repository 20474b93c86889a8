#include "CMonitorToolDlg.h"

#include "Afx.h"
#include "CAboutDlg.h"
#include "CForwardedSwitches.h"
#include "CSettingsApply.h"
#include "CSettingsDisk.h"
#include "CSettingsFile.h"
#include "CommandLine.h"
#include "IniPath.h"
#include "ModulePath.h"
#include "Resource.h"

namespace {
constexpr UINT kTimerPeriodMs = 1000;

// The image drawn for the size the system asks for: LoadIcon would take the
// large size and shrink it for the caption and the tray, blurred at 150 %.
// Shared, so the icon lives as long as the module.
HICON LoadMainIcon(int nMetricX, int nMetricY)
{
    return static_cast<HICON>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                           ::GetSystemMetrics(nMetricX), ::GetSystemMetrics(nMetricY), LR_SHARED));
}

// Where a picture of nPicture pixels starts in an area from nLow to nHigh: in the
// middle when it is smaller, else at the area's start, so a larger picture is cut
// at its far edges and never pushed out of the window.
int LogoStart(LONG nLow, LONG nHigh, LONG nPicture)
{
    return nPicture < nHigh - nLow ? (nLow + nHigh - nPicture) / 2 : nLow;
}
}  // namespace

CMonitorToolDlg::CMonitorToolDlg(CWnd* pParent)
    : CDialog(IDD_MONITORTOOL_DIALOG, pParent),
      m_hIcon(LoadMainIcon(SM_CXICON, SM_CYICON)), m_hSmallIcon(LoadMainIcon(SM_CXSMICON, SM_CYSMICON)),
      m_nHideGuard(1)
{
}

void CMonitorToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LOGO, m_picture);
}

BEGIN_MESSAGE_MAP(CMonitorToolDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_TURN_OFF, OnTurnOff)
    ON_BN_CLICKED(IDC_ABOUT, OnAbout)
    ON_BN_CLICKED(IDC_SETTINGS, OnSettings)
    ON_WM_DESTROY()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL CMonitorToolDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hSmallIcon, FALSE);

    CString strModule;
    std::wstring strDirectory, strFileName;
    if (GetModulePath(nullptr, strModule)) SplitModulePath(strModule.Str(), strDirectory, strFileName);
    LoadSettings(strDirectory, strFileName);
    if (m_nSwitchLock >= 0) {
        // The settings file's lock mode and idle trigger do not apply; nothing is written.
        m_settings.nRunRun = 1;
        m_settings.nLock = m_nSwitchLock;
        m_settings.nTimeSKM = 0;
        if (m_nSwitchMinutes >= 0) m_settings.nLockMinutes = m_nSwitchMinutes;
    }
    m_action.SetBlockMinutes(m_settings.nLockMinutes);
    if (m_pRunningCopy) m_pRunningCopy->Publish(m_settings.nRunRun ? nullptr : m_hWnd);

    PlaceLogo(strDirectory);
    BuildTrayTip();
    if (m_settings.nRunRun) DoAction();
    else m_tray.Add(m_hWnd, m_hSmallIcon);

    SetTimer(kTimerId, kTimerPeriodMs, nullptr);
    return TRUE;
}

void CMonitorToolDlg::PlaceLogo(const CString& strDirectory)
{
    // A missing or unreadable logo is not reported; the control then paints nothing.
    // The area is in dialog units and grows with the DPI; the picture keeps its
    // own pixels (a pixel drawing scaled by 1.25 or 1.5 gets uneven pixels) and
    // sits in the middle of the area where it is smaller.
    RECT rcArea;
    ::GetWindowRect(m_picture.m_hWnd, &rcArea);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcArea), 2);
    if (!m_picture.Load((strDirectory.Str() + kLogoFileName).c_str())) return;
    RECT rcPicture;
    m_picture.GetClientRect(&rcPicture);
    m_picture.SetWindowPos(nullptr, LogoStart(rcArea.left, rcArea.right, rcPicture.right),
                           LogoStart(rcArea.top, rcArea.bottom, rcPicture.bottom), 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_picture.Draw();
}

void CMonitorToolDlg::LoadSettings(const CString& strDirectory, const CString& strFileName)
{
    const SettingsValues defaults;
    m_place = CSettingsDisk::PlaceFor(strDirectory.Str() + strFileName.Str());
    CSettingsDisk disk(defaults, nullptr);
    m_place.Find(disk);
    m_strIniPath = m_place.Path();
    CSettingsFile file(m_strIniPath);
    m_settings = defaults;
    m_settings.nAccCtrl = file.GetInt(SettingsKeys::kAccCtrl, defaults.nAccCtrl);
    m_settings.nAccKey = file.GetInt(SettingsKeys::kAccKey, defaults.nAccKey);
    m_settings.nLock = file.GetInt(SettingsKeys::kLock, defaults.nLock);
    m_settings.nRunRun = file.GetInt(SettingsKeys::kRunRun, defaults.nRunRun);
    m_settings.nTimeSKM = file.GetInt(SettingsKeys::kTimeSKM, defaults.nTimeSKM);
    m_settings.nTimeSKMValue = file.GetInt(SettingsKeys::kTimeSKMValue, defaults.nTimeSKMValue);
    for (const SettingsKeys::FileOnlyKey& bounded : SettingsKeys::kFileOnly) {
        int SettingsValues::*pnValue = bounded.key.pnValue;
        const int nValue = file.GetInt(bounded.key.pszName, defaults.*pnValue);
        m_settings.*pnValue = nValue >= bounded.nMin && nValue <= bounded.nMax ? nValue : defaults.*pnValue;
    }
    m_action.SetWakeDeadZone(m_settings.nWakeDeadZone);
}

void CMonitorToolDlg::ShowMainWindow()
{
    ++m_nHideGuard;
    ShowWindow(SW_SHOW);
}

void CMonitorToolDlg::DoAction()
{
    m_action.Act(m_settings.nLock);
    m_runOnce.Mark();
}

void CMonitorToolDlg::BuildTrayTip()
{
    m_hotKey.Register(m_hWnd, m_settings);
    m_tray.SetTip(m_hotKey.TipText());
}

LRESULT CMonitorToolDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_tray.OnMessage(message, wParam)) return 0;
    CForwardedSwitches::Request request;
    int nMode = -1;
    int nMinutes = CommandLine::kNoMinutes;
    LRESULT lResult = 0;
    if (CForwardedSwitches::OnMessage(m_hWnd, message, wParam, lParam, request, nMode, nMinutes, lResult)) {
        if (request == CForwardedSwitches::kExit) {
            SendMessage(WM_CLOSE);
        } else if (request == CForwardedSwitches::kShow) {
            ShowMainWindow();
            ::SetForegroundWindow(m_hWnd);
        } else if (request == CForwardedSwitches::kAct &&
                   m_action.ActAfterRelease(nMode, CForwardedSwitches::kReleaseKeys,
                                            CForwardedSwitches::kReleaseKeyCount, nMinutes)) {
            m_runOnce.Mark();
        }
        return lResult;
    }
    if (message == WM_TRAYNOTIFY) {
        OnTrayNotify(lParam);
    } else if (message == WM_HOTKEY) {
        int keys[CActionHotKey::kMaxKeys];
        m_action.ActAfterRelease(m_settings.nLock, keys, m_hotKey.HeldKeys(keys));
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CMonitorToolDlg::OnTrayNotify(LPARAM lParam)
{
    switch (m_tray.OnNotify(lParam)) {
    case CTrayIcon::kDoubleClick: {
        const int buttons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
        m_action.ActAfterRelease(m_settings.nLock, buttons, 3);
        break;
    }
    case ID_TRAY_SHOW:
        ShowMainWindow();
        break;
    case ID_TRAY_TURN_OFF: {
        // The click, or Enter, that chose the item may still be down.
        const int keys[] = {VK_LBUTTON, VK_RBUTTON, VK_RETURN};
        if (m_action.ActAfterRelease(m_settings.nLock, keys, 3)) m_runOnce.Mark();
        break;
    }
    case ID_TRAY_EXIT:
        SendMessage(WM_CLOSE);
        break;
    default:
        break;
    }
}

void CMonitorToolDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
    } else if (nID == SC_CLOSE) {
        ShowWindow(SW_HIDE);
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CMonitorToolDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMonitorToolDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

void CMonitorToolDlg::OnTurnOff()
{
    // A button acts on Enter's or Space's down stroke, or on the click's release; the
    // key's own release would wake the screen again.
    const int keys[] = {VK_RETURN, VK_SPACE, VK_LBUTTON};
    if (m_action.ActAfterRelease(m_settings.nLock, keys, 3)) m_runOnce.Mark();
}

void CMonitorToolDlg::OnAbout()
{
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}

void CMonitorToolDlg::OnDestroy()
{
    CDialog::OnDestroy();
    m_action.Lift();
    m_hotKey.Unregister();
    m_tray.Delete();
}

void CMonitorToolDlg::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    if (m_nHideGuard == 1) lpwndpos->flags &= ~SWP_SHOWWINDOW;
    CDialog::OnWindowPosChanging(lpwndpos);
}

void CMonitorToolDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTimerId) {
        if (m_idle.IsDue(m_settings)) DoAction();
        if (m_settings.nRunRun && m_runOnce.PointerMoved()) ::PostQuitMessage(0);
    }
    CDialog::OnTimer(nIDEvent);
}

void CMonitorToolDlg::OnSettings()
{
    SettingsValues chosen;
    if (!CSettingsApply::Ask(m_settings, m_strIniPath, chosen)) return;
    // The members follow at once; nothing reads them while a box is up but the hot
    // key's action, which reads the lock mode written before it.
    m_settings = chosen;
    // Timer 1 would end a run-once program at the first pointer move while a box is open.
    if (m_settings.nRunRun) KillTimer(kTimerId);
    CSettingsApply::Save(this, m_settings, m_place, m_strIniPath);
    if (m_settings.nRunRun) SetTimer(kTimerId, kTimerPeriodMs, nullptr);
    BuildTrayTip();
}
