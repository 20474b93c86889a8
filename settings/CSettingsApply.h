#pragma once
#include "AfxWin.h"
#include "CSettingsPlace.h"
#include "SettingsValues.h"

// What the "设置" button does around the settings dialog: shows the settings in
// force, and on OK writes them, says what run-once mode means, reports a file that
// could not be written, and makes or removes the shortcuts.
class CSettingsApply {
public:
    // The settings dialog, filled from settings (Desktop and AutoRun, which
    // only the file keeps, from strIniPath). TRUE on OK, with the chosen values.
    static BOOL Ask(const SettingsValues& settings, const CString& strIniPath, SettingsValues& chosen);
    // Writes settings where place says, with the run-once notice once the keys up to
    // RunRun are written; strIniPath follows a move to the per-user file. Then the
    // shortcuts. FALSE when the file was not written (the box said why).
    static BOOL Save(CWnd* pOwner, const SettingsValues& settings, CSettingsPlace& place, CString& strIniPath);

private:
    static void ReportSaveFailure(CWnd* pOwner, const wchar_t* pszPath, DWORD dwError);
};
