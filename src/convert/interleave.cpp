#include "convert/interleave.h"

#include "convert/abfheader.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {


// One row of samples: sample s of every channel, unrolled for a constant N.
template <int N>
void interleaverow(unsigned char* dst, const std::array<const unsigned char*, N>& in, std::size_t s)
{
    [&]<std::size_t... C>(std::index_sequence<C...>) {
        (std::memcpy(dst + 2 * C, in[C] + s * 2, 2), ...);
    }(std::make_index_sequence<N>{});
}

#if defined(__SSE2__)
// Eight samples of each channel at a time, transposed in registers: the
// channel counts that recording systems favour (2, 4, 8, 16) run several
// times faster than one sample at a time.
template <int N>
std::int32_t interleavewide(unsigned char* dst, const std::array<const unsigned char*, N>& in, std::int32_t h)
{
    auto load = [&](int c, std::int32_t s) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in[c] + static_cast<std::size_t>(s) * 2));
    };
    auto store = [&](std::int32_t s, int c, __m128i v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + (static_cast<std::size_t>(s) * N + c) * 2), v);
    };
    std::int32_t s = 0;
    for (; s + 8 <= h; s += 8) {
        if constexpr (N == 2) {
            const __m128i a = load(0, s), b = load(1, s);
            store(s, 0, _mm_unpacklo_epi16(a, b));
            store(s + 4, 0, _mm_unpackhi_epi16(a, b));
        } else if constexpr (N == 4) {
            const __m128i a0 = _mm_unpacklo_epi16(load(0, s), load(1, s));
            const __m128i a1 = _mm_unpackhi_epi16(load(0, s), load(1, s));
            const __m128i a2 = _mm_unpacklo_epi16(load(2, s), load(3, s));
            const __m128i a3 = _mm_unpackhi_epi16(load(2, s), load(3, s));
            store(s, 0, _mm_unpacklo_epi32(a0, a2));
            store(s + 2, 0, _mm_unpackhi_epi32(a0, a2));
            store(s + 4, 0, _mm_unpacklo_epi32(a1, a3));
            store(s + 6, 0, _mm_unpackhi_epi32(a1, a3));
        } else {
            for (int g = 0; g < N; g += 8) {
                __m128i a[8], b[8];
                for (int k = 0; k < 8; k += 2) {
                    a[k] = _mm_unpacklo_epi16(load(g + k, s), load(g + k + 1, s));
                    a[k + 1] = _mm_unpackhi_epi16(load(g + k, s), load(g + k + 1, s));
                }
                for (int k = 0; k < 8; k += 4) {
                    b[k] = _mm_unpacklo_epi32(a[k], a[k + 2]);
                    b[k + 1] = _mm_unpackhi_epi32(a[k], a[k + 2]);
                    b[k + 2] = _mm_unpacklo_epi32(a[k + 1], a[k + 3]);
                    b[k + 3] = _mm_unpackhi_epi32(a[k + 1], a[k + 3]);
                }
                for (int k = 0; k < 4; ++k) {
                    store(s + 2 * k, g, _mm_unpacklo_epi64(b[k], b[k + 4]));
                    store(s + 2 * k + 1, g, _mm_unpackhi_epi64(b[k], b[k + 4]));
                }
            }
        }
    }
    return s;
}
#endif

template <int N>
void interleaveN(unsigned char* dst, const unsigned char* const* src, std::int32_t h)
{
    if constexpr (N == 1) {
        std::memcpy(dst, src[0], static_cast<std::size_t>(h) * 2);
    } else {
        std::array<const unsigned char*, N> in;  // local, so stores to dst cannot alias them
        std::copy_n(src, N, in.begin());
        std::int32_t s = 0;
#if defined(__SSE2__)
        if constexpr (N == 2 || N == 4 || N % 8 == 0)
            s = interleavewide<N>(dst, in, h);
#endif
        for (; s < h; ++s)
            interleaverow<N>(dst + static_cast<std::size_t>(s) * N * 2, in, static_cast<std::size_t>(s));
    }
}

using Interleaver = void (*)(unsigned char*, const unsigned char* const*, std::int32_t);

template <std::size_t... I>
constexpr std::array<Interleaver, sizeof...(I)> interleavertable(std::index_sequence<I...>)
{
    return {&interleaveN<static_cast<int>(I) + 1>...};
}
constexpr auto interleavers = interleavertable(std::make_index_sequence<abfMaxChannels>{});

}  // namespace

void interleave(unsigned char* dst, const unsigned char* const* src, int n, std::int32_t h)
{
    assert(n >= 1 && n <= abfMaxChannels);
    interleavers[static_cast<std::size_t>(n - 1)](dst, src, h);
}
