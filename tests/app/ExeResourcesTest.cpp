// The built exe's own resources, read from the file as Windows reads them:
// the application manifest and the sizes of the icon group.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Resource.h"

namespace {

const char* g_pszExe = nullptr;

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hModule = ::LoadLibraryExA(g_pszExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_hModule, nullptr) << g_pszExe << ": error " << ::GetLastError();
    }
    void TearDown() override
    {
        if (m_hModule) ::FreeLibrary(m_hModule);
    }

    std::vector<BYTE> Resource(LPCSTR pszName, LPCSTR pszType) const
    {
        HRSRC hInfo = ::FindResourceA(m_hModule, pszName, pszType);
        if (!hInfo) return {};
        const BYTE* p = static_cast<const BYTE*>(::LockResource(::LoadResource(m_hModule, hInfo)));
        return std::vector<BYTE>(p, p + ::SizeofResource(m_hModule, hInfo));
    }

    HMODULE m_hModule = nullptr;
};

#pragma pack(push, 2)
struct GroupEntry {
    BYTE bWidth, bHeight, bColorCount, bReserved;
    WORD wPlanes, wBitCount;
    DWORD dwBytesInRes;
    WORD nId;
};
#pragma pack(pop)

TEST_F(ExeResources, TheManifestAsksForCommonControls6SystemDpiAndNoElevation)
{
    const std::vector<BYTE> bytes = Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_FALSE(bytes.empty()) << "no manifest (type 24, id 1)";
    const std::string xml(bytes.begin(), bytes.end());
    const char* kWanted[] = {
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        // Vista, 7, 8, 8.1, 10 and 11.
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "publicKeyToken=\"6595b64144ccf1df\"",
    };
    for (const char* p : kWanted) EXPECT_NE(xml.find(p), std::string::npos) << p;
    // Per-monitor awareness would make every window rescale itself on a move.
    EXPECT_EQ(xml.find("dpiAwareness"), std::string::npos);
    EXPECT_EQ(xml.find("PerMonitor"), std::string::npos);
}

TEST_F(ExeResources, TheIconHoldsAnImageDrawnForEverySize)
{
    const std::vector<BYTE> group = Resource(MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));
    ASSERT_GE(group.size(), 6u);
    const WORD nCount = reinterpret_cast<const WORD*>(group.data())[2];
    ASSERT_EQ(group.size(), 6 + nCount * sizeof(GroupEntry));
    const GroupEntry* entries = reinterpret_cast<const GroupEntry*>(group.data() + 6);
    std::vector<int> sizes;
    for (WORD i = 0; i < nCount; ++i) sizes.push_back(entries[i].bWidth ? entries[i].bWidth : 256);
    EXPECT_EQ(sizes, std::vector<int>({16, 20, 24, 32, 40, 48, 256}));

    // Each size is picked for itself and makes an icon of that size.
    for (int n : sizes) {
        const int nId = ::LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data()), TRUE, n, n, LR_DEFAULTCOLOR);
        std::vector<BYTE> image = Resource(MAKEINTRESOURCEA(nId), MAKEINTRESOURCEA(3));
        ASSERT_FALSE(image.empty()) << n;
        if (n == 256) {
            EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "\x89PNG") << "the 256 image is a PNG";
            EXPECT_LT(image.size(), 2048u) << "the 256 image stays small";
        }
        HICON hIcon = ::CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, n,
                                                 n, LR_DEFAULTCOLOR);
        ASSERT_NE(hIcon, nullptr) << n;
        ICONINFO info = {};
        ASSERT_TRUE(::GetIconInfo(hIcon, &info));
        BITMAP bm = {};
        ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, n);
        if (info.hbmColor) ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(hIcon);
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ExeResourcesTest EXE\n");
        return 2;
    }
    g_pszExe = argv[1];
    return RUN_ALL_TESTS();
}
