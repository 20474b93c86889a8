#pragma once
#include "CString.h"
#include "SettingsValues.h"

// The settings file, read and written only through the system's profile functions,
// so their rules on case, blanks and non-numeric text are the file's rules.
class CSettingsFile {
public:
    explicit CSettingsFile(const CString& strPath) : m_strPath(strPath) {}

    const CString& GetPath() const { return m_strPath; }
    // nDefault when the file, section or key is missing. An empty path (the
    // executable's own path was not available) reads nothing: the profile
    // functions would fall back to win.ini.
    int GetInt(const char* pszKey, int nDefault) const;
    // Whether the file can be written, or made where it is missing. Finding out
    // changes no file: an existing one is only opened, a missing one is made and
    // deleted by the system as its handle closes. FALSE leaves the reason in
    // GetLastError.
    BOOL CanWrite() const;
    BOOL WriteInt(const char* pszKey, int nValue) const;
    // The keys kAll[nFirst] up to before kAll[nEnd], in that order; FALSE, with the
    // reason in GetLastError, at the first one not written.
    BOOL Write(const SettingsValues& values, int nFirst = 0, int nEnd = SettingsKeys::kCount) const;

    // Where the settings of the file beside the executable, strBeside, go when that
    // cannot be written (a protected or read-only folder, a read-only file): the
    // same name in the user's %APPDATA%\Velodusk. A start reads that file once it
    // exists; OK writes it, its folder made first.
    static CString PathToRead(const CString& strBeside);
    static CString PathToWrite(const CString& strBeside);

private:
    static CString PerUserPath(const CString& strBeside, BOOL bMakeFolder);

    CString m_strPath;
};
