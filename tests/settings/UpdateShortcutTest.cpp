// Shortcuts as bytes on disk; the end-to-end tests read them back with lnkinfo.
#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "UpdateShortcut.h"

namespace {

std::string Utf16Bytes(const char* pszAnsi)
{
    WCHAR wsz[MAX_PATH];
    int n = ::MultiByteToWideChar(CP_ACP, 0, pszAnsi, -1, wsz, MAX_PATH) - 1;
    return std::string(reinterpret_cast<const char*>(wsz), static_cast<size_t>(n) * 2);
}

class Shortcut : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(Shortcut, CreatesReplacesAndDeletes)
{
    const std::string strLink = m_dir.File("Velodusk.lnk");
    TempDir::Write(strLink, "not a shortcut");
    ::UpdateShortcut(TRUE, strLink.c_str());
    const std::string bytes = TempDir::Read(strLink);
    ASSERT_EQ(std::string("L\0\0\0", 4), bytes.substr(0, 4)) << "the old file was not replaced by a shortcut";
    char szExe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szExe, MAX_PATH);
    // Past the drive letter, whose case the shell may change.
    EXPECT_NE(std::string::npos, bytes.find(szExe + 2)) << "the target is the running executable";
    EXPECT_NE(std::string::npos, bytes.find(Utf16Bytes(::Shortcut::kDescription)))
        << "the description is stored as UTF-16";

    ::UpdateShortcut(FALSE, strLink.c_str());
    EXPECT_FALSE(TempDir::Exists(strLink));
    ::UpdateShortcut(FALSE, strLink.c_str());  // nothing there: nothing happens
    EXPECT_FALSE(TempDir::Exists(strLink));
}

TEST_F(Shortcut, MissingFolderOrOverlongPathCreatesNothing)
{
    const std::string strMissing = m_dir.File("启动\\Velodusk.lnk");
    ::UpdateShortcut(TRUE, strMissing.c_str());
    EXPECT_FALSE(TempDir::Exists(strMissing));

    // A folder whose path with "\\Velodusk.lnk" appended is exactly 260 characters: no
    // room for the terminator, so the join is refused; one character less fits. A link
    // path of 260 is neither cut short nor saved.
    std::string strFolder = m_dir.Path() + std::string(MAX_PATH - m_dir.Path().size() - 13, 'a');
    CString strJoined = "unchanged";
    EXPECT_FALSE(::Shortcut::JoinPath(strFolder.c_str(), "Velodusk.lnk", strJoined));
    EXPECT_STREQ("unchanged", strJoined);
    EXPECT_TRUE(::Shortcut::JoinPath(strFolder.substr(0, strFolder.size() - 1).c_str(), "Velodusk.lnk", strJoined));
    EXPECT_FALSE(::Shortcut::JoinPath("", "Velodusk.lnk", strJoined)) << "a failed folder look-up";

    const std::string strLong = strFolder + "\\Velodusk.lnk";
    const std::string strCut = strLong.substr(0, MAX_PATH - 1);
    ASSERT_TRUE(::CreateDirectoryA(strFolder.c_str(), nullptr));
    ::UpdateShortcut(TRUE, strLong.c_str());
    EXPECT_FALSE(TempDir::Exists(strCut));
}

}  // namespace
