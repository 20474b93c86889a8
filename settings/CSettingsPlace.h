#pragma once
// Where the settings live, one rule for the start and for OK: the per-user file
// if it exists, else the file beside the executable (which need not exist: then
// the defaults hold, and OK makes it). OK writes to that file; only a write there
// refused for lack of rights moves the settings to the per-user file, which from
// then on is the one read. Nothing is created to find out.
#include <string>

class CSettingsPlace {
public:
    // What the rule asks of the file system.
    class Files {
    public:
        virtual bool Exists(const std::wstring& path) = 0;
        // Makes the folder the file at path goes into, if missing.
        virtual void MakeFolderFor(const std::wstring& path) = 0;
        // Writes the settings into the file at path: 0, or the system's error code.
        virtual unsigned long Write(const std::wstring& path) = 0;

    protected:
        ~Files() = default;
    };

    // The system's codes of a write refused for lack of rights (a read-only file
    // answers the first); here, so the rule builds without the system's headers.
    static constexpr unsigned long kErrorAccessDenied = 5;
    static constexpr unsigned long kErrorWriteProtect = 19;

    CSettingsPlace() = default;
    // strPerUser: empty when the user's folder is unknown.
    CSettingsPlace(const std::wstring& strBeside, const std::wstring& strPerUser)
        : m_strBeside(strBeside), m_strPerUser(strPerUser), m_strPath(strBeside) {}

    // Looks for the file to read at start.
    void Find(Files& files);
    // The file read at start, and the one OK writes.
    const std::wstring& Path() const { return m_strPath; }
    // Writes to Path(), moving to the per-user file as the rule says: 0, or the error
    // of the write that failed, whose file FailedPath() names; nothing moves then.
    unsigned long Save(Files& files);
    const std::wstring& FailedPath() const { return m_strFailed; }

private:
    std::wstring m_strBeside;
    std::wstring m_strPerUser;
    std::wstring m_strPath;
    std::wstring m_strFailed;
};
