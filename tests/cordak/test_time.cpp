#include <cordak/buffer.h>
#include <cordak/utime.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

std::string Str(const CUString& s)
{
    return std::string(static_cast<char const*>(s));
}

TEST(TimeSpanTest, FieldsAndFormat)
{
    CUTimeSpan span(3725L);
    EXPECT_EQ(span.GetTotalMinutes(), 62);
    EXPECT_EQ(span.GetHours(), 1);
    EXPECT_EQ(span.GetMinutes(), 2);
    EXPECT_EQ(span.GetSeconds(), 5);
    EXPECT_EQ(Str(span.Format("%H:%M:%S")), "01:02:05");

    CUTimeSpan dayAndHour(90000L);
    EXPECT_EQ(Str(dayAndHour.Format("%H:%M:%S")), "01:00:00");  // the day is not shown
    EXPECT_EQ(Str(dayAndHour.Format("%D %H")), "1 01");
    EXPECT_EQ(Str(CUTimeSpan(0L).Format("100%%")), "100%");
    EXPECT_EQ(Str(CUTimeSpan(0L).Format("%X")), "");
    EXPECT_EQ(Str(CUTimeSpan(61L).Format("a%Qb%S%")), "ab01");  // unknown and trailing '%'
    EXPECT_EQ(Str(CUTimeSpan(0L).Format("")), "");
    EXPECT_EQ(Str(CUTimeSpan(12L * 86400).Format("%D days")), "12 days");

    CUTimeSpan parts(1, 2, 3, 4);
    EXPECT_EQ(parts.GetTotalSeconds(), 93784);
    EXPECT_EQ(parts.GetDays(), 1);
    EXPECT_EQ(parts.GetTotalHours(), 26);

    // Negative spans truncate toward zero.
    CUTimeSpan back(-3725L);
    EXPECT_EQ(back.GetTotalMinutes(), -62);
    EXPECT_EQ(back.GetHours(), -1);
    EXPECT_EQ(back.GetMinutes(), -2);
    EXPECT_EQ(back.GetSeconds(), -5);

    // A long text is cut at the 255-character limit.
    std::string longFormat(400, 'x');
    EXPECT_EQ(CUTimeSpan(0L).Format(longFormat.c_str()).GetLength(), 255);
}

TEST(TimeSpanTest, ArithmeticWrapsAt32Bits)
{
    CUTimeSpan a(100L), b(30L);
    a -= CUTimeSpan(200L);
    EXPECT_EQ((a + b).GetTotalSeconds(), -70);
    EXPECT_TRUE(a < b && b > a && a != b && b == CUTimeSpan(30L));
    EXPECT_EQ((CUTimeSpan(0x7FFFFFFFL) + CUTimeSpan(1L)).GetTotalSeconds(), -2147483647L - 1);
    EXPECT_EQ(CUTimeSpan(0x100000005L).GetTotalSeconds(), 5);
}

class TimeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char const* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (m_hadTz)
            m_oldTz = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        if (m_hadTz)
            setenv("TZ", m_oldTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_hadTz = false;
    std::string m_oldTz;
};

TEST_F(TimeTest, FieldsOfTheLocalTime)
{
    CUTime leapDay(2024, 2, 29, 13, 14, 15, 0);
    EXPECT_EQ(leapDay.GetTime(), 1709212455);
    EXPECT_EQ(leapDay.GetYear(), 2024);
    EXPECT_EQ(leapDay.GetMonth(), 2);
    EXPECT_EQ(leapDay.GetDay(), 29);
    EXPECT_EQ(leapDay.GetHour(), 13);
    EXPECT_EQ(leapDay.GetMinute(), 14);
    EXPECT_EQ(leapDay.GetSecond(), 15);
    EXPECT_EQ(leapDay.GetDayOfWeek(), 5);  // a Thursday
    EXPECT_EQ(Str(leapDay.Format("%Y-%m-%d %H:%M:%S")), "2024-02-29 13:14:15");

    CUTime epoch;
    EXPECT_EQ(epoch.GetYear(), 1970);
    EXPECT_EQ(epoch.GetDayOfWeek(), 5);
    EXPECT_EQ(CUTime(-86400L).GetYear(), 1969);

    std::string longFormat(300, 'x');
    EXPECT_EQ(Str(leapDay.Format(longFormat.c_str())), "");  // does not fit in 256 bytes

    CUTime now = CUTime::GetCurTime();
    EXPECT_GT(now.GetYear(), 2020);
}

TEST_F(TimeTest, ArithmeticWrapsAt32Bits)
{
    CUTime start(1000L), end(4725L);
    CUTimeSpan elapsed = end - start;
    EXPECT_EQ(elapsed.GetTotalSeconds(), 3725);
    EXPECT_EQ(Str(elapsed.Format("%H:%M:%S")), "01:02:05");
    EXPECT_EQ((start + elapsed).GetTime(), 4725);
    EXPECT_EQ((end - elapsed).GetTime(), 1000);
    start += CUTimeSpan(5L);
    EXPECT_EQ(start.GetTime(), 1005);
    start -= CUTimeSpan(10L);
    EXPECT_EQ(start.GetTime(), 995);
    EXPECT_TRUE(start < end && end > start && start != end && start <= start && end >= end);
    EXPECT_TRUE(CUTime(7L) == CUTime(7L));

    EXPECT_EQ((CUTime(0x7FFFFFFFL) + CUTimeSpan(1L)).GetTime(), -2147483647L - 1);
    EXPECT_EQ(CUTime(0x100000005L).GetTime(), 5);
    CUTime assigned;
    assigned = 0x1FFFFFFFFL;
    EXPECT_EQ(assigned.GetTime(), -1);
}

TEST_F(TimeTest, StoredAsFourBytes)
{
    CUBuffer buffer;
    CUTime time(0x12345678L);
    CUTimeSpan span(-2L);
    time.Write(buffer);
    span.Write(buffer);
    ASSERT_EQ(buffer.GetSize(), 8);
    unsigned char const expected[] = {0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(buffer[i], expected[i]) << i;
    buffer.SeekToBegin();
    CUTime timeBack;
    CUTimeSpan spanBack;
    timeBack.Read(buffer);
    spanBack.Read(buffer);
    EXPECT_EQ(timeBack.GetTime(), 0x12345678L);
    EXPECT_EQ(spanBack.GetTotalSeconds(), -2);
}

}  // namespace
