#include <cordak/buffer.h>
#include <cordak/flag.h>

#include <gtest/gtest.h>

TEST(Flag, BitsOutsideTheSetAreNeverTouched)
{
    CUFlag f(10);  // rounds up to two bytes
    EXPECT_EQ(f.GetSize(), 16);
    f.Set(0);
    f.Set(9);
    f.Set(15);
    f.Set(16);
    f.Set(-1);
    EXPECT_EQ(f.CountSet(), 3);
    EXPECT_EQ(f.IsSet(16), 0);
    EXPECT_EQ(f.IsSet(-1), 0);
    EXPECT_EQ(f.GetBytes()[0], 0x01);
    EXPECT_EQ(f.GetBytes()[1], 0x82);
    f.Clear(9);
    f.Toggle(1);
    EXPECT_EQ(f.GetBytes()[0], 0x03);
    EXPECT_EQ(f.GetBytes()[1], 0x80);
    f.SetSize(24);
    EXPECT_EQ(f.GetBytes()[1], 0x80);  // kept bits survive growing
    EXPECT_EQ(f.GetBytes()[2], 0x00);
}

TEST(Flag, StoredAsItsBytesWithNoCount)
{
    CUFlag f(16);
    f.Set(3);
    f.Set(12);
    CUBuffer b;
    b << f << 7;
    ASSERT_EQ(b.GetSize(), 2 + 4);
    EXPECT_EQ(b[0], 0x08);
    EXPECT_EQ(b[1], 0x10);

    b.SeekToBegin();
    CUFlag g(16);
    int after = 0;
    b >> g >> after;
    EXPECT_EQ(g.IsSet(3), 1);
    EXPECT_EQ(g.IsSet(12), 1);
    EXPECT_EQ(g.CountSet(), 2);
    EXPECT_EQ(after, 7);
}

TEST(Flag, ReadingPastTheEndGivesClearBits)
{
    CUBuffer b;
    b << static_cast<unsigned char>(0xFF);
    b.SeekToBegin();
    CUFlag g(24);
    g.Set(20);
    b >> g;
    EXPECT_EQ(g.GetBytes()[0], 0xFF);
    EXPECT_EQ(g.IsSet(20), 0);
}
