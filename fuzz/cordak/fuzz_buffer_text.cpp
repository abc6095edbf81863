// Arbitrary bytes as buffer content and as a text file: every typed read, the
// line reader, nested buffers, expansion and the file's text readers must stay
// inside memory and terminate.
#include <cordak/buffer.h>
#include <cordak/file.h>
#include <cordak/ustring.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void ReadTypedValues(const uint8_t* data, size_t size)
{
    CUBuffer b;
    b.Write(const_cast<unsigned char*>(data), static_cast<int>(size));
    b.SeekToBegin();
    // The content itself chooses which value to read next.
    for (int step = 0; step < 4096 && !b.IsEOF(); ++step) {
        unsigned char kind = 0;
        b >> kind;
        switch (kind % 10) {
        case 0: { CUString s; b >> s; break; }
        case 1: { int v; b >> v; break; }
        case 2: { double v; b >> v; break; }
        case 3: { long v; b >> v; break; }
        case 4: { unsigned long v; b >> v; break; }
        case 5: { short v; b >> v; break; }
        case 6: { float v; b >> v; break; }
        case 7: { CUBuffer nested; b >> nested; nested << 1; break; }
        case 8: { unsigned char raw[3]; b.ReverseRead(raw, kind % 4); break; }
        case 9: b.Seek(static_cast<signed char>(kind), kind % 3); break;
        }
    }
}

void ReadLines(const uint8_t* data, size_t size)
{
    CUBuffer b;
    b.Write(const_cast<unsigned char*>(data), static_cast<int>(size));
    CUString line;
    while (b.GetString(line)) {
    }
}

void Unpack(const uint8_t* data, size_t size)
{
    for (int header = 0; header < 2; ++header) {
        CUBuffer b;
        b.Write(const_cast<unsigned char*>(data), static_cast<int>(size));
        b.Expand(1, header);
    }
    CUBuffer sealed;
    sealed.Write(const_cast<unsigned char*>(data), static_cast<int>(size));
    sealed.Decrypt();
}

void ReadAsTextFile(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/fuzz_buffer_text." + std::to_string(getpid());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return;
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    CUFile f;
    if (!f.Open(path.c_str(), 0))
        return;
    // Each reader consumes at least one character or reports the end.
    for (int step = 0; step < 100000; ++step) {
        CUString s;
        int v = 0;
        char c = 0;
        int more = 0;
        switch (step % 6) {
        case 0: more = f.ReadString(s, "\n\r\t =", 1); break;
        case 1: more = f.ReadQuotedString(s); break;
        case 2: more = f.ReadInt(v); break;
        case 3: more = f.ReadChar(c, "\n\r\t ", step % 4 == 3); more = more && f.ReadChar(c, nullptr, 0); break;
        case 4: more = f.SeekEOL(); break;
        case 5: more = f.ReadString(s, "\n\r", 0); break;
        }
        if (!more && f.IsEOF())
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    ReadTypedValues(data, size);
    ReadLines(data, size);
    Unpack(data, size);
    ReadAsTextFile(data, size);
    return 0;
}
