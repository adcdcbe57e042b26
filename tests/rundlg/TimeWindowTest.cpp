// The default time windows of the two run dialogs, as pure functions of the current time.
#include "run/ExportDlg.h"
#include "run/ImportDlg.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct WindowCase {
    int year, month, day, hour, minute, second;
    const char* start;
    const char* end;
};

TEST(TimeWindow, ExportTakesTheHalfDayThatContainsNowWithNoonInTheMorning)
{
    const WindowCase cases[] = {
        { 2000, 10, 9, 0, 0, 0, "2000-10-09 00:00:00", "2000-10-09 12:00:00" },
        { 2000, 10, 9, 9, 30, 0, "2000-10-09 00:00:00", "2000-10-09 12:00:00" },
        { 2000, 10, 9, 11, 59, 59, "2000-10-09 00:00:00", "2000-10-09 12:00:00" },
        { 2000, 10, 9, 12, 0, 0, "2000-10-09 00:00:00", "2000-10-09 12:00:00" },
        { 2000, 10, 9, 12, 0, 1, "2000-10-09 12:00:00", "2000-10-10 00:00:00" },
        { 2000, 10, 9, 15, 0, 0, "2000-10-09 12:00:00", "2000-10-10 00:00:00" },
        { 2000, 10, 9, 23, 59, 59, "2000-10-09 12:00:00", "2000-10-10 00:00:00" },
        { 2000, 12, 31, 18, 0, 0, "2000-12-31 12:00:00", "2001-01-01 00:00:00" },
        { 2004, 2, 28, 12, 30, 0, "2004-02-28 12:00:00", "2004-02-29 00:00:00" },
    };
    for (const WindowCase& c : cases) {
        TRACE_CASE(cases, c);
        const CDateTime now = CDateTime::FromDate(c.year, c.month, c.day, c.hour, c.minute, c.second);
        CDateTime start, end;
        ExportTimeWindow(now, &start, &end);
        EXPECT_EQ(c.start, start.Format()) << "now " << now.Format();
        EXPECT_EQ(c.end, end.Format()) << "now " << now.Format();
    }
}

TEST(TimeWindow, ImportTakesTodayUntilTomorrow)
{
    const WindowCase cases[] = {
        { 2000, 10, 9, 0, 0, 0, "2000-10-09 00:00:00", "2000-10-10 00:00:00" },
        { 2000, 10, 9, 12, 0, 1, "2000-10-09 00:00:00", "2000-10-10 00:00:00" },
        { 2000, 10, 9, 23, 59, 59, "2000-10-09 00:00:00", "2000-10-10 00:00:00" },
        { 2000, 12, 31, 8, 0, 0, "2000-12-31 00:00:00", "2001-01-01 00:00:00" },
        { 2004, 2, 28, 22, 0, 0, "2004-02-28 00:00:00", "2004-02-29 00:00:00" },
    };
    for (const WindowCase& c : cases) {
        TRACE_CASE(cases, c);
        const CDateTime now = CDateTime::FromDate(c.year, c.month, c.day, c.hour, c.minute, c.second);
        CDateTime start, end;
        ImportTimeWindow(now, &start, &end);
        EXPECT_EQ(c.start, start.Format()) << "now " << now.Format();
        EXPECT_EQ(c.end, end.Format()) << "now " << now.Format();
    }
}

} // namespace
