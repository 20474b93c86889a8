#include "CDialog.h"

#include "Afx.h"
#include "CWinThread.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    AFX_MSG_ENTRY(message == WM_INITDIALOG, *pResult = OnInitDialog())
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

INT_PTR CDialog::DoModal()
{
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!hOwner) {
        CWinThread* pThread = AfxGetThread();
        CWnd* pMain = pThread ? pThread->GetMainWnd() : nullptr;
        if (pMain && pMain != this && pMain->m_hWnd) hOwner = pMain->m_hWnd;
    }
    BOOL bEnableOwner = hOwner && ::IsWindowEnabled(hOwner);

    m_bEndModal = FALSE;
    m_nModalResult = -1;
    HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hOwner,
                                     &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
    if (!hWnd) return -1;
    if (bEnableOwner) ::EnableWindow(hOwner, FALSE);

    m_bInModalLoop = TRUE;
    if (!m_bEndModal)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);

    MSG msg;
    while (!m_bEndModal) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit for the loop outside, as a nested modal loop must.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!::IsDialogMessageA(hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_bInModalLoop = FALSE;

    if (bEnableOwner) ::EnableWindow(hOwner, TRUE);
    if (hOwner && ::GetActiveWindow() == hWnd) ::SetActiveWindow(hOwner);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DestroyWindow();
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEndModal = TRUE;
    if (m_hWnd) ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM)
{
    m_bWantsDefault = TRUE;
    return 0;
}

// Messages whose answer is the dialog procedure's own return value rather than
// DWLP_MSGRESULT.
BOOL CDialog::ReturnsValueDirectly(UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON:
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    if (!pDlg && message == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        pDlg->Attach(hWnd);
    }
    if (!pDlg) return FALSE;

    BOOL savedWantsDefault = pDlg->m_bWantsDefault;
    pDlg->m_bWantsDefault = FALSE;
    LRESULT result = message == WM_INITDIALOG ? pDlg->Dispatch(message, wParam, 0)
                                              : pDlg->Dispatch(message, wParam, lParam);
    BOOL wantsDefault = pDlg->m_bWantsDefault;
    pDlg->m_bWantsDefault = savedWantsDefault;

    if (message == WM_NCDESTROY) {
        pDlg->Detach();
        pDlg->EndAfterLastMessage();
        return FALSE;
    }
    if (message == WM_INITDIALOG) return static_cast<INT_PTR>(result);
    if (wantsDefault) return FALSE;
    if (ReturnsValueDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
