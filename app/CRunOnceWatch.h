#pragma once
#include <windows.h>

// Run-once mode ends when the pointer leaves where it was at the last action; before
// any action that is where it was when the program started.
class CRunOnceWatch {
public:
    CRunOnceWatch() { Mark(); }
    // The pointer's place now counts as the place of the last action; kept when the
    // pointer cannot be read (another desktop has the input).
    void Mark()
    {
        POINT pt;
        if (::GetCursorPos(&pt)) m_ptAtAction = pt;
    }
    BOOL PointerMoved() const
    {
        POINT pt;
        return ::GetCursorPos(&pt) && (pt.x != m_ptAtAction.x || pt.y != m_ptAtAction.y);
    }

private:
    POINT m_ptAtAction = {};
};
