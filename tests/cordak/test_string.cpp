#include <cordak/buffer.h>
#include <cordak/clipboard.h>
#include <cordak/ustring.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Str(const CUString& s)
{
    return std::string(static_cast<char const*>(s));
}

TEST(StringTest, ConstructionAndAssignment)
{
    CUString empty;
    EXPECT_EQ(empty.GetLength(), 0);
    EXPECT_STREQ(static_cast<char const*>(empty), "");
    EXPECT_EQ(Str(CUString(static_cast<char const*>(nullptr))), "");
    EXPECT_EQ(Str(CUString(-42)), "-42");
    EXPECT_EQ(Str(CUString('q')), "q");

    CUString s("hello");
    CUString& same = s;
    s = same;
    EXPECT_EQ(Str(s), "hello");
    s.Assign(static_cast<char const*>(s) + 1, 3);  // source inside the held text
    EXPECT_EQ(Str(s), "ell");
    s.Assign("abcdefghij", 10);  // longer than the held text: reallocates
    EXPECT_EQ(Str(s), "abcdefghij");
    s.Assign(static_cast<char const*>(s) + 2, 8);
    EXPECT_EQ(Str(s), "cdefghij");

    s.Concatenate("", 0, "", 0);
    EXPECT_EQ(Str(s), "cdefghij");
    s.Concatenate("ab", 2, "cd", 1);
    EXPECT_EQ(Str(s), "abc");

    s += 7;
    s += '!';
    s += CUString("?");
    EXPECT_EQ(Str(s), "abc7!?");
    EXPECT_EQ(Str('<' + CUString("x") + '>'), "<x>");
    EXPECT_EQ(Str("a" + CUString("b") + "c"), "abc");

    s.Repeat('z', 4);
    EXPECT_EQ(Str(s), "zzzz");
    s.SetLength(3);
    EXPECT_EQ(s.GetLength(), 0);  // zeroed, for the caller to fill
    char* raw = s;
    raw[0] = 'x';
    raw[1] = 'y';
    raw[2] = 'z';
    EXPECT_EQ(Str(s), "xyz");
}

// Out-of-range positions are clamped; under the address sanitizer any read or
// write outside the held block fails the test.
TEST(StringTest, PositionsOutsideTheStringAreClamped)
{
    CUString s("abc");
    EXPECT_EQ(Str(s.Left(-1)), "abc");
    EXPECT_EQ(Str(s.Left(100)), "abc");
    EXPECT_EQ(Str(s.Left(2)), "ab");
    EXPECT_EQ(Str(s.Right(10)), "abc");
    EXPECT_EQ(Str(s.Right(-1)), "abc");
    EXPECT_EQ(Str(s.Right(1)), "c");
    EXPECT_EQ(Str(s.Mid(1)), "bc");
    EXPECT_EQ(Str(s.Mid(-5, 2)), "ab");
    EXPECT_EQ(Str(s.Mid(2, 100)), "c");
    EXPECT_EQ(Str(s.Mid(10)), "");
    EXPECT_EQ(Str(s.Mid(1, -3)), "");
    EXPECT_EQ(s.GetAt(-1), 0);
    EXPECT_EQ(s.GetAt(3), 0);
    EXPECT_EQ(s[1], 'b');
    s.SetAt(-1, 'x');
    s.SetAt(3, 'x');
    s.SetAt(100, 'x');
    EXPECT_EQ(Str(s), "abc");
    s.SetAt(0, 'A');
    EXPECT_EQ(Str(s), "Abc");
    EXPECT_EQ(CUString("\xE9").GetAt(0), 0xE9);  // unsigned
}

