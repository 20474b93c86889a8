#pragma once
// ANSI string with the value semantics the dialogs rely on. Holds bytes in the
// system code page; lengths and positions count bytes, as the ANSI API does.
#include <cstddef>
#include <string>

// Before the class: windows.h maps LoadString to LoadStringA, the same way in every file.
#include <windows.h>

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch ? std::string(pch, nLength > 0 ? nLength : 0) : std::string()) {}
    CString(const std::string& s) : m_str(s) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator const char*() const { return m_str.c_str(); }
    const std::string& Str() const { return m_str; }

    CString& operator=(const char* psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(const char* psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_str + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_str); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

    int Find(char ch, int nStart = 0) const;
    int Find(const char* psz, int nStart = 0) const;
    int ReverseFind(char ch) const;
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;
    // Removes up to nCount characters at nIndex; clamps at the end of the string.
    int Delete(int nIndex, int nCount = 1);

    // Direct writing, as the ANSI API wants: GetBuffer grows to at least nMinLength
    // bytes plus a terminator; ReleaseBuffer(-1) takes the length up to the first zero.
    char* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

    // The string resource nID of the resource module; FALSE (and empty) when there is none.
    bool LoadString(unsigned int nID);

private:
    std::string m_str;
};
