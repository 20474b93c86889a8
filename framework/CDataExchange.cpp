#include "CDataExchange.h"


#include "Afx.h"
#include "AfxRes.h"
#include "CUiText.h"
#include "CWnd.h"
#include "IntegerText.h"

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    m_bEditLastControl = FALSE;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl) {
        // Through the dialog manager, so the default button follows the focus.
        ::SendMessageW(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hWndLastControl), TRUE);
        if (m_bEditLastControl) ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw Failure();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd) rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = static_cast<int>(::SendMessageW(hWnd, BM_GETCHECK, 0, 0));
    else ::SendMessageW(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND h = hWnd; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hWnd && (::GetWindowLongW(h, GWL_STYLE) & WS_GROUP)) break;
        if (!(::SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageW(h, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = index;
        } else {
            ::SendMessageW(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        WCHAR szText[16];  // "-2147483648" and its terminator
        ::wsprintfW(szText, L"%d", value);
        ::SetWindowTextW(hWnd, szText);
        return;
    }
    WCHAR szText[64];
    const int n = ::GetWindowTextW(hWnd, szText, 64);
    // A unit beyond ASCII is no digit, blank or sign: it becomes a byte that is none
    // either, rather than its low byte, which could be one.
    uint8_t bytes[64];
    for (int i = 0; i < n; ++i) bytes[i] = szText[i] < 0x80 ? static_cast<uint8_t>(szText[i]) : 0xFF;
    // Text too long for the buffer is no integer of 32 bits either.
    if (n >= 64 - 1 || !IntegerText::Parse(bytes, static_cast<size_t>(n), value)) {
        AfxMessageBox(AFX_IDP_PARSE_INT, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        index = static_cast<int>(::SendMessageW(hWnd, CB_GETCURSEL, 0, 0));
        return;
    }
    LRESULT count = ::SendMessageW(hWnd, CB_GETCOUNT, 0, 0);
    ::SendMessageW(hWnd, CB_SETCURSEL, index >= 0 && index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    CUiText text;
    text.Format(AFX_IDP_PARSE_INT_RANGE, minVal, maxVal);
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    pDX->Fail();
}
