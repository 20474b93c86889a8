// Shortcuts made through the shell's link object, read back through it and as bytes.
#include <gtest/gtest.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

#include "TempDir.h"
#include "UpdateShortcut.h"

namespace {

struct LinkFields {
    std::string path, arguments, description, workingDir;
};

bool ReadLink(const std::string& strLink, LinkFields& out)
{
    IShellLinkA* pLink = nullptr;
    IPersistFile* pFile = nullptr;
    bool ok = false;
    WCHAR wsz[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, strLink.c_str(), -1, wsz, MAX_PATH);
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                     reinterpret_cast<void**>(&pLink))) &&
        SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))) &&
        SUCCEEDED(pFile->Load(wsz, STGM_READ))) {
        char sz[MAX_PATH] = "";
        pLink->GetPath(sz, MAX_PATH, nullptr, 0), out.path = sz;
        sz[0] = 0, pLink->GetArguments(sz, MAX_PATH), out.arguments = sz;
        sz[0] = 0, pLink->GetDescription(sz, MAX_PATH), out.description = sz;
        sz[0] = 0, pLink->GetWorkingDirectory(sz, MAX_PATH), out.workingDir = sz;
        ok = true;
    }
    if (pFile) pFile->Release();
    if (pLink) pLink->Release();
    return ok;
}

std::string Utf16Bytes(const char* pszAnsi)
{
    WCHAR wsz[MAX_PATH];
    int n = ::MultiByteToWideChar(CP_ACP, 0, pszAnsi, -1, wsz, MAX_PATH) - 1;
    return std::string(reinterpret_cast<const char*>(wsz), static_cast<size_t>(n) * 2);
}

class Shortcut : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }
    TempDir m_dir;
};

TEST_F(Shortcut, CreatesReplacesAndDeletes)
{
    const std::string strLink = m_dir.File("Velodusk.lnk");
    TempDir::Write(strLink, "not a shortcut");
    ::UpdateShortcut(TRUE, strLink.c_str());
    LinkFields f;
    ASSERT_TRUE(ReadLink(strLink, f)) << "the old file was not replaced by a shortcut";
    char szExe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szExe, MAX_PATH);
    EXPECT_EQ(szExe, f.path);
    EXPECT_EQ("", f.arguments);
    EXPECT_EQ(::Shortcut::kDescription, f.description);
    EXPECT_EQ("", f.workingDir);
    EXPECT_NE(std::string::npos, TempDir::Read(strLink).find(Utf16Bytes(::Shortcut::kDescription)))
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
