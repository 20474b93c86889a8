#include "CFileFind.h"

BOOL CFileFind::FindFile(const WCHAR* pstrName)
{
    Close();
    WIN32_FIND_DATAW data;
    m_hFind = ::FindFirstFileW(pstrName ? pstrName : L"*.*", &data);
    return m_hFind != INVALID_HANDLE_VALUE;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE) ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
}
