#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "convert/interleave.h"

namespace {

TEST(Interleave, EveryChannelCountAndLengthAtAnyAlignment)
{
    for (int n = 1; n <= 16; ++n) {
        for (std::int32_t h : {0, 1, 7, 8, 13, 512}) {
            // Each channel's samples start one byte off alignment, as in a
            // record buffer read from an arbitrary position.
            std::vector<std::vector<unsigned char>> channels(n, std::vector<unsigned char>(2 * h + 1));
            std::vector<const unsigned char*> src;
            for (int c = 0; c < n; ++c) {
                for (std::int32_t s = 0; s < h; ++s) {
                    channels[c][1 + 2 * s] = static_cast<unsigned char>(c);
                    channels[c][2 + 2 * s] = static_cast<unsigned char>(s * 7 + 0x80);
                }
                src.push_back(channels[c].data() + 1);
            }
            std::vector<unsigned char> out(2 * static_cast<std::size_t>(h) * n + 2, 0xEE);
            interleave(out.data() + 1, src.data(), n, h);
            ASSERT_EQ(out.front(), 0xEE);
            ASSERT_EQ(out.back(), 0xEE) << "wrote past the end, n=" << n << " h=" << h;
            for (std::int32_t s = 0; s < h; ++s)
                for (int c = 0; c < n; ++c) {
                    const std::size_t at = 1 + 2 * (static_cast<std::size_t>(s) * n + c);
                    ASSERT_EQ(out[at], c) << "n=" << n << " h=" << h << " s=" << s;
                    ASSERT_EQ(out[at + 1], static_cast<unsigned char>(s * 7 + 0x80));
                }
        }
    }
}

}  // namespace
