// A program the shell can open that ends at once: a target that opens successfully.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
