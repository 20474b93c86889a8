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
    CString(const std::string& s) : m_str(s) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    operator const char*() const { return m_str.c_str(); }
    const std::string& Str() const { return m_str; }

    CString& operator=(const char* psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(const char* psz) { if (psz) m_str += psz; return *this; }

    // Direct writing, as the ANSI API wants: GetBuffer grows to at least nMinLength
    // bytes plus a terminator; ReleaseBuffer(-1) takes the length up to the first zero.
    char* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

    // The string resource nID of the resource module; FALSE (and empty) when there is none.
    bool LoadString(unsigned int nID);

private:
    std::string m_str;
};
