// Shortcuts as bytes on disk; the end-to-end tests read them back with lnkinfo.
#include <gtest/gtest.h>

#include <string>

#include "CUiText.h"
#include "Resource.h"
#include "TempDir.h"
#include "UpdateShortcut.h"

namespace {

std::string Utf16Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

class Shortcut : public ::testing::Test {
protected:
    TempDir m_dir;
};

TEST_F(Shortcut, CreatesReplacesAndDeletes)
{
    const std::wstring strLink = m_dir.File(L"Velodusk.lnk");
    TempDir::Write(strLink, "not a shortcut");
    ::UpdateShortcut(TRUE, strLink.c_str());
    const std::string bytes = TempDir::Read(strLink);
    ASSERT_EQ(std::string("L\0\0\0", 4), bytes.substr(0, 4)) << "the old file was not replaced by a shortcut";
    wchar_t szExe[MAX_PATH];
    ::GetModuleFileNameW(nullptr, szExe, MAX_PATH);
    // Past the drive letter, whose case the shell may change; the link keeps the
    // target's local path in the system's code page too, and this one is ASCII.
    const std::wstring strExe(szExe + 2);
    EXPECT_NE(std::string::npos, bytes.find(std::string(strExe.begin(), strExe.end())))
        << "the target is the running executable";
    EXPECT_NE(std::string::npos, bytes.find(Utf16Bytes(static_cast<const wchar_t*>(CUiText(IDS_SHORTCUT_DESCRIPTION)))))
        << "the description of the user's language is stored as UTF-16";

    ::UpdateShortcut(FALSE, strLink.c_str());
    EXPECT_FALSE(TempDir::Exists(strLink));
    ::UpdateShortcut(FALSE, strLink.c_str());  // nothing there: nothing happens
    EXPECT_FALSE(TempDir::Exists(strLink));
}

TEST_F(Shortcut, MissingFolderOrOverlongPathCreatesNothing)
{
    const std::wstring strMissing = m_dir.File(L"启动\\Velodusk.lnk");
    ::UpdateShortcut(TRUE, strMissing.c_str());
    EXPECT_FALSE(TempDir::Exists(strMissing));

    // A folder whose path with "\\Velodusk.lnk" appended is exactly 260 characters: no
    // room for the terminator, so the join is refused; one character less fits. A link
    // path of 260 is neither cut short nor saved.
    std::wstring strFolder = m_dir.Path() + std::wstring(MAX_PATH - m_dir.Path().size() - 13, L'a');
    CString strJoined = L"unchanged";
    EXPECT_FALSE(::Shortcut::JoinPath(strFolder.c_str(), L"Velodusk.lnk", strJoined));
    EXPECT_STREQ(L"unchanged", strJoined);
    EXPECT_TRUE(::Shortcut::JoinPath(strFolder.substr(0, strFolder.size() - 1).c_str(), L"Velodusk.lnk", strJoined));
    EXPECT_FALSE(::Shortcut::JoinPath(L"", L"Velodusk.lnk", strJoined)) << "a failed folder look-up";

    const std::wstring strLong = strFolder + L"\\Velodusk.lnk";
    const std::wstring strCut = strLong.substr(0, MAX_PATH - 1);
    ASSERT_TRUE(::CreateDirectoryW(strFolder.c_str(), nullptr));
    ::UpdateShortcut(TRUE, strLong.c_str());
    EXPECT_FALSE(TempDir::Exists(strCut));
}

}  // namespace
