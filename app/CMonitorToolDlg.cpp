#include "CMonitorToolDlg.h"

#include "Afx.h"
#include "CAboutDlg.h"
#include "CSettingsDlg.h"
#include "CSettingsDisk.h"
#include "CSettingsFile.h"
#include "CommandLine.h"
#include "FullScreenCheck.h"
#include "HotKeyText.h"
#include "IdleCheck.h"
#include "IniPath.h"
#include "ModulePath.h"
#include "Resource.h"
#include "UpdateShortcut.h"

namespace {
constexpr UINT kTimerPeriodMs = 1000;
// Switches handed over, posted to itself so that the sender ends at once.
constexpr UINT WM_SWITCHES = WM_USER + 101;
constexpr UINT kTrayMenuFlags = TPM_RIGHTALIGN | TPM_NONOTIFY | TPM_RETURNCMD;

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

// A shell folder's path with pszTail appended; FALSE when the folder cannot be looked
// up or the path would not fit: appending to a failed look-up would name a relative
// or garbage path.
BOOL FolderFile(HWND hWnd, int nFolder, const wchar_t* pszTail, CString& strPath)
{
    WCHAR szFolder[Shortcut::kPathCapacity] = L"";
    return SUCCEEDED(::SHGetFolderPathW(hWnd, nFolder, nullptr, SHGFP_TYPE_CURRENT, szFolder)) &&
           Shortcut::JoinPath(szFolder, pszTail, strPath);
}
}

UINT CMonitorToolDlg::s_uTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");

CMonitorToolDlg::CMonitorToolDlg(CWnd* pParent)
    : CDialog(IDD_MONITORTOOL_DIALOG, pParent),
      m_hIcon(LoadMainIcon(SM_CXICON, SM_CYICON)), m_hSmallIcon(LoadMainIcon(SM_CXSMICON, SM_CYSMICON)),
      m_ptAtAction(), m_nHideGuard(1), m_trayData(), m_bIdleActed(FALSE), m_dwIdleActedInput(0)
{
    // Run-once mode ends when the pointer leaves where it was at the last action;
    // before any action that is where it was when the program started.
    if (!::GetCursorPos(&m_ptAtAction)) m_ptAtAction = POINT();
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
    }
    if (m_pRunningCopy) m_pRunningCopy->Publish(m_settings.nRunRun ? nullptr : m_hWnd);

    // A missing or unreadable logo is not reported; the control then paints nothing.
    // The area is in dialog units and grows with the DPI; the picture keeps its
    // own pixels (a pixel drawing scaled by 1.25 or 1.5 gets uneven pixels) and
    // sits in the middle of the area where it is smaller.
    RECT rcArea;
    ::GetWindowRect(m_picture.m_hWnd, &rcArea);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcArea), 2);
    if (m_picture.Load((strDirectory + kLogoFileName).c_str())) {
        RECT rcPicture;
        m_picture.GetClientRect(&rcPicture);
        m_picture.SetWindowPos(nullptr, LogoStart(rcArea.left, rcArea.right, rcPicture.right),
                               LogoStart(rcArea.top, rcArea.bottom, rcPicture.bottom), 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_picture.Draw();
    }

    BuildTrayTip();
    if (m_settings.nRunRun) DoAction();
    else SetUpTray();

    SetTimer(kTimerId, kTimerPeriodMs, nullptr);
    return TRUE;
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
}

void CMonitorToolDlg::ShowMainWindow()
{
    ++m_nHideGuard;
    ShowWindow(SW_SHOW);
}

void CMonitorToolDlg::DoActionAfterRelease(const int* pKeys, int nKeys)
{
    m_action.ActAfterRelease(m_settings.nLock, pKeys, nKeys);
}

void CMonitorToolDlg::OnHotKey()
{
    const int keys[] = {static_cast<int>(HotKeyText::VirtualKey(m_settings.nAccKey)), VK_CONTROL};
    DoActionAfterRelease(keys, m_settings.nAccCtrl ? 2 : 1);
}

void CMonitorToolDlg::DoAction()
{
    m_action.Act(m_settings.nLock);
    ::GetCursorPos(&m_ptAtAction);
}

BOOL CMonitorToolDlg::RegisterActionHotKey(UINT nModifiers, int nKeyIndex)
{
    return ::RegisterHotKey(m_hWnd, kHotKeyId, m_settings.nAccCtrl ? nModifiers : 0, HotKeyText::VirtualKey(nKeyIndex));
}

CString CMonitorToolDlg::HotKeyName(int nKeyIndex) const
{
    return HotKeyText::HotKeyName(m_settings.nAccCtrl != 0, nKeyIndex);
}

