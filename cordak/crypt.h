// CUCryptor: a keyed, exactly reversible transform of 32-byte blocks.
//
// This is obfuscation, not security: it keeps settings values (the password
// entries of the settings file) and enciphered buffers from being readable at a
// glance. Anyone with the library can undo it. Do not use it to protect secrets.
#pragma once

class CUCryptor
{
public:
    static constexpr int cm_blockSize = 32;

    // The library's built-in key.
    CUCryptor();
    // A key of any length; a null or empty key gives the built-in key.
    explicit CUCryptor(char const* key);

    // Transform one block in place; DecryptBlock undoes EncryptBlock exactly.
    void EncryptBlock(unsigned char block[cm_blockSize]) const;
    void DecryptBlock(unsigned char block[cm_blockSize]) const;

private:
    void SetKey(char const* key);

    unsigned char m_key[cm_blockSize];
};
