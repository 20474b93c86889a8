#pragma once
#include <windows.h>

// Whether the user watches or works full-screen (a film, a game, a presentation):
// the foreground window is not one of ours, and the shell says so where it can, or
// the window's client area covers its whole monitor without the window being
// maximised, the desktop or one of the shell's.
bool IsFullScreenInFront();
