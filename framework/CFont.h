#pragma once
#include <windows.h>

// Owns one GDI font: deleted by DeleteObject or with the object.
class CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    HFONT m_hObject = nullptr;

    operator HFONT() const { return m_hObject; }
    HFONT GetSafeHandle() const { return m_hObject; }

    BOOL Attach(HFONT hFont);
    HFONT Detach();
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont)
    { return !m_hObject && Attach(::CreateFontIndirectA(lpLogFont)); }
    int GetLogFont(LOGFONTA* pLogFont) const
    { return ::GetObjectA(m_hObject, sizeof(LOGFONTA), pLogFont); }
    BOOL DeleteObject();
};
