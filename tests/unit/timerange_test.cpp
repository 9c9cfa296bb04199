#include <gtest/gtest.h>

#include "convert/timerange.h"

namespace {

TEST(TimeBound, SecondsOrAClockTime)
{
    const struct { const char* text; double micros; bool clock; } cases[] = {
        {"0", 0, false}, {"12", 12e6, false}, {"3600.000001", 3600000001, false},
        {"10:15:42", 36942e6, true}, {"9:05:00.25", 32700.25e6, true},
        {"25:30:00", 91800e6, true},  // half past one the next morning
    };
    for (const auto& c : cases) {
        const auto b = parsetimebound(c.text);
        ASSERT_TRUE(b) << c.text;
        EXPECT_DOUBLE_EQ(b->micros, c.micros) << c.text;
        EXPECT_EQ(b->clock, c.clock) << c.text;
    }
    for (const char* text : {"", "-1", "1.", ".5", "1.0000001", "1e3", "10:15", "10:60:00", "10:15:60", "10:5:00",
                             "100:00:00", "10:15:42.", "10:15:42 "})
        EXPECT_FALSE(parsetimebound(text)) << text;
}

}  // namespace
