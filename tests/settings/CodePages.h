#pragma once
// Lead-byte ranges of the code pages the program meets, for the portable text rules
// that take the system's test as an argument.
inline bool LeadByte936(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
inline bool LeadByte932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool LeadByte1252(unsigned char) { return false; }