TEST(StringTest, CompareIsUnsignedAndCompareNoCaseIsSigned)
{
    CUString abc("abc");
    EXPECT_EQ(abc.Compare("ABC"), 1);
    EXPECT_EQ(abc.CompareNoCase("ABC"), 0);
    EXPECT_EQ(abc.Compare("abd"), -1);
    EXPECT_EQ(abc.Compare(nullptr), 1);

    // 0xE9 orders after ASCII byte-wise, before it case-insensitively.
    CUString high("\xE9t\xE9");
    EXPECT_EQ(high.Compare("a"), 1);
    EXPECT_EQ(high.CompareNoCase("a"), -1);
    EXPECT_EQ(CUString("a").CompareNoCase("\xE9"), 1);
    EXPECT_EQ(high.CompareNoCase("\xE9T\xE9"), 0);

    // A proper prefix is not equal to the longer text.
    EXPECT_EQ(CUString("ab").CompareNoCase("abc"), -1);
    EXPECT_EQ(CUString("abc").CompareNoCase("AB"), 1);
    EXPECT_EQ(CUString("ab").CompareNoCase("ab\xE9"), 1);

    EXPECT_EQ(CUString("game.puz").StrSuf(".PUZ"), 1);
    EXPECT_EQ(CUString("game.puz").StrSuf(""), 1);
    EXPECT_EQ(CUString("abc").StrSuf("xabc"), 0);
    EXPECT_EQ(CUString("abc").StrSuf("abcd"), 0);
    EXPECT_EQ(CUString::StrSuf("Web.BMP", ".bmp"), 1);
    EXPECT_EQ(CUString("Cube(3x3x3)").StrPre("cube"), 1);
    EXPECT_EQ(CUString("abc").StrPre("abcd"), 0);

    EXPECT_EQ(abc != "abd", -1);  // Compare's value
    EXPECT_EQ(abc != CUString("abc"), 0);
}

TEST(StringTest, Search)
{
    CUString s("hello world");
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find('\0'), -1);
    EXPECT_EQ(s.ReverseFind('o'), 7);
    EXPECT_EQ(s.FindNoCase("WORLD"), 6);
    EXPECT_EQ(s.FindNotOneOf("hel"), 4);
    EXPECT_EQ(s.FindNotOneOf("helo wrd"), -1);
}

TEST(StringTest, ParseOneArg)
{
    CUString s("  hello world  ");
    EXPECT_EQ(Str(s.ParseOneArg(" ")), "hello");
    EXPECT_EQ(Str(s), "world  ");
    EXPECT_EQ(Str(s.ParseOneArg(" ")), "world");
    EXPECT_EQ(Str(s), "");
    EXPECT_EQ(Str(s.ParseOneArg(" ")), "");

    // A non-blank delimiter followed by another gives an empty token.
    s = ",,b";
    EXPECT_EQ(Str(s.ParseOneArg(",")), "");
    EXPECT_EQ(Str(s), "b");
    s = ",b,c";
    EXPECT_EQ(Str(s.ParseOneArg(",")), "b");
    EXPECT_EQ(Str(s), "c");
    s = ", a";
    EXPECT_EQ(Str(s.ParseOneArg(" ,")), "");
    EXPECT_EQ(Str(s), "a");
    s = " ,a";
    EXPECT_EQ(Str(s.ParseOneArg(" ,")), "a");

    // Bytes 0x80-0xFF, in tokens and as delimiters.
    s = "\xE9t\xE9 caf\xE9";
    EXPECT_EQ(Str(s.ParseOneArg(" ")), "\xE9t\xE9");
    EXPECT_EQ(Str(s), "caf\xE9");
    s = "x\xA7y\xA7\xA7z";
    EXPECT_EQ(Str(s.ParseOneArg("\xA7")), "x");
    EXPECT_EQ(Str(s.ParseOneArg("\xA7")), "y");
    EXPECT_EQ(Str(s), "z");
    s = "\xA7\xA7z";
    EXPECT_EQ(Str(s.ParseOneArg("\xA7")), "");
    EXPECT_EQ(Str(s), "z");

    s = "home/user//games";
    std::vector<std::string> parts;
    while (!s.IsEmpty())
        parts.push_back(Str(s.ParseOneArg("/\\")));
    EXPECT_EQ(parts, (std::vector<std::string>{"home", "user", "games"}));
}

TEST(StringTest, SortAndTrim)
{
    CUString s("b\xE9" "ca");
    s.Sort(1);
    EXPECT_EQ(Str(s), "\xE9" "abc");  // signed: 0xE9 first
    s.Sort(0);
    EXPECT_EQ(Str(s), "cba\xE9");
    s = "xxabcxx";
    s.TrimLeft("x");
    EXPECT_EQ(Str(s), "abcxx");
    s.TrimRight("x");
    EXPECT_EQ(Str(s), "abc");
    s = "--a-b--";
    s.Trim("-");
    EXPECT_EQ(Str(s), "a-b");
    s = " \t\r\n text here \n";
    s.TrimWhitespace();
    EXPECT_EQ(Str(s), "text here");
    s = "   ";
    s.TrimWhitespace();
    EXPECT_EQ(Str(s), "");
}

