#pragma once
#include <string>
#include <vector>

// A fresh directory under the Windows temporary directory, removed with everything
// in it (read-only entries included) when the object goes. Each test gets its own,
// so the profile functions never see a file name another test used.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // With the trailing backslash, as the executable's directory comes.
    const std::wstring& Path() const { return m_strPath; }
    std::wstring File(const std::wstring& name) const { return m_strPath + name; }

    static void Write(const std::wstring& path, const std::string& bytes);
    // Empty when the file cannot be read.
    static std::string Read(const std::wstring& path);
    // The lines of a text file without their CR LF.
    static std::vector<std::string> ReadLines(const std::wstring& path);
    static bool Exists(const std::wstring& path);

private:
    static void RemoveTree(const std::wstring& path);

    std::wstring m_strPath;
};
