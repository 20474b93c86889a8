#pragma once
// A dialog's initialisation list: a resource of this type with the dialog's id holds
// records (WORD control id, WORD message, DWORD length, bytes), ended by a WORD 0. The
// dialog sends each record's message with the bytes to its control when it is created.
// Included by resource scripts too: definitions only.
#define RT_DIALOG_INIT_LIST 240
// The 16-bit-era codes the records carry for adding strings to lists.
#define DIALOG_INIT_LB_ADDSTRING16 0x0401
#define DIALOG_INIT_CB_ADDSTRING16 0x0403
