#include "UpdateShortcut.h"

#include <objidl.h>
#include <shlobj.h>

#include "CUiText.h"
#include "Resource.h"

BOOL Shortcut::JoinPath(const wchar_t* pszFolder, const wchar_t* pszTail, CString& out)
{
    const int folder = lstrlenW(pszFolder), tail = lstrlenW(pszTail);
    if (folder == 0 || folder + 1 + tail >= kPathCapacity) return FALSE;
    out = pszFolder;
    out += L"\\";
    out += pszTail;
    return TRUE;
}

void UpdateShortcut(BOOL bCreate, CString strLinkPath)
{
    if (strLinkPath.GetLength() >= Shortcut::kPathCapacity) return;

    HRESULT hrInit = ::CoInitialize(nullptr);
    WCHAR szExe[Shortcut::kPathCapacity];
    DWORD nExe = ::GetModuleFileNameW(nullptr, szExe, Shortcut::kPathCapacity);
    if (!bCreate) {
        ::DeleteFileW(strLinkPath);
    } else if (nExe > 0 && nExe < static_cast<DWORD>(Shortcut::kPathCapacity)) {
        IShellLinkW* pLink = nullptr;
        IPersistFile* pFile = nullptr;
        if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void**>(&pLink))) &&
            SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))) &&
            SUCCEEDED(pLink->SetPath(szExe)) && SUCCEEDED(pLink->SetArguments(L"")) &&
            SUCCEEDED(pLink->SetDescription(CUiText(IDS_SHORTCUT_DESCRIPTION))))
            pFile->Save(strLinkPath, TRUE);
        if (pFile) pFile->Release();
        if (pLink) pLink->Release();
    }
    // Balanced with a successful CoInitialize only (S_FALSE counts: COM was already up).
    if (SUCCEEDED(hrInit)) ::CoUninitialize();
}
