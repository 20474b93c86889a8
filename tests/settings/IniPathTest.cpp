#include "CSettingsPlace.h"
#include "IniPath.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring IniFor(const std::wstring& modulePath)
{
    std::wstring dir, name;
    SplitModulePath(modulePath, dir, name);
    return IniPathFor(dir, name);
}

TEST(IniPath, ReplacesTheExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(IniFor(L"C:\\Apps\\Tool.exe"), L"C:\\Apps\\Tool.ini");
    EXPECT_EQ(IniFor(L"C:\\Apps\\My.Tool.EXE"), L"C:\\Apps\\My.Tool.ini");
    EXPECT_EQ(IniFor(L"C:\\My.Apps\\Tool.exe"), L"C:\\My.Apps\\Tool.ini");
    EXPECT_EQ(IniFor(L"C:\\My.Apps\\Tool"), L"C:\\My.Apps\\Tool.ini");
    // Characters of any code page, the folder's and the file's.
    EXPECT_EQ(IniFor(L"C:\\\uD55C\uAD6D\\\u5DE5\u5177.exe"), L"C:\\\uD55C\uAD6D\\\u5DE5\u5177.ini");
}

TEST(IniPath, NamesWithoutOrWithShortExtensions)
{
    EXPECT_EQ(IniFor(L"C:\\Apps\\Tool"), L"C:\\Apps\\Tool.ini");
    EXPECT_EQ(IniFor(L"C:\\Apps\\Tool.ex"), L"C:\\Apps\\Tool.ini");
    EXPECT_EQ(IniFor(L"C:\\Apps\\Tool."), L"C:\\Apps\\Tool.ini");
    // Four characters go from the last dot, whatever follows them.
    EXPECT_EQ(IniFor(L"C:\\Apps\\Tool.exe2"), L"C:\\Apps\\Tool2.ini");
    EXPECT_EQ(IniFor(L"C:\\Apps\\.exe"), L"C:\\Apps\\.ini");
    EXPECT_EQ(IniFor(L"C:\\Apps\\"), L"");
    EXPECT_EQ(IniFor(L""), L"");
}

TEST(IniPath, LongPathsAreKeptWhole)
{
    std::wstring dir = L"C:\\";
    while (dir.size() < 600) dir += L"LongDirectoryName\\";
    EXPECT_EQ(IniFor(dir + L"Velodusk.exe"), dir + L"Velodusk.ini");
    // A path with no separator at all is a bare file name.
    EXPECT_EQ(IniFor(L"Velodusk.exe"), L"Velodusk.ini");
}

const std::wstring kBeside = L"C:\\Program Files\\Velodusk\\Velodusk.ini";
const std::wstring kPerUser = L"C:\\Users\\\uD55C\\AppData\\Roaming\\Velodusk\\Velodusk.ini";
constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kDiskFull = 112;

// A file system of files that exist and of answers a write gets at each path.
class FakeFiles : public CSettingsPlace::Files {
public:
    std::set<std::wstring> existing;
    std::map<std::wstring, unsigned long> refusals;
    std::vector<std::wstring> writes;
    std::vector<std::wstring> folders;

    bool Exists(const std::wstring& path) override { return existing.count(path) != 0; }
    void MakeFolderFor(const std::wstring& path) override { folders.push_back(path); }
    unsigned long Write(const std::wstring& path) override
    {
        writes.push_back(path);
        const auto refusal = refusals.find(path);
        if (refusal != refusals.end()) return refusal->second;
        existing.insert(path);
        return 0;
    }
};

struct PlaceCase {
    const char* name;
    std::set<std::wstring> existing;
    std::map<std::wstring, unsigned long> refusals;
    std::wstring read;                 // the file read at start
    std::vector<std::wstring> writes;  // OK's writes, in order
    unsigned long error;               // what OK reports
    std::wstring after;                // the file the next start reads
};

// Which file is read, which written, and what a refusal does.
TEST(SettingsPlace, ReadAndWriteTable)
{
    const PlaceCase cases[] = {
        {"no file", {}, {}, kBeside, {kBeside}, 0, kBeside},
        {"beside only", {kBeside}, {}, kBeside, {kBeside}, 0, kBeside},
        {"per-user only", {kPerUser}, {}, kPerUser, {kPerUser}, 0, kPerUser},
        {"both", {kBeside, kPerUser}, {}, kPerUser, {kPerUser}, 0, kPerUser},
        {"beside denied", {kBeside}, {{kBeside, CSettingsPlace::kErrorAccessDenied}}, kBeside, {kBeside, kPerUser}, 0,
         kPerUser},
        {"no file, folder write-protected", {}, {{kBeside, CSettingsPlace::kErrorWriteProtect}}, kBeside,
         {kBeside, kPerUser}, 0, kPerUser},
        {"beside shared", {kBeside}, {{kBeside, kSharingViolation}}, kBeside, {kBeside}, kSharingViolation, kBeside},
        {"disk full", {}, {{kBeside, kDiskFull}}, kBeside, {kBeside}, kDiskFull, kBeside},
        {"per-user denied stays", {kPerUser}, {{kPerUser, CSettingsPlace::kErrorAccessDenied}}, kPerUser, {kPerUser},
         CSettingsPlace::kErrorAccessDenied, kPerUser},
        {"both denied", {}, {{kBeside, CSettingsPlace::kErrorAccessDenied}, {kPerUser, CSettingsPlace::kErrorAccessDenied}},
         kBeside, {kBeside, kPerUser}, CSettingsPlace::kErrorAccessDenied, kBeside},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeFiles files;
        files.existing = c.existing;
        files.refusals = c.refusals;
        CSettingsPlace place(kBeside, kPerUser);
        place.Find(files);
        EXPECT_EQ(place.Path(), c.read);
        EXPECT_TRUE(files.writes.empty()) << "finding the place wrote";
        EXPECT_EQ(place.Save(files), c.error);
        EXPECT_EQ(files.writes, c.writes);
        // The per-user folder is made only for a write there after a refusal.
        const bool bMoved = c.writes.size() == 2;
        EXPECT_EQ(files.folders, bMoved ? std::vector<std::wstring>{kPerUser} : std::vector<std::wstring>{});
        if (c.error) {
            EXPECT_EQ(place.FailedPath(), c.writes.back());
        }
        EXPECT_EQ(place.Path(), c.error ? c.read : c.after);

        CSettingsPlace next(kBeside, kPerUser);
        next.Find(files);
        EXPECT_EQ(next.Path(), c.after);
    }
}

TEST(SettingsPlace, WithoutAPerUserFolderARefusalIsReported)
{
    FakeFiles files;
    files.refusals[kBeside] = CSettingsPlace::kErrorAccessDenied;
    CSettingsPlace place(kBeside, L"");
    place.Find(files);
    EXPECT_EQ(place.Path(), kBeside);
    EXPECT_EQ(place.Save(files), CSettingsPlace::kErrorAccessDenied);
    EXPECT_EQ(files.writes, std::vector<std::wstring>{kBeside});
    EXPECT_EQ(place.FailedPath(), kBeside);
}

}  // namespace
