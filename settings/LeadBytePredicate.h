#pragma once
// Whether a byte starts a double-byte character in the ANSI code page in force. The
// portable text rules take it as an argument; the program hands in the system's own
// test (IsAnsiLeadByte), so every cut and every search walks characters one way.
using LeadBytePredicate = bool (*)(unsigned char);

// The system's lead-byte test for the ANSI code page in force (Windows build only).
bool IsAnsiLeadByte(unsigned char ch);
