// CUTime and CUTimeSpan: a point in time and a duration, in whole seconds.
//
// Both hold a signed 32-bit count of seconds, which is also their stored form
// (4 bytes, little endian). The API takes and gives long for convenience;
// values are truncated to 32 bits on the way in. Arithmetic wraps at 32 bits.
// The fields of a time (year, month, ...) are those of the local time.
#pragma once

#include <cordak/object.h>
#include <cordak/ustring.h>

#include <cstdint>
#include <ctime>

class CUTimeSpan : public CUObject
{
public:
    CUTimeSpan();
    explicit CUTimeSpan(long seconds);
    CUTimeSpan(int days, int hours, int minutes, int seconds);
    CUTimeSpan(const CUTimeSpan& other);
    CUTimeSpan& operator=(const CUTimeSpan& other);

    long GetTotalSeconds() const;
    long GetTotalMinutes() const;  // truncated toward zero, as the others
    long GetTotalHours() const;
    long GetDays() const;
    int GetHours() const;    // 0..23 for a positive span
    int GetMinutes() const;  // 0..59
    int GetSeconds() const;  // 0..59

    CUTimeSpan operator+(const CUTimeSpan& other) const;
    CUTimeSpan operator-(const CUTimeSpan& other) const;
    CUTimeSpan& operator+=(const CUTimeSpan& other);
    CUTimeSpan& operator-=(const CUTimeSpan& other);
    int operator==(const CUTimeSpan& other) const;
    int operator!=(const CUTimeSpan& other) const;
    int operator<(const CUTimeSpan& other) const;
    int operator>(const CUTimeSpan& other) const;
    int operator<=(const CUTimeSpan& other) const;
    int operator>=(const CUTimeSpan& other) const;

    // "%D" days, "%H" hours, "%M" minutes, "%S" seconds (two digits each but
    // the days), "%%" a percent sign; '%' before anything else drops both.
    // The result is at most 255 characters.
    CUString Format(char const* fmt) const;

    void Read(CUBuffer& buffer) override;
    void Write(CUBuffer& buffer) override;

private:
    std::int32_t m_span;
};

class CUTime : public CUObject
{
public:
    CUTime();
    explicit CUTime(long t);
    // A local time (month 1-12); daylight is the tm_isdst flag (-1: let the
    // system decide).
    CUTime(int year, int month, int day, int hour, int minute, int second, int daylight);
    CUTime(const CUTime& other);
    CUTime& operator=(const CUTime& other);
    CUTime& operator=(long t);

    static CUTime GetCurTime();

    long GetTime() const;
    int GetYear() const;
    int GetMonth() const;      // 1-12
    int GetDay() const;        // 1-31
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday ... 7 = Saturday
    std::tm GetLocalTime() const;

    CUTimeSpan operator-(const CUTime& other) const;
    CUTime operator+(const CUTimeSpan& span) const;
    CUTime operator-(const CUTimeSpan& span) const;
    CUTime& operator+=(const CUTimeSpan& span);
    CUTime& operator-=(const CUTimeSpan& span);
    int operator==(const CUTime& other) const;
    int operator!=(const CUTime& other) const;
    int operator<(const CUTime& other) const;
    int operator>(const CUTime& other) const;
    int operator<=(const CUTime& other) const;
    int operator>=(const CUTime& other) const;

    // The local time through strftime; "" when it does not fit in 256 bytes.
    CUString Format(char const* fmt) const;

    void Read(CUBuffer& buffer) override;
    void Write(CUBuffer& buffer) override;

private:
    std::int32_t m_time;
};
