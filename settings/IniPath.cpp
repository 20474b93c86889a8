#include "IniPath.h"

namespace {

constexpr std::string::size_type kExtensionLength = 4;  // the dot and "exe"
constexpr char kIniSuffix[] = ".ini";

// Last position of a single-byte character, walking characters rather than bytes.
std::string::size_type FindLastChar(const std::string& s, char wanted, LeadBytePredicate isLeadByte)
{
    std::string::size_type found = std::string::npos;
    for (std::string::size_type i = 0; i < s.size(); ++i) {
        if (isLeadByte(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == wanted) found = i;
    }
    return found;
}

}  // namespace

void SplitModulePath(const std::string& path, LeadBytePredicate isLeadByte, std::string& directory,
                     std::string& fileName)
{
    std::string::size_type slash = FindLastChar(path, '\\', isLeadByte);
    if (slash == std::string::npos) {
        directory.clear();
        fileName = path;
    } else {
        directory = path.substr(0, slash + 1);
        fileName = path.substr(slash + 1);
    }
}

std::string IniPathFor(const std::string& directory, const std::string& fileName)
{
    if (fileName.empty()) return std::string();
    std::string base = fileName;
    std::string::size_type dot = base.rfind('.');
    if (dot != std::string::npos) base.erase(dot, kExtensionLength);
    return directory + base + kIniSuffix;
}