void CMonitorToolDlg::BuildTrayTip()
{
    BOOL bRegistered = FALSE;
    if (!m_settings.nRunRun) {
        bRegistered = RegisterActionHotKey(MOD_CONTROL, m_settings.nAccKey);
        if (!bRegistered) MessageBox(IDS_HOTKEY_CONFLICT, IDS_NOTICE, MB_ICONERROR | MB_OK);
    }
    CUiText tip(IDS_TRAY_TIP);
    tip.Append(HotKeyText::TipTail(m_settings.nRunRun != 0, bRegistered != FALSE, m_settings.nAccCtrl != 0,
                                   m_settings.nAccKey).c_str());
    HotKeyText::CopyTip(static_cast<const WCHAR*>(tip), m_trayData.szTip);
    static_assert(sizeof(m_trayData.szTip) / sizeof(WCHAR) >= HotKeyText::kTipCapacity, "tip buffer");
}

void CMonitorToolDlg::SetUpTray()
{
    m_trayMenu.CreatePopupMenu();
    m_trayMenu.AppendMenu(MF_STRING, ID_TRAY_SHOW, IDS_TRAY_SHOW);
    m_trayMenu.AppendMenu(MF_STRING, ID_TRAY_TURN_OFF, IDS_TRAY_TURN_OFF);
    m_trayMenu.AppendMenu(MF_SEPARATOR);
    m_trayMenu.AppendMenu(MF_STRING, ID_TRAY_EXIT, IDS_TRAY_EXIT);

    m_trayData.cbSize = NOTIFYICONDATAW_V1_SIZE;
    m_trayData.hWnd = m_hWnd;
    m_trayData.uID = kTrayIconId;
    m_trayData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_trayData.uCallbackMessage = WM_TRAYNOTIFY;
    m_trayData.hIcon = m_hSmallIcon;
    ::Shell_NotifyIconW(NIM_ADD, &m_trayData);

    // Elevated, the icon would not come back after Explorer restarts.
    AfxAllowLowerIntegrityMessage(m_hWnd, s_uTaskbarCreated);
}

LRESULT CMonitorToolDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAYNOTIFY) OnTrayNotify(lParam);
    // The shell announces a new notification area (Explorer restarted) to every
    // top-level window; the icon it had is gone. No icon was added in run-once mode.
    else if (message == s_uTaskbarCreated && s_uTaskbarCreated && m_trayData.cbSize)
        ::Shell_NotifyIconW(NIM_ADD, &m_trayData);
    else if (message == WM_HOTKEY) OnHotKey();
    else if (message == WM_COPYDATA) {
        unsigned nFlags = 0;
        if (!CRunningCopy::ReadForwarded(lParam, nFlags)) return FALSE;
        PostMessage(WM_SWITCHES, nFlags);
        return TRUE;
    } else if (message == WM_SWITCHES) {
        OnSwitches(static_cast<unsigned>(wParam));
        return 0;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CMonitorToolDlg::OnTrayNotify(LPARAM lParam)
{
    if (lParam == WM_LBUTTONDBLCLK) {
        const int buttons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
        DoActionAfterRelease(buttons, 3);
        return;
    }
    if (lParam != WM_RBUTTONUP) return;

    POINT pt;
    ::GetCursorPos(&pt);
    m_trayMenu.SetDefaultItem(ID_TRAY_TURN_OFF, FALSE);
    // A notification-icon menu closes on a click elsewhere and takes its keys only
    // when its owner is the foreground window; the null message afterwards lets the
    // next right-click open it again at once.
    ::SetForegroundWindow(m_hWnd);
    const UINT nCommand = m_trayMenu.TrackPopupMenu(kTrayMenuFlags, pt.x, pt.y, m_hWnd);
    PostMessage(WM_NULL);
    switch (nCommand) {
    case ID_TRAY_SHOW:
        ShowMainWindow();
        break;
    case ID_TRAY_TURN_OFF:
        DoAction();
        break;
    case ID_TRAY_EXIT:
        SendMessage(WM_CLOSE);
        break;
    default:
        break;
    }
}

void CMonitorToolDlg::OnSwitches(unsigned nFlags)
{
    if (nFlags & CommandLine::kExit) {
        SendMessage(WM_CLOSE);
        return;
    }
    const int nMode = CommandLine::LockMode(nFlags);
    if (nMode < 0) {
        // A plain second start: this copy's window instead of a second icon.
        ShowMainWindow();
        ::SetForegroundWindow(m_hWnd);
        return;
    }
    // With the release wait and settle of any trigger: the click or Enter that started
    // the other process may still be down.
    const int keys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_RETURN};
    if (m_action.ActAfterRelease(nMode, keys, 4)) ::GetCursorPos(&m_ptAtAction);
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
    DoAction();
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
    ::UnregisterHotKey(m_hWnd, kHotKeyId);
    // In run-once mode no icon was added and the record holds only its tip.
    if (m_trayData.cbSize) ::Shell_NotifyIconW(NIM_DELETE, &m_trayData);
}

