#pragma once
#include "CString.h"
#include "SettingsValues.h"

#include <functional>

// The settings file, read and written only through the system's profile functions,
// so their rules on case, blanks and non-numeric text are the file's rules.
class CSettingsFile {
public:
    explicit CSettingsFile(const CString& strPath) : m_strPath(strPath) {}

    // nDefault when the file, section or key is missing. An empty path (the
    // executable's own path was not available) reads nothing: the profile
    // functions would fall back to win.ini.
    int GetInt(const char* pszKey, int nDefault) const;
    void WriteInt(const char* pszKey, int nValue) const;
    // All eight keys, in the order a first-time file lists them. afterRunRun runs
    // between the RunRun and TimeSKM writes: the run-once notice shows there.
    void WriteAll(const SettingsValues& values, const std::function<void()>& afterRunRun = nullptr) const;

private:
    CString m_strPath;
};
