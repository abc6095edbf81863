// The binary encoding is the byte layout of every stored file: these tests pin
// it byte for byte, and check that damaged content never reads outside memory.
#include <cordak/buffer.h>
#include <cordak/ustring.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(CUBuffer& b)
{
    return std::vector<unsigned char>(b.GetData(), b.GetData() + b.GetSize());
}

std::vector<unsigned char> Prefix(CUBuffer& b, int n)
{
    std::vector<unsigned char> all = Bytes(b);
    all.resize(std::min<size_t>(all.size(), n));
    return all;
}

using V = std::vector<unsigned char>;

}  // namespace

TEST(BufferEncoding, TextLengthPrefixes)
{
    struct Case { int length; V prefix; };
    const Case cases[] = {
        {0, {0x00}},
        {3, {0x03}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        std::string text(c.length, 'x');
        for (int i = 0; i < c.length; ++i)
            text[i] = static_cast<char>('a' + i % 26);
        CUBuffer b;
        b << text.c_str();
        ASSERT_EQ(b.GetSize(), static_cast<int>(c.prefix.size()) + c.length);
        EXPECT_EQ(Prefix(b, static_cast<int>(c.prefix.size())), c.prefix);
        EXPECT_EQ(0, std::memcmp(b.GetData() + c.prefix.size(), text.data(), c.length));

        // The CUString form writes the same bytes and both read back intact.
        CUBuffer s;
        CUString str(text.c_str());
        s << str;
        EXPECT_EQ(Bytes(s), Bytes(b));
        b.SeekToBegin();
        CUString back("old content");
        b >> back;
        EXPECT_EQ(back.GetLength(), c.length);
        EXPECT_STREQ(static_cast<char const*>(back), text.c_str());
        EXPECT_TRUE(b.IsEOF());
    }
}

TEST(BufferEncoding, NullTextIsEmpty)
{
    CUBuffer b;
    b << static_cast<char const*>(nullptr);
    EXPECT_EQ(Bytes(b), V({0x00}));
}

TEST(BufferEncoding, NumbersAreLittleEndianWithFixedWidths)
{
    CUBuffer b;
    b << 1 << static_cast<short>(-2) << 1.0 << 1.0f;
    b << static_cast<long>(-2) << static_cast<unsigned long>(0x12345678UL);
    b << static_cast<char>(-1) << static_cast<unsigned char>(0x80) << static_cast<unsigned short>(0xBEEF);
    EXPECT_EQ(Bytes(b), V({0x01, 0x00, 0x00, 0x00,                           // int 1
                           0xFE, 0xFF,                                       // short -2
                           0, 0, 0, 0, 0, 0, 0xF0, 0x3F,                     // double 1.0
                           0x00, 0x00, 0x80, 0x3F,                           // float 1.0
                           0xFE, 0xFF, 0xFF, 0xFF,                           // long -2, 4 bytes
                           0x78, 0x56, 0x34, 0x12,                           // unsigned long
                           0xFF, 0x80,                                       // char, unsigned char
                           0xEF, 0xBE}));                                    // unsigned short

    b.SeekToBegin();
    int i = 0;
    short s = 0;
    double d = 0;
    float f = 0;
    long l = 0;
    unsigned long ul = 0;
    char c = 0;
    unsigned char uc = 0;
    unsigned short us = 0;
    b >> i >> s >> d >> f >> l >> ul >> c >> uc >> us;
    EXPECT_EQ(i, 1);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(d, 1.0);
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(l, -2L);  // sign-extended into the 8-byte long
    EXPECT_EQ(ul, 0x12345678UL);
    EXPECT_EQ(c, -1);
    EXPECT_EQ(uc, 0x80);
    EXPECT_EQ(us, 0xBEEF);
    EXPECT_TRUE(b.IsEOF());
}

TEST(BufferEncoding, LongValuesKeepOnlyTheirLow32Bits)
{
    CUBuffer b;
    b << static_cast<unsigned long>(0xFFFFFFFFUL) << static_cast<long>(0x100000005L) << 0x00C0FFEEu;
    EXPECT_EQ(b.GetSize(), 12);
    b.SeekToBegin();
    unsigned long ul = 0;
    long l = 0;
    unsigned int colour = 0;
    b >> ul >> l >> colour;
    EXPECT_EQ(ul, 0xFFFFFFFFUL);  // zero-extended, not -1
    EXPECT_EQ(l, 5L);
    EXPECT_EQ(colour, 0x00C0FFEEu);
}

TEST(BufferEncoding, ReadsPastTheEndGiveZerosAndStopAtTheEnd)
{
    CUBuffer b;
    b << static_cast<short>(0x0102);
    b.SeekToBegin();
    int i = -1;
    b >> i;
    EXPECT_EQ(i, 0x0102);  // two real bytes, two zeros
    EXPECT_EQ(b.GetOffset(), 2);
    double d = 5;
    b >> d;
    EXPECT_EQ(d, 0.0);
    EXPECT_TRUE(b.IsEOF());

    unsigned char raw[4] = {9, 9, 9, 9};
    b.Seek(1, 0);
    b.Read(raw, 4);
    EXPECT_EQ(V(raw, raw + 4), V({0x01, 0, 0, 0}));

    CUBuffer empty;
    int v = 7;
    empty >> v;
    EXPECT_EQ(v, 0);
    EXPECT_EQ(empty[0], 0);
    EXPECT_EQ(b[-1], 0);
    EXPECT_EQ(b[2], 0);
}

TEST(BufferEncoding, DamagedTextLengthIsCutToWhatIsThere)
{
    // Prefixes that promise far more than the buffer holds.
    const V damaged[] = {
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'},
        {0xFF, 0x00, 0x10, 'a', 'b'},
        {0x20, 'a', 'b'},
        {0xFF, 0xFF},
    };
    for (const V& bytes : damaged) {
        CUBuffer b;
        b.Write(const_cast<unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        b.SeekToBegin();
        CUString s("before");
        b >> s;
        EXPECT_LE(s.GetLength(), 2);
        EXPECT_TRUE(b.IsEOF());
    }
}

TEST(BufferGrowth, CapacityFollowsBlockSize)
{
    unsigned char ten[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    CUBuffer b(1024);
    EXPECT_EQ(b.GetMaxSize(), 0);
    EXPECT_EQ(b.GetData(), nullptr);
    b.Write(ten, 10);
    EXPECT_EQ(b.GetMaxSize(), 1024);
    EXPECT_EQ(b.GetSize(), 10);
    EXPECT_EQ(b.GetOffset(), 10);
    b.SeekToBegin();
    unsigned char back[10];
    b.Read(back, 10);
    EXPECT_TRUE(b.IsEOF());
    EXPECT_EQ(V(back, back + 10), V(ten, ten + 10));

    // Reaching the capacity exactly grows it too.
    CUBuffer small(16);
    small.Write(ten, 10);
    EXPECT_EQ(small.GetMaxSize(), 16);
    small.Write(ten, 6);
    EXPECT_EQ(small.GetMaxSize(), 32);
    EXPECT_EQ(small.GetSize(), 16);

    // One write larger than a block gets exactly what it needs.
    std::vector<unsigned char> big(100, 7);
    CUBuffer tiny(16);
    tiny.Write(big.data(), 100);
    EXPECT_EQ(tiny.GetMaxSize(), 100);
}

TEST(BufferGrowth, ClearFreesOnlyMemoryBeyondOneBlock)
{
    unsigned char bytes[40] = {};
    CUBuffer grown(16);
    grown.Write(bytes, 40);
    grown.SetFlag(CUBuffer::cm_compressed);
    grown.Clear();
    EXPECT_EQ(grown.GetMaxSize(), 0);
    EXPECT_EQ(grown.GetData(), nullptr);
    EXPECT_EQ(grown.GetSize(), 0);
    EXPECT_EQ(grown.GetOffset(), 0);
    EXPECT_FALSE(grown.IsSet(CUBuffer::cm_compressed));

    CUBuffer kept(16);
    kept.Write(bytes, 5);
    kept.Clear();
    EXPECT_EQ(kept.GetMaxSize(), 16);
    EXPECT_NE(kept.GetData(), nullptr);
    EXPECT_EQ(kept.GetSize(), 0);
}

TEST(BufferGrowth, SeekAndOverwrite)
{
    CUBuffer b;
    for (int i = 0; i < 10; ++i)
        b << static_cast<char>('0' + i);
    b.Seek(3, 2);
    EXPECT_EQ(b.GetOffset(), 7);
    b.Seek(-2, 1);
    EXPECT_EQ(b.GetOffset(), 5);
    b.Seek(-100, 1);
    EXPECT_EQ(b.GetOffset(), 0);
    b.Seek(4, 9);  // unknown origin: no change
    EXPECT_EQ(b.GetOffset(), 0);

    b.Seek(2, 0);
    b << 'x';
    EXPECT_EQ(b.GetSize(), 10);
    EXPECT_EQ(b[2], 'x');

    // A write after seeking past the end fills the gap with zeros.
    b.Seek(14, 0);
    b << 'z';
    EXPECT_EQ(b.GetSize(), 15);
    for (int i = 10; i < 14; ++i)
        EXPECT_EQ(b[i], 0);
    EXPECT_EQ(b[14], 'z');
}

TEST(BufferGrowth, ReverseReadStepsBack)
{
    CUBuffer b;
    b << 0x04030201;
    unsigned char two[2] = {};
    EXPECT_EQ(b.ReverseRead(two, 2), 1);
    EXPECT_EQ(b.GetOffset(), 2);
    EXPECT_EQ(V(two, two + 2), V({0x03, 0x04}));
    unsigned char five[5] = {};
    EXPECT_EQ(b.ReverseRead(five, 5), 0);
    EXPECT_EQ(b.GetOffset(), 2);
}

TEST(BufferGrowth, RemoveMovesContentAndPosition)
{
    CUBuffer b;
    b << "abcdef";  // prefix 06 then six letters
    b.Remove(3);
    EXPECT_EQ(b.GetSize(), 4);
    EXPECT_EQ(b.GetOffset(), 4);
    EXPECT_EQ(b[0], 'c');
    b.Remove(0);
    EXPECT_EQ(b.GetSize(), 4);
    b.Remove(10);
    EXPECT_EQ(b.GetSize(), 0);
    EXPECT_EQ(b.GetOffset(), 0);
}

TEST(BufferGrowth, WritingItsOwnContentWhileGrowing)
{
    CUBuffer b(4);
    unsigned char three[3] = {1, 2, 3};
    b.Write(three, 3);
    EXPECT_EQ(b.GetMaxSize(), 4);
    b.Write(b.GetData(), 3);  // grows while the source is its own memory
    EXPECT_EQ(Bytes(b), V({1, 2, 3, 1, 2, 3}));
}

TEST(BufferLines, GetStringTakesCompleteLinesOffTheFront)
{
    CUBuffer b;
    unsigned char text[] = {'a', 'b', '\n', 'c', 'd'};
    b.Write(text, 5);
    CUString line("x");
    EXPECT_EQ(b.GetString(line), 1);
    EXPECT_STREQ(static_cast<char const*>(line), "ab");
    EXPECT_EQ(Bytes(b), V({'c', 'd'}));
    EXPECT_EQ(b.GetString(line), 0);
    EXPECT_STREQ(static_cast<char const*>(line), "ab");

    unsigned char more[] = {'\0', '\n'};
    b.Write(more, 2);
    EXPECT_EQ(b.GetString(line), 1);
    EXPECT_STREQ(static_cast<char const*>(line), "cd");
    EXPECT_EQ(b.GetString(line), 1);
    EXPECT_STREQ(static_cast<char const*>(line), "");
    EXPECT_EQ(b.GetSize(), 0);

    CUBuffer empty;
    EXPECT_EQ(empty.GetString(line), 0);
}

TEST(BufferNested, RoundTripsEveryField)
{
    CUBuffer inner(64);
    inner << 42 << "hi";
    inner.Seek(4, 0);
    inner.SetFlag(CUBuffer::cm_enciphered);

    CUBuffer outer;
    outer << 'x';
    inner.Write(outer);
    outer << 'y';
    EXPECT_EQ(Prefix(outer, 9), V({'x', 64, 0, 0, 0, 7, 0, 0, 0}));
    EXPECT_EQ(outer.GetSize(), 1 + 4 + 4 + 7 + 4 + 1 + 1);

    outer.Seek(1, 0);
    CUBuffer back;
    back << "stale";
    back.Read(outer);
    char y = 0;
    outer >> y;
    EXPECT_EQ(y, 'y');
    EXPECT_EQ(back.GetBlockSize(), 64);
    EXPECT_EQ(back.GetSize(), 7);
    EXPECT_EQ(back.GetOffset(), 4);
    EXPECT_TRUE(back.IsSet(CUBuffer::cm_enciphered));
    CUString hi;
    back >> hi;
    EXPECT_STREQ(static_cast<char const*>(hi), "hi");
}

TEST(BufferNested, DamagedNestedBufferStaysInsideTheInput)
{
    // Block size absurd, size far beyond the input, position beyond size,
    // flags claiming borrowed memory.
    CUBuffer outer;
    outer << 0x7FFFFFFF << 0x7FFFFFF0;
    outer << 'a' << 'b';
    outer.SeekToBegin();
    {
        CUBuffer back;
        back.Read(outer);
        EXPECT_EQ(back.GetSize(), 2);
        EXPECT_EQ(back.GetBlockSize(), CUBuffer::cm_defaultBlockSize);
        EXPECT_LE(back.GetOffset(), back.GetSize());
        EXPECT_FALSE(back.IsSet(CUBuffer::cm_borrowed));
        back << 1;  // still writable, and freed normally at scope end
    }

    CUBuffer withFlags;
    withFlags << 16 << 1 << 'q' << 99 << static_cast<unsigned char>(0xFF);
    withFlags.SeekToBegin();
    CUBuffer owned;
    owned.Read(withFlags);
    EXPECT_FALSE(owned.IsSet(CUBuffer::cm_borrowed));
    EXPECT_EQ(owned.GetOffset(), 1);
}

TEST(BufferBorrowed, ReadsTheCallersMemoryAndNeverFreesIt)
{
    unsigned char mine[6] = {0x01, 0x00, 0x00, 0x00, 0xAA, 0xBB};
    {
        CUBuffer cursor(mine, 6);
        EXPECT_TRUE(cursor.IsSet(CUBuffer::cm_borrowed));
        int v = 0;
        short s = 0;
        cursor >> v >> s;
        EXPECT_EQ(v, 1);
        EXPECT_EQ(s, static_cast<short>(0xBBAA));
        int past = 5;
        cursor >> past;
        EXPECT_EQ(past, 0);

        // Growing copies into memory of its own and leaves the caller's alone.
        cursor.SeekToEnd();
        cursor << 7;
        EXPECT_FALSE(cursor.IsSet(CUBuffer::cm_borrowed));
        EXPECT_EQ(cursor.GetSize(), 10);
        EXPECT_EQ(mine[4], 0xAA);
    }
    {
        CUBuffer cursor(mine, 6);
        cursor.SetFlag(CUBuffer::cm_compressed);
        cursor.ClearFlag(CUBuffer::cm_borrowed);  // not the caller's to change
        EXPECT_TRUE(cursor.IsSet(CUBuffer::cm_borrowed));
        cursor.Clear();  // lets go of the caller's memory instead of freeing it
        EXPECT_EQ(cursor.GetData(), nullptr);
        cursor << 3;
    }
    EXPECT_EQ(mine[0], 0x01);
}
