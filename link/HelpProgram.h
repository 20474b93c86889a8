#pragma once
// The help program whose hand cursor the links borrow: its file in the Windows
// directory and the cursor's resource id. Plain defines: resource scripts read them too.
#define HELP_PROGRAM_FILE "\\winhlp32.exe"
#define HELP_HAND_CURSOR_ID 106
