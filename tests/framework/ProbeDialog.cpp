#include "ProbeDialog.h"

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(kButtonId, OnButton)
    ON_WM_DESTROY()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_TIMER()
END_MESSAGE_MAP()

LRESULT ProbeDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_script.OnMessage(*this, message, wParam)) return 0;
    if (m_traced.count(message)) m_log.push_back("WindowProc " + std::to_string(message));
    if (message == kAnswerMessage) return kAnswer;
    return CDialog::WindowProc(message, wParam, lParam);
}

void ProbeDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    ++m_nDataExchanges;
    DDX_Control(pDX, kLogoId, m_logo);
}

BOOL ProbeDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_log.push_back("OnInitDialog");
    if (m_nInitFocusId) ::SetFocus(GetDlgItem(m_nInitFocusId));
    m_script.Start(*this);
    if (m_nEndAtInit) EndDialog(m_nEndAtInit);
    return m_bInitResult;
}

void ProbeDialog::PostNcDestroy()
{
    m_log.push_back("PostNcDestroy");
}

void ProbeDialog::OnSysCommand(UINT nID, LPARAM lParam)
{
    m_log.push_back("OnSysCommand " + std::to_string(nID));
    CDialog::OnSysCommand(nID, lParam);
}

HCURSOR ProbeDialog::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hDragIcon);
}

void ProbeDialog::OnButton()
{
    m_log.push_back("OnButton");
}

void ProbeDialog::OnDestroy()
{
    m_log.push_back("OnDestroy");
    CDialog::OnDestroy();
}

void ProbeDialog::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    if (lpwndpos->flags & SWP_SHOWWINDOW) m_log.push_back("show requested");
    if (m_nHideGuard == 1) lpwndpos->flags &= ~SWP_SHOWWINDOW;
    CDialog::OnWindowPosChanging(lpwndpos);
}

void ProbeDialog::OnTimer(UINT_PTR nIDEvent)
{
    m_log.push_back("OnTimer " + std::to_string(nIDEvent));
    CDialog::OnTimer(nIDEvent);
}
