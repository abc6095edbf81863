#include <cordak/crypt.h>
#include <cordak/ustring.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>

namespace {

using Block = std::array<unsigned char, CUCryptor::cm_blockSize>;

TEST(CryptTest, BlocksRoundTripAndDiffer)
{
    std::mt19937 random(7);
    CUCryptor cryptor;
    CUCryptor other("another key");
    for (int round = 0; round < 200; ++round) {
        Block plain;
        for (auto& b : plain)
            b = static_cast<unsigned char>(random());
        Block block = plain;
        cryptor.EncryptBlock(block.data());
        EXPECT_NE(block, plain);
        Block withOther = plain;
        other.EncryptBlock(withOther.data());
        EXPECT_NE(withOther, block);
        cryptor.DecryptBlock(block.data());
        EXPECT_EQ(block, plain);
        other.DecryptBlock(withOther.data());
        EXPECT_EQ(withOther, plain);
    }

    // One changed input byte changes many output bytes.
    Block a{}, b{};
    b[5] = 1;
    cryptor.EncryptBlock(a.data());
    cryptor.EncryptBlock(b.data());
    int differing = 0;
    for (int i = 0; i < CUCryptor::cm_blockSize; ++i)
        differing += a[i] != b[i];
    EXPECT_GT(differing, CUCryptor::cm_blockSize / 2);
}

TEST(CryptTest, StringsRoundTripAsHex)
{
    for (int length : {1, 5, 31, 32, 33, 64, 100}) {
        std::string text;
        for (int i = 0; i < length; ++i)
            text += static_cast<char>(1 + (i * 37) % 255);  // every byte but NUL, high ones too
        CUString s(text.c_str());
        ASSERT_EQ(s.Encrypt(), 1);
        int blocks = (length + 31) / 32;
        EXPECT_EQ(s.GetLength(), blocks * 64) << length;
        EXPECT_EQ(s.FindNotOneOf("0123456789abcdef"), -1);
        EXPECT_EQ(s.Find(text.c_str()), -1);
        ASSERT_EQ(s.Decrypt(), 1);
        EXPECT_EQ(std::string(static_cast<char const*>(s)), text);
    }
    CUString empty;
    EXPECT_EQ(empty.Encrypt(), 1);
    EXPECT_EQ(empty.GetLength(), 0);
    EXPECT_EQ(empty.Decrypt(), 1);
}

TEST(CryptTest, DecryptRefusesForeignText)
{
    CUString good("secret");
    good.Encrypt();
    std::string hex(static_cast<char const*>(good));
    for (std::string bad : {std::string("not hex at all"), hex.substr(0, 63), hex + "00",
                            hex.substr(0, 62) + "zz", std::string(64, 'g')}) {
        CUString s(bad.c_str());
        EXPECT_EQ(s.Decrypt(), 0) << bad;
        EXPECT_EQ(std::string(static_cast<char const*>(s)), bad);
    }
}

}  // namespace
