#pragma once
#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() : POINT() {}
    CPoint(int nX, int nY) : POINT() { x = nX; y = nY; }
    // The position a mouse message packs into its LPARAM: two signed 16-bit words,
    // so points left of or above the primary monitor stay negative.
    explicit CPoint(LPARAM dwPoint)
        : CPoint(static_cast<short>(LOWORD(dwPoint)), static_cast<short>(HIWORD(dwPoint))) {}
};
