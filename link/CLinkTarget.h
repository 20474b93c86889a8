#pragma once
#include "AfxWin.h"

// A link's target: the text itself, handed to the shell to open.
class CLinkTarget : public CString {
public:
    CLinkTarget(LPCWSTR lpszText = nullptr) : CString(lpszText) {}
    CLinkTarget& operator=(LPCWSTR lpszText)
    {
        CString::operator=(lpszText);
        return *this;
    }

    // The shell's "open" of the text; NULL without calling the shell when it is empty.
    // Results of 32 or less are the shell's failure codes.
    virtual HINSTANCE OpenTarget();
};
