#include "UpdateShortcut.h"

#include <objidl.h>
#include <shlobj.h>
#include <string.h>

BOOL Shortcut::JoinPath(const char* pszFolder, const char* pszTail, CString& out)
{
    size_t folder = strlen(pszFolder), tail = strlen(pszTail);
    if (folder == 0 || folder + 1 + tail >= static_cast<size_t>(kPathCapacity)) return FALSE;
    out = pszFolder;
    out += "\\";
    out += pszTail;
    return TRUE;
}

void UpdateShortcut(BOOL bCreate, CString strLinkPath)
{
    if (strLinkPath.GetLength() >= Shortcut::kPathCapacity) return;
    char szLink[Shortcut::kPathCapacity];
    lstrcpynA(szLink, strLinkPath, Shortcut::kPathCapacity);

    HRESULT hrInit = ::CoInitialize(nullptr);
    char szExe[Shortcut::kPathCapacity];
    DWORD nExe = ::GetModuleFileNameA(nullptr, szExe, Shortcut::kPathCapacity);
    if (!bCreate) {
        ::DeleteFileA(szLink);
    } else if (nExe > 0 && nExe < static_cast<DWORD>(Shortcut::kPathCapacity)) {
        IShellLinkA* pLink = nullptr;
        IPersistFile* pFile = nullptr;
        if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&pLink))) &&
            SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))) &&
            SUCCEEDED(pLink->SetPath(szExe)) && SUCCEEDED(pLink->SetArguments("")) &&
            SUCCEEDED(pLink->SetDescription(Shortcut::kDescription))) {
            WCHAR wszLink[Shortcut::kPathCapacity];
            if (::MultiByteToWideChar(CP_ACP, 0, szLink, -1, wszLink, Shortcut::kPathCapacity))
                pFile->Save(wszLink, TRUE);
        }
        if (pFile) pFile->Release();
        if (pLink) pLink->Release();
    }
    // Balanced with a successful CoInitialize only (S_FALSE counts: COM was already up).
    if (SUCCEEDED(hrInit)) ::CoUninitialize();
}
