#include "HotKeyText.h"

namespace HotKeyText {

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

std::string TipTail(bool runOnce, bool registered, bool withCtrl, int keyIndex)
{
    if (runOnce) return std::string();
    return HotKeyName(withCtrl, registered ? keyIndex : -1) + kTipSuffix;
}

}  // namespace HotKeyText
