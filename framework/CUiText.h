#pragma once
#include <windows.h>

// One user-interface string, in the language chosen once at start, as UTF-16 for
// the W functions: display text never passes through the system's ANSI code page,
// which on a system that is not Chinese turns Chinese into "?".
class CUiText {
public:
    // Room for the longest message with a full path and the system's reason in it.
    static const int kCapacity = 600;

    CUiText() { m_sz[0] = 0; }
    explicit CUiText(UINT nID) { Load(nID); }

    // String nID in the user-interface language, else in Chinese, the language that
    // holds every string; empty, and FALSE, when neither has it.
    BOOL Load(UINT nID);
    // String nID as a wsprintf format, filled in with the arguments.
    void Format(UINT nID, ...);
    // Text after what is there, cut to the capacity.
    void Append(const WCHAR* psz);
    // The system's words for error dwError, on one line, and its number.
    void AppendSystemMessage(DWORD dwError);

    operator const WCHAR*() const { return m_sz; }
    int GetLength() const { return lstrlenW(m_sz); }

    // Chinese (PRC) for a user whose UI language is any Chinese, English (US) for
    // every other; decided at the first call.
    static LANGID Language();
    // Resource nID of the user-interface language, else of Chinese. Both lookups
    // name their language: FindResource's own fallback differs between Windows
    // versions and Wine, and would follow the thread's language, not the user's.
    static HRSRC Find(LPCWSTR lpType, UINT nID);

private:
    WCHAR m_sz[kCapacity];
};
