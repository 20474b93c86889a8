#include "CDialog.h"

#include "Afx.h"
#include "CUiText.h"
#include "CWinThread.h"
#include "DialogInitList.h"

#include <commctrl.h>

#include <string>

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    AFX_MSG_ENTRY(message == WM_INITDIALOG, *pResult = OnInitDialog())
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {
// The atom of the system's dialog class, "#32770".
constexpr DWORD kDialogClassAtom = 0x8002;

// A dialog opened without a parent is owned by the main window's last active popup,
// so a box opened from another modal dialog disables that dialog, not only the main one.
HWND DefaultOwner(const CWnd* pDialog)
{
    CWinThread* pThread = AfxGetThread();
    CWnd* pMain = pThread ? pThread->GetMainWnd() : nullptr;
    if (!pMain || pMain == pDialog || !pMain->m_hWnd) return nullptr;
    HWND hOwner = ::GetLastActivePopup(pMain->m_hWnd);
    while (hOwner && (::GetWindowLongW(hOwner, GWL_STYLE) & WS_CHILD)) hOwner = ::GetParent(hOwner);
    return hOwner ? hOwner : pMain->m_hWnd;
}
}

INT_PTR CDialog::DoModal()
{
    // One window per object: a second run would attach the object to a second window.
    if (m_hWnd) return -1;
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : DefaultOwner(this);
    // The owner takes no input from the moment the dialog exists until it is hidden.
    BOOL bEnableOwner = hOwner && ::IsWindowEnabled(hOwner);
    if (bEnableOwner) ::EnableWindow(hOwner, FALSE);

    // With common controls 6 InitCommonControls registers nothing, so each class
    // a template holds is asked for by name; buttons, edits and combo boxes come
    // through the manifest's activation context.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&icc);
    m_bEndModal = FALSE;
    m_nModalResult = -1;
    // The template of the user-interface language, through the W function: the ANSI
    // one would pass the template's UTF-16 text through the system's code page.
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = CUiText::Find(MAKEINTRESOURCEW(5), m_nIDTemplate);  // RT_DIALOG
    const DLGTEMPLATE* pTemplate = hRes ? static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(hInst, hRes))) : nullptr;
    HWND hWnd = pTemplate ? ::CreateDialogIndirectParamW(hInst, pTemplate, hOwner, &CDialog::StaticDlgProc,
                                                         reinterpret_cast<LPARAM>(this)) : nullptr;
    if (!hWnd) {
        if (bEnableOwner) ::EnableWindow(hOwner, TRUE);
        return -1;
    }

    if (!m_bEndModal && m_hWnd)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);

    // The window may also go without EndDialog (a handler destroying it, its owner
    // destroyed): the detach at its last message ends the loop then.
    MSG msg;
    while (!m_bEndModal && m_hWnd) {
        if (::GetMessageW(&msg, nullptr, 0, 0) < 0 || !AfxPumpModalMessage(msg)) break;
    }

    // A dialog that went by itself leaves no active window: the owner takes over.
    BOOL bActivateOwner = m_hWnd ? ::GetActiveWindow() == m_hWnd : ::GetActiveWindow() == nullptr;
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (bEnableOwner && ::IsWindow(hOwner)) ::EnableWindow(hOwner, TRUE);
    if (bActivateOwner && hOwner && ::IsWindowVisible(hOwner)) ::SetActiveWindow(hOwner);
    if (m_hWnd) DestroyWindow();
    return m_nModalResult;
}

BOOL AfxPumpModalMessage(MSG& msg)
{
    if (msg.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return FALSE;
    }
    // W throughout, as the dialogs are: an ANSI pump would turn typed characters that
    // the system code page lacks into "?" on their way to a dialog's controls.
    HWND hRoot = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (!hRoot || ::GetClassLongW(hRoot, GCW_ATOM) != kDialogClassAtom || !::IsDialogMessageW(hRoot, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEndModal = TRUE;
    // Called from a message sent while the loop waits in GetMessage, the flag alone
    // would be seen only at the next posted message.
    if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CDataExchange::Failure&) {
        return FALSE;  // the failing field has shown its message and has the focus
    }
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

BOOL CDialog::ExecuteDlgInit(UINT nIDTemplate)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = CUiText::Find(MAKEINTRESOURCEW(RT_DIALOG_INIT_LIST), nIDTemplate);
    if (!hRes) return TRUE;  // no list: nothing to send
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    const BYTE* p = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    if (!p) return FALSE;
    DWORD size = ::SizeofResource(hInst, hRes);

    const DWORD kHeader = 8;  // WORD id, WORD message, DWORD length
    DWORD pos = 0;
    while (pos + 2 <= size) {
        WORD id = static_cast<WORD>(p[pos] | p[pos + 1] << 8);
        if (id == 0) return TRUE;
        if (size - pos < kHeader) return FALSE;
        WORD message = static_cast<WORD>(p[pos + 2] | p[pos + 3] << 8);
        DWORD length = p[pos + 4] | p[pos + 5] << 8 | p[pos + 6] << 16 | static_cast<DWORD>(p[pos + 7]) << 24;
        pos += kHeader;
        if (length > size - pos) return FALSE;
        if (message == DIALOG_INIT_CB_ADDSTRING16) message = CB_ADDSTRING;
        else if (message == DIALOG_INIT_LB_ADDSTRING16) message = LB_ADDSTRING;
        // The bytes up to their first zero, as a string the control copies; the
        // resource compiler stores the list's text as UTF-8.
        DWORD n = 0;
        while (n < length && p[pos + n]) ++n;
        std::wstring text(n, L'\0');
        const int nUnits = n ? ::MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<LPCSTR>(p + pos), static_cast<int>(n),
                                                     &text[0], static_cast<int>(n)) : 0;
        text.resize(static_cast<size_t>(nUnits));
        ::SendDlgItemMessageW(m_hWnd, id, message, 0, reinterpret_cast<LPARAM>(text.c_str()));
        pos += length;
    }
    return FALSE;  // ran out without the closing 0
}

// The dialog manager calls here first with WM_INITDIALOG. The dialog is then subclassed:
// every later message reaches the object through the window procedure of CWnd, which
// answers directly and, for default processing, calls the dialog manager's own window
// procedure. That calls this procedure again, which answers FALSE so the dialog manager
// does its default processing there and then: Default() in a handler is synchronous.
INT_PTR CALLBACK CDialog::StaticDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG || FromHandlePermanent(hWnd)) return FALSE;
    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    if (!pDlg) return FALSE;
    pDlg->Attach(hWnd);
    pDlg->m_pfnSuper = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    pDlg->CenterWindow();
    pDlg->ExecuteDlgInit(pDlg->m_nIDTemplate);
    // WM_INITDIALOG itself is answered here, and its default processing is this
    // procedure's FALSE: the handler must not see the creation parameter.
    LRESULT result = pDlg->Dispatch(message, wParam, 0);
    return static_cast<INT_PTR>(result);
}
