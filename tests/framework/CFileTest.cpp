#include <gtest/gtest.h>

#include "AfxWin.h"

namespace {

// The temporary paths here are ASCII.
std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

TEST(CFile, SharingFailuresAndThrownExceptions)
{
    const std::string path = TempPath("cfile-test.bin");
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD nWritten = 0;
    ::WriteFile(h, "abcdef", 6, &nWritten, nullptr);
    ::CloseHandle(h);

    {
        // Others may read but not write; a read past the end answers short.
        CFile file;
        ASSERT_TRUE(file.Open(Wide(path).c_str(), CFile::modeRead | CFile::shareDenyWrite));
        EXPECT_EQ(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
        char buf[16] = {};
        EXPECT_EQ(file.Read(buf, sizeof buf), 6u);
    }

    // Open reports into the caller's object instead of throwing.
    CFileException error;
    CFile missing;
    EXPECT_FALSE(missing.Open(Wide(path + ".missing").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);

    // A failed read throws a heap exception that Delete() frees.
    CFile writeOnly;
    ASSERT_TRUE(writeOnly.Open(Wide(path).c_str(), CFile::modeWrite));
    char buf[4];
    bool bThrown = false;
    try {
        writeOnly.Read(buf, sizeof buf);
    } catch (CFileException* e) {
        bThrown = true;
        EXPECT_EQ(e->m_cause, CFileException::accessDenied);
        e->Delete();
    }
    EXPECT_TRUE(bThrown);
    writeOnly.Close();
    EXPECT_TRUE(::DeleteFileA(path.c_str())) << "closed by Close and by the destructors";
}

}  // namespace
