#include "CFileFind.h"

BOOL CFileFind::FindFile(const char* pstrName)
{
    Close();
    WIN32_FIND_DATAA data;
    m_hFind = ::FindFirstFileA(pstrName ? pstrName : "*.*", &data);
    return m_hFind != INVALID_HANDLE_VALUE;
}

void CFileFind::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE) ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
}
