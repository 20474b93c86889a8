#include <gtest/gtest.h>

#include <cstring>

#include "CString.h"

namespace {

TEST(CString, ReverseFindGivesTheLastByteOrMinusOne)
{
    CString path("C:\\Apps\\My.Tool.exe");
    EXPECT_EQ(7, path.ReverseFind('\\'));
    EXPECT_EQ(15, path.ReverseFind('.'));
    EXPECT_EQ(-1, path.ReverseFind('/'));
    EXPECT_EQ(-1, CString().ReverseFind('.'));
}

TEST(CString, DeleteClampsAtTheEndAndIgnoresBadArguments)
{
    CString name("Tool.ex");
    EXPECT_EQ(4, name.Delete(name.ReverseFind('.'), 4));
    EXPECT_EQ(CString("Tool"), name);

    CString s("abcdef");
    EXPECT_EQ(6, s.Delete(6, 1));
    EXPECT_EQ(6, s.Delete(-1, 2));
    EXPECT_EQ(6, s.Delete(2, 0));
    EXPECT_EQ(6, s.Delete(2, -3));
    EXPECT_EQ(CString("abcdef"), s);
    EXPECT_EQ(5, s.Delete(0));
    EXPECT_EQ(CString("bcdef"), s);
    EXPECT_EQ(1, s.Delete(1, 1000));
    EXPECT_EQ(CString("b"), s);
}

TEST(CString, BufferWrittenInPlaceTakesTheLengthItIsGiven)
{
    CString s("old text");
    char* p = s.GetBuffer(260);
    std::strcpy(p, "C:\\Apps\\Tool.exe");
    s.ReleaseBuffer();
    EXPECT_EQ(16, s.GetLength());
    EXPECT_EQ(CString("C:\\Apps\\Tool.exe"), s);

    // A smaller request keeps what is there.
    p = s.GetBuffer(2);
    EXPECT_EQ(0, std::strncmp(p, "C:\\Apps", 7));
    s.ReleaseBuffer(7);
    EXPECT_EQ(CString("C:\\Apps"), s);

    // A length past the buffer is clamped, not trusted.
    s.GetBuffer(3);
    s.ReleaseBuffer(1000);
    EXPECT_EQ(7, s.GetLength());
}

}  // namespace
