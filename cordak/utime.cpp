#include <cordak/utime.h>

#include <cordak/buffer.h>

namespace {

constexpr int kFormatArea = 256;
constexpr std::int64_t kSecondsPerDay = 86400;

// Keeps the low 32 bits: times and spans are 32-bit values whatever the
// width of long, and arithmetic on them wraps instead of overflowing.
std::int32_t To32(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::int32_t Add32(std::int32_t a, std::int32_t b)
{
    return To32(static_cast<std::int64_t>(a) + b);
}

std::int32_t Sub32(std::int32_t a, std::int32_t b)
{
    return To32(static_cast<std::int64_t>(a) - b);
}

void AppendTwoDigits(CUString& out, long v)
{
    CUString digits;
    digits.Format("%02ld", v);
    out += digits;
}

}  // namespace

// ---- CUTimeSpan --------------------------------------------------------------

CUTimeSpan::CUTimeSpan() : m_span(0) {}

CUTimeSpan::CUTimeSpan(long seconds) : m_span(To32(seconds)) {}

CUTimeSpan::CUTimeSpan(int days, int hours, int minutes, int seconds)
    : m_span(To32(days * kSecondsPerDay + hours * std::int64_t{3600} + minutes * std::int64_t{60} + seconds))
{
}

CUTimeSpan::CUTimeSpan(const CUTimeSpan& other) : CUObject(), m_span(other.m_span) {}

CUTimeSpan& CUTimeSpan::operator=(const CUTimeSpan& other)
{
    m_span = other.m_span;
    return *this;
}

long CUTimeSpan::GetTotalSeconds() const { return m_span; }
long CUTimeSpan::GetTotalMinutes() const { return m_span / 60; }
long CUTimeSpan::GetTotalHours() const { return m_span / 3600; }
long CUTimeSpan::GetDays() const { return m_span / kSecondsPerDay; }
int CUTimeSpan::GetHours() const { return static_cast<int>(GetTotalHours() - 24 * GetDays()); }
int CUTimeSpan::GetMinutes() const { return static_cast<int>(GetTotalMinutes() - 60 * GetTotalHours()); }
int CUTimeSpan::GetSeconds() const { return static_cast<int>(m_span - 60 * GetTotalMinutes()); }

CUTimeSpan CUTimeSpan::operator+(const CUTimeSpan& other) const { return CUTimeSpan(static_cast<long>(Add32(m_span, other.m_span))); }
CUTimeSpan CUTimeSpan::operator-(const CUTimeSpan& other) const { return CUTimeSpan(static_cast<long>(Sub32(m_span, other.m_span))); }

CUTimeSpan& CUTimeSpan::operator+=(const CUTimeSpan& other)
{
    m_span = Add32(m_span, other.m_span);
    return *this;
}

CUTimeSpan& CUTimeSpan::operator-=(const CUTimeSpan& other)
{
    m_span = Sub32(m_span, other.m_span);
    return *this;
}

int CUTimeSpan::operator==(const CUTimeSpan& other) const { return m_span == other.m_span; }
int CUTimeSpan::operator!=(const CUTimeSpan& other) const { return m_span != other.m_span; }
int CUTimeSpan::operator<(const CUTimeSpan& other) const { return m_span < other.m_span; }
int CUTimeSpan::operator>(const CUTimeSpan& other) const { return m_span > other.m_span; }
int CUTimeSpan::operator<=(const CUTimeSpan& other) const { return m_span <= other.m_span; }
int CUTimeSpan::operator>=(const CUTimeSpan& other) const { return m_span >= other.m_span; }

CUString CUTimeSpan::Format(char const* fmt) const
{
    CUString out;
    if (fmt == nullptr)
        return out;
    for (char const* p = fmt; *p != '\0'; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        switch (*p) {
        case 'D': out += CUString(static_cast<int>(GetDays())); break;
        case 'H': AppendTwoDigits(out, GetHours()); break;
        case 'M': AppendTwoDigits(out, GetMinutes()); break;
        case 'S': AppendTwoDigits(out, GetSeconds()); break;
        case '%': out += '%'; break;
        case '\0': return out.Left(kFormatArea - 1);  // a trailing '%' ends the text
        default: break;                                 // unknown: both dropped
        }
    }
    return out.Left(kFormatArea - 1);
}

void CUTimeSpan::Read(CUBuffer& buffer)
{
    int v = 0;
    buffer >> v;
    m_span = v;
}

void CUTimeSpan::Write(CUBuffer& buffer)
{
    buffer << static_cast<int>(m_span);
}

// ---- CUTime ------------------------------------------------------------------

CUTime::CUTime() : m_time(0) {}

CUTime::CUTime(long t) : m_time(To32(t)) {}

CUTime::CUTime(int year, int month, int day, int hour, int minute, int second, int daylight)
{
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = daylight;
    m_time = To32(std::mktime(&fields));
}

CUTime::CUTime(const CUTime& other) : CUObject(), m_time(other.m_time) {}

CUTime& CUTime::operator=(const CUTime& other)
{
    m_time = other.m_time;
    return *this;
}

CUTime& CUTime::operator=(long t)
{
    m_time = To32(t);
    return *this;
}

CUTime CUTime::GetCurTime()
{
    return CUTime(static_cast<long>(std::time(nullptr)));
}

long CUTime::GetTime() const { return m_time; }

std::tm CUTime::GetLocalTime() const
{
    std::time_t t = m_time;
    std::tm fields{};
    if (localtime_r(&t, &fields) == nullptr)
        fields = std::tm{};
    return fields;
}

int CUTime::GetYear() const { return GetLocalTime().tm_year + 1900; }
int CUTime::GetMonth() const { return GetLocalTime().tm_mon + 1; }
int CUTime::GetDay() const { return GetLocalTime().tm_mday; }
int CUTime::GetHour() const { return GetLocalTime().tm_hour; }
int CUTime::GetMinute() const { return GetLocalTime().tm_min; }
int CUTime::GetSecond() const { return GetLocalTime().tm_sec; }
int CUTime::GetDayOfWeek() const { return GetLocalTime().tm_wday + 1; }

CUTimeSpan CUTime::operator-(const CUTime& other) const { return CUTimeSpan(static_cast<long>(Sub32(m_time, other.m_time))); }
CUTime CUTime::operator+(const CUTimeSpan& span) const { return CUTime(static_cast<long>(Add32(m_time, To32(span.GetTotalSeconds())))); }
CUTime CUTime::operator-(const CUTimeSpan& span) const { return CUTime(static_cast<long>(Sub32(m_time, To32(span.GetTotalSeconds())))); }

CUTime& CUTime::operator+=(const CUTimeSpan& span)
{
    m_time = Add32(m_time, To32(span.GetTotalSeconds()));
    return *this;
}

CUTime& CUTime::operator-=(const CUTimeSpan& span)
{
    m_time = Sub32(m_time, To32(span.GetTotalSeconds()));
    return *this;
}

int CUTime::operator==(const CUTime& other) const { return m_time == other.m_time; }
int CUTime::operator!=(const CUTime& other) const { return m_time != other.m_time; }
int CUTime::operator<(const CUTime& other) const { return m_time < other.m_time; }
int CUTime::operator>(const CUTime& other) const { return m_time > other.m_time; }
int CUTime::operator<=(const CUTime& other) const { return m_time <= other.m_time; }
int CUTime::operator>=(const CUTime& other) const { return m_time >= other.m_time; }

CUString CUTime::Format(char const* fmt) const
{
    std::time_t t = m_time;
    std::tm fields{};
    char area[kFormatArea];
    if (fmt == nullptr || localtime_r(&t, &fields) == nullptr)
        return CUString();
    if (std::strftime(area, sizeof area, fmt, &fields) == 0)
        return CUString();
    return CUString(area);
}

void CUTime::Read(CUBuffer& buffer)
{
    int v = 0;
    buffer >> v;
    m_time = v;
}

void CUTime::Write(CUBuffer& buffer)
{
    buffer << static_cast<int>(m_time);
}
