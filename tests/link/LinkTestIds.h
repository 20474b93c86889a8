#pragma once
// The string resource the tests give the link's control id, and an id without one.
#define LINK_TEST_TARGET "ExitAtOnce.exe"
#define LINK_TEST_NO_STRING_ID 1007
