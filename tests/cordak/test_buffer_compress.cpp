#include <cordak/buffer.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<unsigned char> Bytes(CUBuffer& b)
{
    return std::vector<unsigned char>(b.GetData(), b.GetData() + b.GetSize());
}

// Content that compresses well but is not trivial, longer than one zlib chunk
// once inflated.
std::vector<unsigned char> SampleContent(int size)
{
    std::vector<unsigned char> bytes(size);
    unsigned state = 12345;
    for (int i = 0; i < size; ++i) {
        state = state * 1103515245 + 12345;
        bytes[i] = static_cast<unsigned char>(i % 7 == 0 ? (state >> 16) : 'a' + i % 5);
    }
    return bytes;
}

void Fill(CUBuffer& b, const std::vector<unsigned char>& bytes)
{
    b.Write(const_cast<unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

int32_t LeadingInt(CUBuffer& b)
{
    b.SeekToBegin();
    int v = 0;
    b >> v;
    return v;
}

}  // namespace

TEST(BufferCompress, RoundTripWithoutHeader)
{
    for (int size : {1, 3, 1000, 200000}) {
        SCOPED_TRACE(size);
        std::vector<unsigned char> original = SampleContent(size);
        CUBuffer b;
        Fill(b, original);
        ASSERT_EQ(b.Compress(9, 0), 1);
        EXPECT_TRUE(b.IsSet(CUBuffer::cm_compressed));
        if (size > 1000) {
            EXPECT_LT(b.GetSize(), size / 2);
        }
        // Already compressed: nothing more happens.
        std::vector<unsigned char> packed = Bytes(b);
        ASSERT_EQ(b.Compress(9, 0), 1);
        EXPECT_EQ(Bytes(b), packed);

        ASSERT_EQ(b.Expand(0, 0), 1);
        EXPECT_FALSE(b.IsSet(CUBuffer::cm_compressed));
        EXPECT_EQ(Bytes(b), original);
        // Not marked compressed any more: Expand leaves it alone.
        ASSERT_EQ(b.Expand(0, 0), 1);
        EXPECT_EQ(Bytes(b), original);
    }
}

TEST(BufferCompress, HeaderHoldsMinusTheCompressedSizeAndKeepsTheContent)
{
    std::vector<unsigned char> original = SampleContent(100000);
    CUBuffer b;
    Fill(b, original);
    ASSERT_EQ(b.Compress(6, 1), 1);
    EXPECT_EQ(LeadingInt(b), -b.GetSize());

    // Plain data appended after the compressed part survives expansion.
    b.SeekToEnd();
    b << "tail";
    ASSERT_EQ(b.Expand(0, 1), 1);
    std::vector<unsigned char> expected = original;
    for (unsigned char c : {'\x04', 't', 'a', 'i', 'l'})
        expected.push_back(c);
    EXPECT_EQ(Bytes(b), expected);
}

TEST(BufferCompress, ShortContentWithHeader)
{
    CUBuffer b;
    b << 'x';
    ASSERT_EQ(b.Compress(9, 1), 1);
    ASSERT_EQ(b.Expand(0, 1), 1);
    EXPECT_EQ(Bytes(b), std::vector<unsigned char>({'x'}));
}

TEST(BufferCompress, ForcedExpandOfPlainContent)
{
    CUBuffer packed;
    Fill(packed, SampleContent(5000));
    ASSERT_EQ(packed.Compress(9, 0), 1);
    // A copy without the flag, as if it had been read from a file.
    CUBuffer fromFile;
    std::vector<unsigned char> bytes = Bytes(packed);
    Fill(fromFile, bytes);
    ASSERT_EQ(fromFile.Expand(0, 0), 1);
    EXPECT_EQ(Bytes(fromFile), bytes);
    ASSERT_EQ(fromFile.Expand(1, 0), 1);
    EXPECT_EQ(Bytes(fromFile), SampleContent(5000));
}

TEST(BufferCompress, DamagedDataFailsAndChangesNothing)
{
    CUBuffer packed;
    Fill(packed, SampleContent(50000));
    ASSERT_EQ(packed.Compress(9, 0), 1);
    std::vector<unsigned char> good = Bytes(packed);

    std::vector<std::vector<unsigned char>> damaged;
    damaged.push_back(std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2));
    std::vector<unsigned char> flipped = good;
    flipped[good.size() / 3] ^= 0x55;
    flipped[good.size() / 3 + 1] ^= 0xAA;
    damaged.push_back(flipped);
    damaged.push_back({'n', 'o', 't', ' ', 'z', 'l', 'i', 'b'});
    for (const auto& bytes : damaged) {
        CUBuffer b;
        Fill(b, bytes);
        b.SetFlag(CUBuffer::cm_compressed);
        EXPECT_EQ(b.Expand(0, 0), 0);
        EXPECT_EQ(Bytes(b), bytes);
        EXPECT_TRUE(b.IsSet(CUBuffer::cm_compressed));
    }

    // Headers that do not fit the content.
    for (int h : {0, 5, -2, -1000000, static_cast<int>(0x80000000u)}) {
        CUBuffer b;
        b << h;
        b.Write(good.data(), static_cast<int>(good.size()));
        std::vector<unsigned char> before = Bytes(b);
        EXPECT_EQ(b.Expand(1, 1), 0) << h;
        EXPECT_EQ(Bytes(b), before);
    }
}

