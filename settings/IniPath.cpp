#include "IniPath.h"

namespace {
constexpr std::wstring::size_type kExtensionLength = 4;  // the dot and "exe"
constexpr wchar_t kIniSuffix[] = L".ini";
}  // namespace

void SplitModulePath(const std::wstring& path, std::wstring& directory, std::wstring& fileName)
{
    std::wstring::size_type slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) {
        directory.clear();
        fileName = path;
    } else {
        directory = path.substr(0, slash + 1);
        fileName = path.substr(slash + 1);
    }
}

std::wstring IniPathFor(const std::wstring& directory, const std::wstring& fileName)
{
    if (fileName.empty()) return std::wstring();
    std::wstring base = fileName;
    std::wstring::size_type dot = base.rfind(L'.');
    if (dot != std::wstring::npos) base.erase(dot, kExtensionLength);
    return directory + base + kIniSuffix;
}
