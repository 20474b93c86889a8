#include "CUiText.h"

#include <stdarg.h>

#include "Afx.h"

namespace {
const LANGID kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
// A string table block holds 16 strings, each a WORD length and that many UTF-16
// units without a terminator; block n holds the strings 16 * (n - 1) to 16 * n - 1.
const UINT kBlockStrings = 16;

HRSRC FindIn(LPCWSTR lpType, UINT nID, LANGID lang)
{
    return ::FindResourceExW(AfxGetResourceHandle(), lpType, MAKEINTRESOURCEW(nID), lang);
}

// String nID of one language: its units and their count, or nullptr.
const WCHAR* StringIn(UINT nID, LANGID lang, int* pnLength)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = FindIn(MAKEINTRESOURCEW(6), nID / kBlockStrings + 1, lang);  // RT_STRING
    const WCHAR* p = hRes ? static_cast<const WCHAR*>(::LockResource(::LoadResource(hInst, hRes))) : nullptr;
    if (!p) return nullptr;
    const WCHAR* pEnd = p + ::SizeofResource(hInst, hRes) / sizeof(WCHAR);
    for (UINT i = nID % kBlockStrings; i > 0 && p < pEnd; --i) p += 1 + *p;
    if (p >= pEnd || *p == 0 || *p > pEnd - p - 1) return nullptr;
    *pnLength = *p;
    return p + 1;
}
}

LANGID CUiText::Language()
{
    static LANGID s_lang = 0;
    if (!s_lang) s_lang = PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_CHINESE ? kChinese : kEnglish;
    return s_lang;
}

HRSRC CUiText::Find(LPCWSTR lpType, UINT nID)
{
    HRSRC hRes = FindIn(lpType, nID, Language());
    return hRes ? hRes : FindIn(lpType, nID, kChinese);
}

BOOL CUiText::Load(UINT nID)
{
    m_sz[0] = 0;
    int n = 0;
    const WCHAR* p = StringIn(nID, Language(), &n);
    if (!p) p = StringIn(nID, kChinese, &n);
    if (!p) return FALSE;
    if (n > kCapacity - 1) n = kCapacity - 1;
    for (int i = 0; i < n; ++i) m_sz[i] = p[i];
    m_sz[n] = 0;
    return TRUE;
}

void CUiText::Format(UINT nID, ...)
{
    CUiText format(nID);
    va_list args;
    va_start(args, nID);
    // wsprintf writes at most 1024 characters; the formats here stay far below the capacity.
    ::wvsprintfW(m_sz, format, args);
    va_end(args);
}

void CUiText::Append(const WCHAR* psz)
{
    int n = GetLength();
    while (*psz && n < kCapacity - 1) m_sz[n++] = *psz++;
    m_sz[n] = 0;
}

void CUiText::AppendSystemMessage(DWORD dwError)
{
    const int nStart = GetLength();
    int n = nStart + static_cast<int>(::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                                       dwError, 0, m_sz + nStart, kCapacity - nStart, nullptr));
    // The system's texts end in a line break, and some hold one.
    for (int i = nStart; i < n; ++i) {
        if (m_sz[i] == L'\r' || m_sz[i] == L'\n') m_sz[i] = L' ';
    }
    while (n > nStart && m_sz[n - 1] == L' ') --n;
    m_sz[n] = 0;
    WCHAR szNumber[16];
    ::wsprintfW(szNumber, n > nStart ? L" (%lu)" : L"%lu", dwError);
    Append(szNumber);
}
