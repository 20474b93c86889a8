#pragma once
// Names of the action hot key and the tray tip that shows it.
#include <cstdint>
#include <string>

#include "LeadBytePredicate.h"

namespace HotKeyText {

constexpr uint32_t kVirtualKeyF6 = 0x75;   // VK_F6
constexpr int kKeyCount = 7;               // F6 to F12
// The tray record's tip holds 64 bytes including the terminating zero.
constexpr std::size_t kTipCapacity = 64;

// The key index is not range-checked: 7 is F13, -1 is F5.
uint32_t VirtualKey(int keyIndex);
// "F6" to "F12" for 0 to 6; empty for every other index.
const char* KeyName(int keyIndex);
// "Ctrl + " before the key name when the hot key takes Ctrl.
std::string HotKeyName(bool withCtrl, int keyIndex);

// The tip: the fixed prefix, then, unless in run-once mode, the hot key's name (or
// no key when registering failed) and a closing parenthesis.
std::string TipText(bool runOnce, bool registered, bool withCtrl, int keyIndex);
// Copies the tip into the tray record's buffer, at most capacity bytes with the
// terminator, never splitting a double-byte character.
void CopyTip(const std::string& tip, LeadBytePredicate isLeadByte, char* buffer, std::size_t capacity = kTipCapacity);

extern const char kTipPrefix[];

}  // namespace HotKeyText
