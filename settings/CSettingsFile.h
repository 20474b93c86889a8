#pragma once
#include "CString.h"
#include "SettingsValues.h"

// The settings file, read and written only through the system's profile functions,
// so their rules on case, blanks and non-numeric text are the file's rules. The W
// functions keep a path of any characters; a file they make is plain text as ever.
class CSettingsFile {
public:
    explicit CSettingsFile(const CString& strPath) : m_strPath(strPath) {}

    const CString& GetPath() const { return m_strPath; }
    // nDefault when the file, section or key is missing. An empty path (the
    // executable's own path was not available) reads nothing: the profile
    // functions would fall back to win.ini.
    int GetInt(const wchar_t* pszKey, int nDefault) const;
    BOOL WriteInt(const wchar_t* pszKey, int nValue) const;
    // The keys kAll[nFirst] up to before kAll[nEnd], in that order; FALSE, with the
    // reason in GetLastError, at the first one not written.
    BOOL Write(const SettingsValues& values, int nFirst = 0, int nEnd = SettingsKeys::kCount) const;

private:
    CString m_strPath;
};
