#include "CRunningCopy.h"

#include "Afx.h"
#include "CommandLine.h"
#include "ModulePath.h"

#include <sddl.h>
#include <tlhelp32.h>

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
// The longest path the system's extended-length form allows.
constexpr DWORD kMaxPath = 32768;
// Later starts only read the object; the creator's own handle has every right
// whatever the DACL says. Without it an elevated creator's default DACL names only
// Administrators and SYSTEM, which the same user's token that is not elevated has
// as deny-only. No low mandatory label: reading is not written up, and the window
// named here is no secret; what guards the copy is the check of each sender.
constexpr WCHAR kMappingSddl[] = L"D:P(A;;GR;;;IU)";

DWORD ReadValue(HANDLE hMapping)
{
    DWORD dwValue = 0;
    if (const DWORD* p = static_cast<const DWORD*>(::MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, sizeof(DWORD)))) {
        dwValue = *p;
        ::UnmapViewOfFile(p);
    }
    return dwValue;
}

// One file has several spellings: the short 8.3 form and any case. Made long and
// upper-cased as the file system compares names. The long path may exceed
// MAX_PATH: the size asked for first, then the path.
std::wstring NormalPath(const WCHAR* pszPath)
{
    std::wstring strLong(MAX_PATH, L'\0');
    DWORD n = ::GetLongPathNameW(pszPath, &strLong[0], MAX_PATH);
    if (n >= MAX_PATH) {
        strLong.assign(n, L'\0');
        n = ::GetLongPathNameW(pszPath, &strLong[0], n);
    }
    strLong.resize(n > 0 && n < strLong.size() ? n : 0);
    if (strLong.empty()) strLong = pszPath;
    ::CharUpperBuffW(&strLong[0], static_cast<DWORD>(strLong.size()));
    return strLong;
}

// The full path of a process's exe; empty when it cannot be had.
std::wstring ImagePath(DWORD dwProcess)
{
    std::wstring strPath;
    typedef BOOL(WINAPI * QueryImageProc)(HANDLE, DWORD, LPWSTR, PDWORD);
    if (QueryImageProc pfnQuery = AfxSystemProc<QueryImageProc>(L"kernel32.dll", "QueryFullProcessImageNameW")) {
        // The limited right is what a copy that is not elevated gets on an
        // elevated sender.
        if (HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcess)) {
            strPath.resize(kMaxPath);
            DWORD n = kMaxPath;
            strPath.resize(pfnQuery(hProcess, 0, &strPath[0], &n) ? n : 0);
            ::CloseHandle(hProcess);
        }
        return strPath;
    }
    // XP: the first module of a process is its exe.
    const HANDLE hSnapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, dwProcess);
    if (hSnapshot != INVALID_HANDLE_VALUE) {
        MODULEENTRY32W entry = {};
        entry.dwSize = sizeof entry;
        if (::Module32FirstW(hSnapshot, &entry)) strPath = entry.szExePath;
        ::CloseHandle(hSnapshot);
    }
    return strPath;
}

// Whether this process runs with an elevated token (never on XP, which has none).
BOOL IsElevated()
{
    HANDLE hToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken)) return FALSE;
    TOKEN_ELEVATION elevation = {};
    DWORD cb = 0;
    const BOOL bElevated =
        ::GetTokenInformation(hToken, TokenElevation, &elevation, sizeof elevation, &cb) && elevation.TokenIsElevated;
    ::CloseHandle(hToken);
    return bElevated;
}

// Whether hSender is a window of another process started from this same exe.
BOOL IsSameExe(HWND hSender)
{
    DWORD dwProcess = 0;
    if (!hSender || !::GetWindowThreadProcessId(hSender, &dwProcess) || dwProcess == ::GetCurrentProcessId())
        return FALSE;
    CString strOwn;
    const std::wstring strSender = ImagePath(dwProcess);
    return !strSender.empty() && GetModulePath(nullptr, strOwn) && NormalPath(strSender.c_str()) == NormalPath(strOwn);
}
}  // namespace

CRunningCopy::Found CRunningCopy::Open(const WCHAR* pszExePath, BOOL bCreate)
{
    // Each UTF-16 unit hashed whole.
    DWORD dwHash = kFnvBasis;
    for (const WCHAR ch : NormalPath(pszExePath)) {
        dwHash = (dwHash ^ (ch & 0xFF)) * kFnvPrime;
        dwHash = (dwHash ^ (ch >> 8)) * kFnvPrime;
    }
    // Local\: one object per user session.
    WCHAR szName[32];
    ::wsprintfW(szName, L"Local\\Velodusk-%08lX", dwHash);
    m_bCreator = FALSE;
    HANDLE hMapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, szName);
    if (!hMapping && bCreate && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, FALSE};
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(kMappingSddl, SDDL_REVISION_1, &sa.lpSecurityDescriptor,
                                                               nullptr);
        hMapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0, sizeof(DWORD), szName);
        m_bCreator = hMapping && ::GetLastError() != ERROR_ALREADY_EXISTS;
        ::LocalFree(sa.lpSecurityDescriptor);
        // Made by a start at the same instant, whose DACL grants reading only.
        if (!hMapping) hMapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, szName);
    }
    if (!Own(hMapping)) return ::GetLastError() == ERROR_FILE_NOT_FOUND ? kNone : kRefused;
    return m_bCreator ? kCreated : kOpened;
}

BOOL CRunningCopy::WaitForWindow(HWND& hWnd) const
{
    hWnd = nullptr;
    for (DWORD dwWaited = 0;; dwWaited += kPollMs) {
        const DWORD dwValue = ReadValue(GetSafeHandle());
        if (dwValue == kNoWindow) return TRUE;
        if (dwValue) {
            hWnd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(dwValue));
            return ::IsWindow(hWnd);
        }
        if (dwWaited >= kStartWaitMs) return FALSE;
        ::Sleep(kPollMs);
    }
}

void CRunningCopy::Publish(HWND hWnd)
{
    // Run as administrator, this copy would not get WM_COPYDATA from a start that is
    // not elevated. A copy that is not elevated keeps the filter: through it, a
    // sandboxed low-integrity program could reach the check of the sender.
    if (hWnd && IsElevated()) AfxAllowLowerIntegrityMessage(hWnd, WM_COPYDATA);
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
    // The copy asks whose the window named in wParam is: a message-only one will do.
    const HWND hSender =
        ::CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!hSender) return FALSE;
    Switches payload = switches;
    COPYDATASTRUCT data = {kCopyDataId, sizeof(payload), &payload};
    DWORD_PTR dwTaken = 0;
    const BOOL bTaken = ::SendMessageTimeoutW(hWnd, WM_COPYDATA, reinterpret_cast<WPARAM>(hSender),
                                              reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kForwardTimeoutMs,
                                              &dwTaken) &&
                        dwTaken;
    ::DestroyWindow(hSender);
    return bTaken;
}

BOOL CRunningCopy::ReadForwarded(WPARAM wParam, LPARAM lParam, Switches& switches)
{
    const COPYDATASTRUCT* pData = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!pData || pData->dwData != kCopyDataId || !IsSameExe(reinterpret_cast<HWND>(wParam))) return FALSE;
    if (pData->cbData == sizeof(switches)) {
        switches = *static_cast<const Switches*>(pData->lpData);
    } else if (pData->cbData == sizeof(switches.nFlags)) {
        switches = {*static_cast<const unsigned*>(pData->lpData), CommandLine::kNoMinutes};
    } else {
        return FALSE;
    }
    return TRUE;
}
