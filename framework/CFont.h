#pragma once
#include <windows.h>

#include "CHandleOwner.h"

inline BOOL WINAPI DeleteFontObject(HFONT hFont) { return ::DeleteObject(hFont); }

// Owns one GDI font: deleted by Release or with the object.
class CFont : public CHandleOwner<HFONT, DeleteFontObject> {
public:
    // FALSE, making nothing, while a font is held.
    // W: a face name such as the dialogs' Chinese one survives every code page.
    BOOL CreateFontIndirect(const LOGFONTW* lpLogFont) { return !IsOwning() && Own(::CreateFontIndirectW(lpLogFont)); }
};
