#pragma once
#include <windows.h>

// Looks for files by name or wildcard; only the look-up the program needs.
class CFileFind {
public:
    CFileFind() = default;
    ~CFileFind() { Close(); }
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // TRUE when at least one file matches.
    BOOL FindFile(const WCHAR* pstrName);
    void Close();

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
};
