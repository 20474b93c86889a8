#pragma once
#include <windows.h>

#include "CWnd.h"

// A static control: the base for controls that draw themselves over a dialog's static.
class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() = default;

    HICON SetIcon(HICON hIcon)
    { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0)); }
    HICON GetIcon() const
    { return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_GETICON, 0, 0)); }
};
