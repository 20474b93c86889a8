#pragma once
// The framework's own strings, which every program using it puts in its string
// table. Included by resource scripts too: definitions only.
#define AFX_IDP_PARSE_INT 0xF110
#define AFX_IDP_PARSE_INT_RANGE 0xF111
