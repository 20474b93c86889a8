#pragma once
#include <windows.h>

#include "CHandleOwner.h"
#include "CUiText.h"

// Owns its menu handle: destroyed by Release or with the object.
class CMenu : public CHandleOwner<HMENU, ::DestroyMenu> {
public:
    // FALSE, making nothing, while a menu is held.
    BOOL CreatePopupMenu() { return !IsOwning() && Own(::CreatePopupMenu()); }
    // The item's text is string nIDText (none for a separator).
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, UINT nIDText = 0)
    { return ::AppendMenuW(GetSafeHandle(), nFlags, nIDNewItem, nIDText ? static_cast<const WCHAR*>(CUiText(nIDText)) : nullptr); }
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(GetSafeHandle(), uItem, fByPos); }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND hOwner, const RECT* lpRect = nullptr)
    { return ::TrackPopupMenu(GetSafeHandle(), nFlags, x, y, 0, hOwner, lpRect); }
};