struct PermuteLog
{
    std::vector<std::string> calls;
    size_t stopAfter = 1000;
};

int Record(char const* text, long data)
{
    auto* log = reinterpret_cast<PermuteLog*>(data);
    log->calls.push_back(text);
    return log->calls.size() < log->stopAfter;
}

std::vector<std::string> Permutations(char const* text, int prefixes)
{
    PermuteLog log;
    CUString s(text);
    s.Permute(Record, reinterpret_cast<long>(&log), prefixes);
    return log.calls;
}

TEST(StringTest, Permute)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Permutations("cab", 0), (V{"abc", "acb", "bac", "bca", "cab", "cba"}));
    EXPECT_EQ(Permutations("aba", 0), (V{"aab", "aba", "baa"}));
    EXPECT_EQ(Permutations("abc", 1),
              (V{"a", "ab", "abc", "ac", "acb", "b", "ba", "bac", "bc", "bca", "c", "ca", "cab", "cb", "cba"}));
    EXPECT_EQ(Permutations("aab", 1), (V{"a", "aa", "aab", "ab", "aba", "b", "ba", "baa"}));
    // A second enumeration starts afresh: its first prefixes are not skipped.
    EXPECT_EQ(Permutations("ab", 1), (V{"a", "ab", "b", "ba"}));
    EXPECT_EQ(Permutations("ab", 1), (V{"a", "ab", "b", "ba"}));
    EXPECT_EQ(Permutations("", 0), V{});

    PermuteLog log;
    log.stopAfter = 2;
    CUString s("dcba");
    EXPECT_EQ(s.Permute(Record, reinterpret_cast<long>(&log), 0), 0);
    EXPECT_EQ(log.calls, (V{"abcd", "abdc"}));
    EXPECT_EQ(Str(s), "abcd");  // left sorted
}

TEST(StringTest, NumbersAndChecksums)
{
    EXPECT_EQ(CUString("0x1G").HexToLong(), 1u);
    EXPECT_EQ(CUString("ff").HexToLong(), 255u);
    EXPECT_EQ(CUString("-1a").HexToLong(), 0x1Au);
    EXPECT_EQ(CUString("FFFFFFFF").HexToLong(), 0xFFFFFFFFu);
    EXPECT_EQ(CUString("123456789").HexToLong(), 0x23456789u);  // wraps at 32 bits
    EXPECT_EQ(CUString("").HexToLong(), 0u);

    struct { char const* text; int decimal; int expected; } const numbers[] = {
        {"12", 0, 1},    {"  -12  ", 0, 1}, {"-", 0, 1},     {"", 0, 0},      {"   ", 0, 0},
        {"1.5", 0, 0},   {"1.5", 1, 1},     {"1.2.3", 1, 0}, {"12a", 0, 0},   {"12 a", 0, 0},
        {"-.5", 1, 1},   {"--1", 0, 0},     {"+1", 0, 0},    {"7\t\n", 0, 1},
    };
    for (auto const& n : numbers)
        EXPECT_EQ(CUString::IsNumber(n.text, n.decimal), n.expected) << '"' << n.text << '"';
    EXPECT_EQ(CUString::IsNumber(nullptr, 1), 0);
    EXPECT_EQ(CUString("42").IsNumber(0), 1);

    EXPECT_EQ(CUString("abc").AddUpASCII(), 294u);
    EXPECT_EQ(CUString("").AddUpASCII(), 0u);
    EXPECT_EQ(CUString("\xE9").AddUpASCII(), 0xFFFFFFE9u);
    EXPECT_EQ(CUString("\xE9\xE9" "a").AddUpASCII(), 51u);  // -23 - 23 + 97
}

TEST(StringTest, FormatIsBoundedByTheSharedBuffer)
{
    CUString s;
    s.Format("%d-%s-%c", 12, "ab", 'z');
    EXPECT_EQ(Str(s), "12-ab-z");

    std::string big(3000, 'x');
    s.Format("%s", big.c_str());
    EXPECT_EQ(s.GetLength(), CUString::cm_formatSize - 1);
    s.Format("<%s>", big.c_str());
    EXPECT_EQ(s.GetLength(), CUString::cm_formatSize - 1);
    EXPECT_EQ(s[0], '<');

    // The string's own text as an argument.
    s = "abc";
    s.Format("%s%s", static_cast<char const*>(s), static_cast<char const*>(s));
    EXPECT_EQ(Str(s), "abcabc");
    s = 2147483647;
    EXPECT_EQ(Str(s), "2147483647");
}

