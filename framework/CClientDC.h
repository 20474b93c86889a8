#pragma once
#include <windows.h>

#include "CDC.h"

class CWnd;

// GetDC for the life of the object, ReleaseDC on destruction; m_hDC is NULL when
// GetDC failed.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
