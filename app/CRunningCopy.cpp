#include "CRunningCopy.h"

#include "Afx.h"
#include "CommandLine.h"

#include <string>

namespace {
// COPYDATASTRUCT::dwData of the switches: WM_COPYDATA may come from any program.
constexpr ULONG_PTR kCopyDataId = 0x56444B31;
// Published by a copy without a window to forward to; 0 means still starting.
constexpr DWORD kNoWindow = 1;
constexpr DWORD kPollMs = 50;
// FNV-1a, 32 bits: object names are limited to MAX_PATH, paths are not.
constexpr DWORD kFnvBasis = 2166136261u;
constexpr DWORD kFnvPrime = 16777619u;

DWORD ReadValue(HANDLE hMapping)
{
    DWORD dwValue = 0;
    if (const DWORD* p = static_cast<const DWORD*>(::MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, sizeof(DWORD)))) {
        dwValue = *p;
        ::UnmapViewOfFile(p);
    }
    return dwValue;
}
}  // namespace

BOOL CRunningCopy::Open(const WCHAR* pszExePath, BOOL bCreate)
{
    // One file has several spellings: the short 8.3 form and any case. The long path
    // may exceed MAX_PATH: the size asked for first, then the path.
    std::wstring strLong(MAX_PATH, L'\0');
    DWORD n = ::GetLongPathNameW(pszExePath, &strLong[0], MAX_PATH);
    if (n >= MAX_PATH) {
        strLong.assign(n, L'\0');
        n = ::GetLongPathNameW(pszExePath, &strLong[0], n);
    }
    strLong.resize(n > 0 && n < strLong.size() ? n : 0);
    if (strLong.empty()) strLong = pszExePath;
    // Upper-cased as the file system compares names; each UTF-16 unit hashed whole.
    ::CharUpperBuffW(&strLong[0], static_cast<DWORD>(strLong.size()));
    DWORD dwHash = kFnvBasis;
    for (const WCHAR ch : strLong) {
        dwHash = (dwHash ^ (ch & 0xFF)) * kFnvPrime;
        dwHash = (dwHash ^ (ch >> 8)) * kFnvPrime;
    }
    // Local\: one object per user session.
    WCHAR szName[32];
    ::wsprintfW(szName, L"Local\\Velodusk-%08lX", dwHash);
    HANDLE hMapping = bCreate ? ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                     sizeof(DWORD), szName)
                              : ::OpenFileMappingW(FILE_MAP_READ, FALSE, szName);
    m_bCreator = bCreate && hMapping && ::GetLastError() != ERROR_ALREADY_EXISTS;
    return Own(hMapping);
}

HWND CRunningCopy::WaitForWindow() const
{
    for (DWORD dwWaited = 0;; dwWaited += kPollMs) {
        const DWORD dwValue = IsOwning() ? ReadValue(GetSafeHandle()) : kNoWindow;
        if (dwValue) {
            const HWND hWnd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(dwValue));
            return dwValue != kNoWindow && ::IsWindow(hWnd) ? hWnd : nullptr;
        }
        if (dwWaited >= kStartWaitMs) return nullptr;
        ::Sleep(kPollMs);
    }
}

void CRunningCopy::Publish(HWND hWnd)
{
    // Run as administrator, this copy would not get WM_COPYDATA from a start that is
    // not elevated.
    if (hWnd) AfxAllowLowerIntegrityMessage(hWnd, WM_COPYDATA);
    if (DWORD* p = static_cast<DWORD*>(::MapViewOfFile(GetSafeHandle(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)))) {
        *p = hWnd ? static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(hWnd)) : kNoWindow;
        ::UnmapViewOfFile(p);
    }
}

BOOL CRunningCopy::Forward(HWND hWnd, const Switches& switches)
{
    // The new process had the foreground; the running one may take it for its window.
    DWORD dwProcess = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcess);
    ::AllowSetForegroundWindow(dwProcess);
    Switches payload = switches;
    COPYDATASTRUCT data = {kCopyDataId, sizeof(payload), &payload};
    DWORD_PTR dwTaken = 0;
    return ::SendMessageTimeoutW(hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                 kForwardTimeoutMs, &dwTaken) &&
           dwTaken;
}

BOOL CRunningCopy::ReadForwarded(LPARAM lParam, Switches& switches)
{
    const COPYDATASTRUCT* pData = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!pData || pData->dwData != kCopyDataId) return FALSE;
    if (pData->cbData == sizeof(switches)) {
        switches = *static_cast<const Switches*>(pData->lpData);
    } else if (pData->cbData == sizeof(switches.nFlags)) {
        switches = {*static_cast<const unsigned*>(pData->lpData), CommandLine::kNoMinutes};
    } else {
        return FALSE;
    }
    return TRUE;
}
