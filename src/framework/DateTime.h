// A date-time value: days since 30 December 1899 (the fraction is the time of day) with a status.
#pragma once
#include <string>

struct CDateTime {
    double m_dt = 0.0;
    bool m_bValid = true;

    static CDateTime Now();
    static CDateTime FromDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    // "%Y-%m-%d %H:%M:%S"; an invalid value formats as an empty string.
    std::string Format() const;
    // The platform's locale-aware parser in date-only mode with the user-default locale: a time of day
    // is accepted and dropped. On failure the value becomes invalid and false is returned.
    bool ParseDateOnly(const char* text);
    // The date of this value at 00:00:00, by formatting and parsing back.
    CDateTime DateOnly() const;

    CDateTime operator+(double days) const { CDateTime r = *this; r.m_dt += days; return r; }
};
