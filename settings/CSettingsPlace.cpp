#include "CSettingsPlace.h"

void CSettingsPlace::Find(Files& files)
{
    m_strPath = !m_strPerUser.empty() && files.Exists(m_strPerUser) ? m_strPerUser : m_strBeside;
}

unsigned long CSettingsPlace::Save(Files& files)
{
    m_strFailed.clear();
    unsigned long error = files.Write(m_strPath);
    const bool bRefused = error == kErrorAccessDenied || error == kErrorWriteProtect;
    if (bRefused && m_strPath == m_strBeside && !m_strPerUser.empty()) {
        files.MakeFolderFor(m_strPerUser);
        error = files.Write(m_strPerUser);
        if (!error) m_strPath = m_strPerUser;
        else m_strFailed = m_strPerUser;
    } else if (error) {
        m_strFailed = m_strPath;
    }
    return error;
}
