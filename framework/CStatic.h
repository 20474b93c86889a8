#pragma once
#include <windows.h>

#include "CWnd.h"

// A static control: the base for controls that draw themselves over a dialog's static.
class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    CStatic() = default;
};
