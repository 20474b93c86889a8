#pragma once
#include <windows.h>

#include "CHandleOwner.h"

inline BOOL WINAPI DeleteFontObject(HFONT hFont) { return ::DeleteObject(hFont); }

// Owns one GDI font: deleted by Release or with the object.
class CFont : public CHandleOwner<HFONT, DeleteFontObject> {
public:
    // FALSE, making nothing, while a font is held.
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont) { return !IsOwning() && Own(::CreateFontIndirectA(lpLogFont)); }
};
