#include "CFile.h"

#include "CFileException.h"

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
}

BOOL CFile::Open(const WCHAR* lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    Close();
    DWORD dwAccess = GENERIC_READ;
    switch (nOpenFlags & 3) {
    case modeWrite: dwAccess = GENERIC_WRITE; break;
    case modeReadWrite: dwAccess = GENERIC_READ | GENERIC_WRITE; break;
    default: break;
    }
    // Share modes name what others are denied; the API takes what they are allowed.
    DWORD dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    switch (nOpenFlags & 0x70) {
    case shareExclusive: dwShare = 0; break;
    case shareDenyWrite: dwShare = FILE_SHARE_READ; break;
    case shareDenyRead: dwShare = FILE_SHARE_WRITE; break;
    default: break;
    }
    m_hFile = ::CreateFileW(lpszFileName, dwAccess, dwShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile != INVALID_HANDLE_VALUE) return TRUE;
    if (pError) {
        pError->m_lOsError = static_cast<LONG>(::GetLastError());
        pError->m_cause = CFileException::OsErrorToCause(pError->m_lOsError);
    }
    return FALSE;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size)) ThrowOsError(static_cast<LONG>(::GetLastError()));
    return static_cast<ULONGLONG>(size.QuadPart);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    DWORD dwRead = 0;
    if (nCount != 0 && !::ReadFile(m_hFile, lpBuf, nCount, &dwRead, nullptr))
        ThrowOsError(static_cast<LONG>(::GetLastError()));
    return dwRead;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

void CFile::ThrowOsError(LONG lOsError)
{
    CFileException* e = new CFileException(CFileException::OsErrorToCause(lOsError), lOsError);
    e->m_bAutoDelete = TRUE;
    throw e;
}
