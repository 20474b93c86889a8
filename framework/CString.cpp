#include "CString.h"

#include <cstring>

#include <windows.h>

#include "Afx.h"

namespace {
int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
int ToIndex(std::string::size_type pos) { return pos == std::string::npos ? -1 : static_cast<int>(pos); }
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength()) return -1;
    return ToIndex(m_str.find(ch, static_cast<size_t>(nStart)));
}

int CString::Find(const char* psz, int nStart) const
{
    if (!psz || nStart < 0 || nStart > GetLength()) return -1;
    return ToIndex(m_str.find(psz, static_cast<size_t>(nStart)));
}

int CString::ReverseFind(char ch) const { return ToIndex(m_str.rfind(ch)); }

CString CString::Left(int nCount) const
{
    return CString(m_str.substr(0, static_cast<size_t>(Clamp(nCount, 0, GetLength()))));
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = Clamp(nFirst, 0, GetLength());
    nCount = Clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Right(int nCount) const
{
    nCount = Clamp(nCount, 0, GetLength());
    return CString(m_str.substr(static_cast<size_t>(GetLength() - nCount)));
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex >= 0 && nIndex < GetLength() && nCount > 0) {
        nCount = Clamp(nCount, 0, GetLength() - nIndex);
        m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    }
    return GetLength();
}

char* CString::GetBuffer(int nMinLength)
{
    size_t want = static_cast<size_t>(nMinLength > GetLength() ? nMinLength : GetLength());
    m_str.resize(want);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) nNewLength = static_cast<int>(strnlen(m_str.c_str(), m_str.size()));
    m_str.resize(static_cast<size_t>(Clamp(nNewLength, 0, GetLength())));
}

bool CString::LoadString(unsigned int nID)
{
    // LoadStringA truncates silently: grow until the text leaves room to spare.
    for (int nSize = 256;; nSize *= 2) {
        int n = ::LoadStringA(AfxGetResourceHandle(), nID, GetBuffer(nSize), nSize);
        if (n < nSize - 1 || nSize >= 65536) {
            ReleaseBuffer(n > 0 ? n : 0);
            return n > 0;
        }
    }
}
