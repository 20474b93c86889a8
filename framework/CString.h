#pragma once
// UTF-16 string with the value semantics the dialogs rely on; lengths and positions
// count UTF-16 units, as the W functions do.
#include <cstddef>
#include <string>

// Before the class: windows.h maps LoadString to LoadStringW, the same way in every file.
#include <windows.h>

class CString {
public:
    CString() = default;
    CString(const wchar_t* psz) : m_str(psz ? psz : L"") {}
    CString(const std::wstring& s) : m_str(s) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    operator const wchar_t*() const { return m_str.c_str(); }
    const std::wstring& Str() const { return m_str; }

    CString& operator=(const wchar_t* psz) { m_str = psz ? psz : L""; return *this; }
    CString& operator+=(const wchar_t* psz) { if (psz) m_str += psz; return *this; }

    // Direct writing, as the W functions want: GetBuffer grows to at least nMinLength
    // units plus a terminator; ReleaseBuffer(-1) takes the length up to the first zero.
    wchar_t* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

    // The string resource nID of the resource module; FALSE (and empty) when there is none.
    bool LoadString(unsigned int nID);

private:
    std::wstring m_str;
};
