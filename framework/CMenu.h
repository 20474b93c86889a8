#pragma once
#include <windows.h>

#include "CHandleOwner.h"

// Owns its menu handle: destroyed by Release or with the object.
class CMenu : public CHandleOwner<HMENU, ::DestroyMenu> {
public:
    // FALSE, making nothing, while a menu is held.
    BOOL CreatePopupMenu() { return !IsOwning() && Own(::CreatePopupMenu()); }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr)
    { return ::AppendMenuA(GetSafeHandle(), nFlags, nIDNewItem, lpszNewItem); }
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(GetSafeHandle(), uItem, fByPos); }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND hOwner, const RECT* lpRect = nullptr)
    { return ::TrackPopupMenu(GetSafeHandle(), nFlags, x, y, 0, hOwner, lpRect); }
};
