#pragma once
// The hot loop of a conversion: the samples of n channels merged sample by
// sample into one stream.

#include <cstdint>

// Writes h samples of each of the n (1 ... abfMaxChannels) channels src[0 ... n-1] to
// dst, sample s of channel c at element s * n + c. Samples are 16-bit and
// copied byte for byte; no alignment is required.
void interleave(unsigned char* dst, const unsigned char* const* src, int n, std::int32_t h);
