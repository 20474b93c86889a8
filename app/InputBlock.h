#pragma once
#include <windows.h>

// Blocks keyboard and mouse input when bBlock is nonzero. BlockInput is looked up
// in user32 on every call rather than imported; a missing export blocks nothing.
// Answers what BlockInput answered: FALSE also when it is missing.
BOOL SetInputBlocked(BOOL bBlock);
