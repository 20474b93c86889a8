#pragma once
#include <windows.h>

// Points the test executable's own import of DLL!FUNC at REPLACEMENT and answers the
// previous address (NULL when the executable does not import it). The code under test
// is linked into the executable, so its calls pass through these slots.
void* HookImport(const char* dll, const char* func, void* replacement);