void CMonitorToolDlg::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    if (m_nHideGuard == 1) lpwndpos->flags &= ~SWP_SHOWWINDOW;
    CDialog::OnWindowPosChanging(lpwndpos);
}

void CMonitorToolDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (m_settings.nTimeSKM) {
        LASTINPUTINFO lii = {sizeof(LASTINPUTINFO), 0};
        ::GetLastInputInfo(&lii);
        // Once per idle period: a block lifted without keyboard or mouse input (from
        // the Ctrl+Alt+Del screen) must not come back at the next tick. Full-screen
        // work in front (a film, a presentation) holds the action off until it goes.
        if ((!m_bIdleActed || lii.dwTime != m_dwIdleActedInput) &&
            IdleCheck::ShouldAct(lii.dwTime, ::GetTickCount(), m_settings.nTimeSKMValue) && !IsFullScreenInFront()) {
            m_bIdleActed = TRUE;
            m_dwIdleActedInput = lii.dwTime;
            DoAction();
        }
    }
    if (m_settings.nRunRun) {
        POINT pt;
        if (::GetCursorPos(&pt) && (pt.x != m_ptAtAction.x || pt.y != m_ptAtAction.y)) ::PostQuitMessage(0);
    }
    CDialog::OnTimer(nIDEvent);
}

void CMonitorToolDlg::OnSettings()
{
    CSettingsDlg dlg;
    dlg.m_values = m_settings;
    // Desktop and AutoRun come from the file alone; without one they start unticked.
    dlg.m_values.nDesktop = dlg.m_values.nAutoRun = 0;
    CFileFind finder;
    if (finder.FindFile(m_strIniPath)) {
        CSettingsFile file(m_strIniPath);
        dlg.m_values.nDesktop = file.GetInt(SettingsKeys::kDesktop, 0);
        dlg.m_values.nAutoRun = file.GetInt(SettingsKeys::kAutoRun, 0);
    }
    if (dlg.DoModal() != IDOK) return;

    // The members follow at once; nothing reads them while a box is up but the hot
    // key's action, which reads the lock mode written before it.
    m_settings = dlg.m_values;
    // Timer 1 would end a run-once program at the first pointer move while a box is open.
    if (m_settings.nRunRun) KillTimer(kTimerId);
    CSettingsDisk disk(m_settings, this);
    const DWORD dwError = m_place.Save(disk);
    if (!dwError) {
        m_strIniPath = m_place.Path();
    } else {
        CUiText text(IDS_SAVE_FAILED);
        text.Append(m_place.FailedPath().c_str());
        text.Append(L"\n");
        WCHAR* pszReason = nullptr;
        if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, dwError, 0, reinterpret_cast<WCHAR*>(&pszReason), 0, nullptr)) {
            text.Append(pszReason);
            ::LocalFree(pszReason);
        }
        MessageBox(text, IDS_NOTICE, MB_ICONERROR | MB_OK);
    }
    if (m_settings.nRunRun) SetTimer(kTimerId, kTimerPeriodMs, nullptr);

    if (!m_settings.nRunRun) ::UnregisterHotKey(m_hWnd, kHotKeyId);
    BuildTrayTip();
    ::Shell_NotifyIconW(NIM_MODIFY, &m_trayData);

    // An earlier version kept the start-up shortcut in a "启动" subfolder of the
    // programs folder, the start-up folder's name on disk on Chinese XP only; there
    // both are one file, so it goes only when unwanted.
    CString strLink, strLegacy = Shortcut::kLegacyStartupFolder;
    strLegacy += L"\\";
    strLegacy += Shortcut::kFileName;
    if (!m_settings.nAutoRun && FolderFile(m_hWnd, CSIDL_PROGRAMS, strLegacy, strLink)) ::DeleteFileW(strLink);
    UpdateFolderShortcut(CSIDL_STARTUP, Shortcut::kFileName, m_settings.nAutoRun != 0);
    UpdateFolderShortcut(CSIDL_DESKTOP, Shortcut::kFileName, m_settings.nDesktop != 0);
}

void CMonitorToolDlg::UpdateFolderShortcut(int nFolder, const wchar_t* pszTail, BOOL bWanted)
{
    CString strLink;
    if (FolderFile(m_hWnd, nFolder, pszTail, strLink)) UpdateShortcut(bWanted, strLink);
}

void CMonitorToolDlg::UpdateShortcut(BOOL bCreate, CString strLinkPath)
{
    ::UpdateShortcut(bCreate, strLinkPath);
}
