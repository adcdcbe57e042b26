#include "framework/DateTime.h"

#include "framework/WideText.h"

#include <windows.h>
#include <oleauto.h>

CDateTime CDateTime::Now()
{
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    st.wMilliseconds = 0;
    CDateTime result;
    result.m_bValid = ::SystemTimeToVariantTime(&st, &result.m_dt) != FALSE;
    return result;
}

CDateTime CDateTime::FromDate(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    CDateTime result;
    result.m_bValid = ::SystemTimeToVariantTime(&st, &result.m_dt) != FALSE;
    return result;
}

std::string CDateTime::Format() const
{
    SYSTEMTIME st;
    if (!m_bValid || !::VariantTimeToSystemTime(m_dt, &st))
        return std::string();
    char text[32];
    ::wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    return text;
}

bool CDateTime::ParseDateOnly(const char* text)
{
    WideText wide = ToWide(text);
    DATE value = 0;
    HRESULT hr = ::VarDateFromStr(&wide[0], LOCALE_USER_DEFAULT, VAR_DATEVALUEONLY, &value);
    if (FAILED(hr)) {
        m_dt = 0;
        m_bValid = false;
        return false;
    }
    m_dt = value;
    m_bValid = true;
    return true;
}

CDateTime CDateTime::DateOnly() const
{
    CDateTime result;
    result.ParseDateOnly(Format().c_str());
    return result;
}
