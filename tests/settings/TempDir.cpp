#include "TempDir.h"

#include <windows.h>

#include <string>

TempDir::TempDir()
{
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    static unsigned s_nCounter = 0;
    for (;;) {
        std::wstring path = std::wstring(base) + L"velodusk-settings-" + std::to_wstring(::GetCurrentProcessId()) +
                            L"-" + std::to_wstring(++s_nCounter);
        if (::CreateDirectoryW(path.c_str(), nullptr)) {
            m_strPath = path + L"\\";
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempDir::~TempDir()
{
    if (!m_strPath.empty()) RemoveTree(m_strPath.substr(0, m_strPath.size() - 1));
}

void TempDir::RemoveTree(const std::wstring& path)
{
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAW fd;
    HANDLE hFind = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(hFind, &fd));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryW(path.c_str());
}

void TempDir::Write(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
}

std::string TempDir::Read(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) bytes.append(chunk, got);
    ::CloseHandle(h);
    return bytes;
}

std::vector<std::string> TempDir::ReadLines(const std::wstring& path)
{
    std::vector<std::string> lines;
    std::string text = Read(path);
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool TempDir::Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
