#include "CString.h"

#include <cwchar>

#include <windows.h>

#include "Afx.h"

namespace {
int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
}

wchar_t* CString::GetBuffer(int nMinLength)
{
    size_t want = static_cast<size_t>(nMinLength > GetLength() ? nMinLength : GetLength());
    m_str.resize(want);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) nNewLength = static_cast<int>(wcsnlen(m_str.c_str(), m_str.size()));
    m_str.resize(static_cast<size_t>(Clamp(nNewLength, 0, GetLength())));
}

bool CString::LoadString(unsigned int nID)
{
    // LoadStringW truncates silently: grow until the text leaves room to spare.
    for (int nSize = 256;; nSize *= 2) {
        int n = ::LoadStringW(AfxGetResourceHandle(), nID, GetBuffer(nSize), nSize);
        if (n < nSize - 1 || nSize >= 65536) {
            ReleaseBuffer(n > 0 ? n : 0);
            return n > 0;
        }
    }
}
