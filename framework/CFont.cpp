#include "CFont.h"

BOOL CFont::Attach(HFONT hFont)
{
    if (!hFont || m_hObject) return FALSE;
    m_hObject = hFont;
    return TRUE;
}

HFONT CFont::Detach()
{
    HFONT hFont = m_hObject;
    m_hObject = nullptr;
    return hFont;
}

BOOL CFont::DeleteObject()
{
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}
