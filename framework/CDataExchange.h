#pragma once
#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    // Thrown by Fail and caught by UpdateData: the exchange stops at the failing field.
    struct Failure {};

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control the next exchange and validation concern; answers its window.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Focus to the last prepared control (an edit's text all selected), then throw.
    [[noreturn]] void Fail();

private:
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// Binds a member window object to a dialog control the first time data is exchanged.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The check state: 0, 1 (or 2 for a three-state box).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The radio group from nIDC up to the next control that starts a group: the index of
// the marked button, -1 when none is; on writing, a value outside the group marks none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// An integer in an edit: an optional sign and digits, blanks around them allowed.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
// The selection index of a combo box, -1 with none; an index outside the list selects nothing.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Checked only when reading, against the control the exchange before it prepared.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
