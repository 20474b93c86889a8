#pragma once
// Where the settings file lives: next to the executable, named after it.
#include <string>

// Splits a module path at its last backslash into the directory (with the
// backslash) and the file name. UTF-16 has no unit of another character that
// looks like a backslash.
void SplitModulePath(const std::wstring& path, std::wstring& directory, std::wstring& fileName);

// directory + file name with its extension replaced by ".ini": the last dot and the
// three characters after it go. A name without a dot keeps all of it; a shorter
// extension goes whole. Empty when there is no file name.
std::wstring IniPathFor(const std::wstring& directory, const std::wstring& fileName);
