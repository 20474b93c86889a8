#include "TempDir.h"

#include <windows.h>

#include <string>

TempDir::TempDir()
{
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    static unsigned s_nCounter = 0;
    for (;;) {
        std::string path = std::string(base) + "velodusk-settings-" + std::to_string(::GetCurrentProcessId()) +
                           "-" + std::to_string(++s_nCounter);
        if (::CreateDirectoryA(path.c_str(), nullptr)) {
            m_strPath = path + "\\";
            return;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempDir::~TempDir()
{
    if (!m_strPath.empty()) RemoveTree(m_strPath.substr(0, m_strPath.size() - 1));
}

void TempDir::RemoveTree(const std::string& path)
{
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WIN32_FIND_DATAA fd;
    HANDLE hFind = ::FindFirstFileA((path + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(hFind, &fd));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryA(path.c_str());
}

void TempDir::Write(const std::string& path, const std::string& bytes)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
}

std::string TempDir::Read(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (::ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) bytes.append(chunk, got);
    ::CloseHandle(h);
    return bytes;
}

std::vector<std::string> TempDir::ReadLines(const std::string& path)
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

bool TempDir::Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