TEST(StringTest, WildcardsAndEmailAddresses)
{
    CUString name("Cube(3x3x3).puz");
    EXPECT_EQ(name.WildcardMatch("*.puz"), 1);
    EXPECT_EQ(name.WildcardMatch("Cube(?x?x?)*"), 1);
    EXPECT_EQ(name.WildcardMatch("*.bmp"), 0);
    EXPECT_EQ(name.WildcardMatch("Cube"), 0);
    EXPECT_EQ(CUString("").WildcardMatch("*"), 1);
    EXPECT_EQ(CUString("aaab").WildcardMatch("*a*b"), 1);
    EXPECT_EQ(CUString("ab").WildcardMatch("a?b"), 0);

    for (char const* good : {"player@example.com", "first.last+tag@mail.example.org"})
        EXPECT_EQ(CUString::ValidateEmailAddress(good), 1) << good;
    for (char const* bad : {"", "@example.com", "player@", "player@example", "a@@b.com", "a b@c.com",
                            ".a@b.com", "a..b@c.com", "a@-b.com", "a@b.c", "a@b..com"})
        EXPECT_EQ(CUString::ValidateEmailAddress(bad), 0) << bad;
}

TEST(StringTest, StoredFormRoundTrips)
{
    struct { int length; std::vector<unsigned char> prefix; } const cases[] = {
        {0, {0x00}},
        {3, {0x03}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (auto const& c : cases) {
        CUString original;
        original.Repeat('a', c.length);
        if (c.length > 0)
            original.SetAt(c.length - 1, '\xE9');
        CUBuffer buffer;
        original.Write(buffer);
        ASSERT_EQ(buffer.GetSize(), static_cast<int>(c.prefix.size()) + c.length);
        for (size_t i = 0; i < c.prefix.size(); ++i)
            EXPECT_EQ(buffer[static_cast<int>(i)], c.prefix[i]) << c.length << " byte " << i;
        buffer.SeekToBegin();
        CUString back("old content");
        back.Read(buffer);
        EXPECT_EQ(back.GetLength(), c.length);
        EXPECT_EQ(back.Compare(original), 0);
        EXPECT_EQ(buffer.IsEOF(), 1);
    }
}

TEST(StringTest, DamagedLengthReadsOnlyWhatIsThere)
{
    unsigned char damaged[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'};
    CUBuffer buffer;
    buffer.Write(damaged, sizeof damaged);
    buffer.SeekToBegin();
    CUString s;
    s.Read(buffer);
    EXPECT_EQ(Str(s), "ab");

    unsigned char shortText[] = {0x05, 'x', 'y'};
    CUBuffer small;
    small.Write(shortText, sizeof shortText);
    small.SeekToBegin();
    s.Read(small);
    EXPECT_EQ(Str(s), "xy");
}

class FakeClipboard : public CUClipboardService
{
public:
    int PutText(char const* text) override
    {
        ++puts;
        if (fail)
            return 0;
        content = text;
        return 1;
    }
    int GetText(CUString& text) override
    {
        if (fail || content.empty())
            return 0;
        text = content.c_str();
        return 1;
    }
    std::string content;
    int puts = 0;
    bool fail = false;
};

TEST(StringTest, ClipboardGoesThroughTheInstalledService)
{
    CUString s("text");
    ASSERT_EQ(GetClipboardService(), nullptr);
    EXPECT_EQ(s.ToClipboard(), 0);
    EXPECT_EQ(s.FromClipboard(), 0);

    FakeClipboard clipboard;
    EXPECT_EQ(SetClipboardService(&clipboard), nullptr);
    EXPECT_EQ(CUString("").ToClipboard(), 0);
    EXPECT_EQ(clipboard.puts, 0);
    EXPECT_EQ(s.ToClipboard(), 1);
    EXPECT_EQ(clipboard.content, "text");

    CUString other("other");
    EXPECT_EQ(other.FromClipboard(), 1);
    EXPECT_EQ(Str(other), "text");

    clipboard.fail = true;
    other = "kept";
    EXPECT_EQ(other.ToClipboard(), 0);
    EXPECT_EQ(other.FromClipboard(), 0);
    EXPECT_EQ(Str(other), "kept");

    EXPECT_EQ(SetClipboardService(nullptr), &clipboard);
}

}  // namespace
