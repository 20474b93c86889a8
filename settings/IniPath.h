#pragma once
// Where the settings file lives: next to the executable, named after it.
#include <string>

// Splits a module path at its last backslash into the directory (with the
// backslash) and the file name. Code page 936 aware: 0x5C may be the trail byte of
// a double-byte character and is not a separator there.
void SplitModulePath(const std::string& path, std::string& directory, std::string& fileName);

// directory + file name with its extension replaced by ".ini": the last dot and the
// three characters after it go. A name without a dot keeps all of it; a shorter
// extension goes whole. Empty when there is no file name.
std::string IniPathFor(const std::string& directory, const std::string& fileName);
