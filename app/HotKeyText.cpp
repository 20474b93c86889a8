#include "HotKeyText.h"

#include <cstring>

namespace HotKeyText {

const char kTipPrefix[] = "双击执行您设定的功能(热键：";

namespace {
const char* const kKeyNames[kKeyCount] = {"F6", "F7", "F8", "F9", "F10", "F11", "F12"};
constexpr char kCtrlPrefix[] = "Ctrl + ";
constexpr char kTipSuffix[] = ")";
}

uint32_t VirtualKey(int keyIndex)
{
    return kVirtualKeyF6 + static_cast<uint32_t>(keyIndex);
}

const char* KeyName(int keyIndex)
{
    return keyIndex >= 0 && keyIndex < kKeyCount ? kKeyNames[keyIndex] : "";
}

std::string HotKeyName(bool withCtrl, int keyIndex)
{
    return (withCtrl ? std::string(kCtrlPrefix) : std::string()) + KeyName(keyIndex);
}

std::string TipText(bool runOnce, bool registered, bool withCtrl, int keyIndex)
{
    std::string tip = kTipPrefix;
    if (runOnce) return tip;
    return tip + HotKeyName(withCtrl, registered ? keyIndex : -1) + kTipSuffix;
}

void CopyTip(const std::string& tip, LeadBytePredicate isLeadByte, char* buffer, std::size_t capacity)
{
    if (capacity == 0) return;
    std::size_t n = 0;
    while (n < tip.size()) {
        std::size_t step = isLeadByte(static_cast<unsigned char>(tip[n])) ? 2 : 1;
        if (n + step > capacity - 1 || n + step > tip.size()) break;
        n += step;
    }
    std::memcpy(buffer, tip.data(), n);
    buffer[n] = '\0';
}

}  // namespace HotKeyText
