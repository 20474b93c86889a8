#include <gtest/gtest.h>

#include <cstring>

#include "CString.h"

namespace {

TEST(CString, BufferWrittenInPlaceTakesTheLengthItIsGiven)
{
    CString s("old text");
    char* p = s.GetBuffer(260);
    std::strcpy(p, "C:\\Apps\\Tool.exe");
    s.ReleaseBuffer();
    EXPECT_EQ(16, s.GetLength());
    EXPECT_EQ("C:\\Apps\\Tool.exe", s.Str());

    // A smaller request keeps what is there.
    p = s.GetBuffer(2);
    EXPECT_EQ(0, std::strncmp(p, "C:\\Apps", 7));
    s.ReleaseBuffer(7);
    EXPECT_EQ("C:\\Apps", s.Str());

    // A length past the buffer is clamped, not trusted.
    s.GetBuffer(3);
    s.ReleaseBuffer(1000);
    EXPECT_EQ(7, s.GetLength());
}

}  // namespace
