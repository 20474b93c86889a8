#pragma once
#include "CSettingsPlace.h"
#include "CString.h"
#include "SettingsValues.h"

class CWnd;

// The settings place's questions answered by the file system, and its writes done
// through CSettingsFile with the given values.
class CSettingsDisk : public CSettingsPlace::Files {
public:
    // pNoticeOwner: owns the run-once notice, shown once, after the keys before it
    // are written; null shows none.
    CSettingsDisk(const SettingsValues& values, CWnd* pNoticeOwner) : m_values(values), m_pNoticeOwner(pNoticeOwner) {}
    virtual ~CSettingsDisk() = default;

    bool Exists(const std::wstring& path) override;
    void MakeFolderFor(const std::wstring& path) override;
    unsigned long Write(const std::wstring& path) override;

    // The file beside the executable, strBeside, under the user's %APPDATA%\Velodusk;
    // empty when that folder is unknown.
    static CString PerUserPath(const CString& strBeside);
    // Both files of the executable at strModule and the rule over them.
    static CSettingsPlace PlaceFor(const CString& strModule);

private:
    const SettingsValues& m_values;
    CWnd* m_pNoticeOwner;
    BOOL m_bNoticeShown = FALSE;
};