TEST(BufferCompress, BadLevelFailsAndChangesNothing)
{
    CUBuffer b;
    b << "content";
    std::vector<unsigned char> before = Bytes(b);
    EXPECT_EQ(b.Compress(42, 0), 0);
    EXPECT_EQ(Bytes(b), before);
    EXPECT_FALSE(b.IsSet(CUBuffer::cm_compressed));
}

TEST(BufferCompress, EmptyBufferIsLeftAlone)
{
    CUBuffer b;
    EXPECT_EQ(b.Compress(9, 1), 1);
    EXPECT_EQ(b.Expand(1, 1), 1);
    EXPECT_EQ(b.GetSize(), 0);
    EXPECT_FALSE(b.IsSet(CUBuffer::cm_compressed));
}

TEST(BufferEncrypt, RoundTripsAnyLength)
{
    for (int size : {1, 31, 32, 33, 1000}) {
        SCOPED_TRACE(size);
        std::vector<unsigned char> original = SampleContent(size);
        CUBuffer b;
        Fill(b, original);
        ASSERT_EQ(b.Encrypt(), 1);
        EXPECT_TRUE(b.IsSet(CUBuffer::cm_enciphered));
        EXPECT_EQ(b.GetSize() % 32, 4);
        EXPECT_NE(std::vector<unsigned char>(b.GetData(), b.GetData() + size), original);
        ASSERT_EQ(b.Decrypt(), 1);
        EXPECT_FALSE(b.IsSet(CUBuffer::cm_enciphered));
        EXPECT_EQ(Bytes(b), original);
    }
}

TEST(BufferEncrypt, DecryptRefusesContentEncryptCannotHaveMade)
{
    CUBuffer b;
    b << "plain text";
    std::vector<unsigned char> before = Bytes(b);
    EXPECT_EQ(b.Decrypt(), 0);
    EXPECT_EQ(Bytes(b), before);

    CUBuffer sizeOnly;
    sizeOnly << 0;  // a plain size and no blocks
    EXPECT_EQ(sizeOnly.Decrypt(), 0);
    EXPECT_EQ(sizeOnly.GetSize(), 4);

    CUBuffer sealed;
    sealed << "secret";
    ASSERT_EQ(sealed.Encrypt(), 1);
    sealed.GetData()[32] = 200;  // plain size larger than the blocks hold
    before = Bytes(sealed);
    EXPECT_EQ(sealed.Decrypt(), 0);
    EXPECT_EQ(Bytes(sealed), before);
}
