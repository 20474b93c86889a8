#pragma once
// Where the settings file lives: next to the executable, named after it.
#include <string>

#include "LeadBytePredicate.h"

// Splits a module path at its last backslash into the directory (with the
// backslash) and the file name. In a double-byte code page 0x5C may be the trail
// byte of a character and is no separator there.
void SplitModulePath(const std::string& path, LeadBytePredicate isLeadByte, std::string& directory,
                     std::string& fileName);

// directory + file name with its extension replaced by ".ini": the last dot and the
// three characters after it go. A name without a dot keeps all of it; a shorter
// extension goes whole. Empty when there is no file name. No code page matters here:
// a trail byte is never a dot.
std::string IniPathFor(const std::string& directory, const std::string& fileName);
