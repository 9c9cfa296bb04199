#include <gtest/gtest.h>

#include "convert/timerange.h"

namespace {

TEST(TimeBound, SecondsOrAClockTime)
{
    struct Case {
        const char* text;
        double micros;  // negative: refused
        bool clock;
    };
    const Case cases[] = {
        {"0", 0, false},
        {"12", 12e6, false},
        {"0.5", 5e5, false},
        {"3600.000001", 3600000001, false},
        {"10:15:42", 36942e6, true},
        {"10:15:42.25", 36942.25e6, true},
        {"9:05:00.001", 32700.001e6, true},
        {"25:30:00", 91800e6, true},  // half past one the next morning
        {"", -1, false},
        {"-1", -1, false},
        {"1.", -1, false},
        {".5", -1, false},
        {"1.0000001", -1, false},
        {"1e3", -1, false},
        {"10:15", -1, false},
        {"10:60:00", -1, false},
        {"10:15:60", -1, false},
        {"10:5:00", -1, false},
        {"100:00:00", -1, false},
        {"10:15:42.", -1, false},
        {"10:15:42 ", -1, false},
    };
    for (const Case& c : cases) {
        const auto b = parsetimebound(c.text);
        ASSERT_EQ(b.has_value(), c.micros >= 0) << c.text;
        if (b) {
            EXPECT_DOUBLE_EQ(b->micros, c.micros) << c.text;
            EXPECT_EQ(b->clock, c.clock) << c.text;
        }
    }
}

}  // namespace
