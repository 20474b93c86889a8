#pragma once
#include <windows.h>

#include "CDataExchange.h"
#include "CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    // Creates the dialog modeless, shows it with a SWP_SHOWWINDOW position change (a
    // WM_WINDOWPOSCHANGING handler may veto that), runs its own loop until EndDialog,
    // WM_QUIT or the window's destruction, then destroys the window. -1 when the object
    // already has a window or the dialog ended without EndDialog.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // Sends the template's initialisation list to the controls; FALSE for a damaged list.
    BOOL ExecuteDlgInit(UINT nIDTemplate);
    DECLARE_MESSAGE_MAP()

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    BOOL m_bEndModal = FALSE;
    INT_PTR m_nModalResult = -1;
};

// Handles one retrieved message as a modal loop does, for the modal loop itself and
// for any wait that must keep the thread's windows answering: a dialog's keys (Tab,
// Enter, Esc) go to the dialog the message is for, whichever loop took it. FALSE for
// WM_QUIT, which it posts again for the loop outside, as a nested loop must.
BOOL AfxPumpModalMessage(MSG& msg);
