#pragma once
#include <windows.h>

// Whether the user watches or works full-screen (a film, a game, a presentation):
// the foreground window covers its whole monitor, has no caption, and is neither
// the desktop, one of the shell's windows nor one of ours; or the shell says so
// where it can.
bool IsFullScreenInFront();
