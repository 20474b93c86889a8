#pragma once
#include <windows.h>

#include "CDC.h"

class CWnd;

// BeginPaint for the life of the object, EndPaint on destruction.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
