#include <gtest/gtest.h>

#include <cwchar>

#include "CString.h"

namespace {

TEST(CString, BufferWrittenInPlaceTakesTheLengthItIsGiven)
{
    CString s(L"old text");
    wchar_t* p = s.GetBuffer(260);
    std::wcscpy(p, L"C:\\\uD55C\uAD6D\\Tool.exe");
    s.ReleaseBuffer();
    EXPECT_EQ(14, s.GetLength());
    EXPECT_EQ(L"C:\\\uD55C\uAD6D\\Tool.exe", s.Str());

    // A smaller request keeps what is there.
    p = s.GetBuffer(2);
    EXPECT_EQ(0, std::wcsncmp(p, L"C:\\\uD55C\uAD6D", 5));
    s.ReleaseBuffer(5);
    EXPECT_EQ(L"C:\\\uD55C\uAD6D", s.Str());

    // A length past the buffer is clamped, not trusted.
    s.GetBuffer(3);
    s.ReleaseBuffer(1000);
    EXPECT_EQ(5, s.GetLength());
}

}  // namespace
