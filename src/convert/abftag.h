#pragma once
// ABF tags: the tag section starts at the block that lTagSectionPtr names
// and holds lNumTagEntries tags of 64 bytes, little-endian, each a time, a
// comment and a type, written field by field from the offsets below.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "convert/abfheader.h"

inline constexpr std::size_t abfTagSize = 64;
inline constexpr std::int16_t abfCommentTag = 1;  // nTagType of a comment tag

namespace abftag {
using enum AbfType;
// In the synch array's unit and origin (fSynchTimeUnit; 0: sample intervals
// of the interleaved stream), counted from the first record.
inline constexpr AbfField lTagTime{"lTagTime", 0, int32};
inline constexpr AbfField sComment{"sComment", 4, text, 1, 56};  // blank-padded
inline constexpr AbfField nTagType{"nTagType", 60, int16};
inline constexpr AbfField nVoiceTagNumber{"nVoiceTagNumber", 62, int16};
}  // namespace abftag

struct AbfTag {
    std::int32_t time = 0;    // lTagTime
    std::string comment;      // without the trailing blanks and NULs
    std::int16_t type = abfCommentTag;
    std::int16_t voice = 0;
};

// Appends one comment tag to out: its time, the comment cut to 56 bytes and
// padded with blanks, type 1 and voice tag 0.
void puttag(std::vector<unsigned char>& out, std::int32_t time, std::string_view comment);

// The tag in the 64 bytes at tag.
AbfTag gettag(const unsigned char* tag);

// A tag time or synch start in seconds from the first record: with
// fSynchTimeUnit 0 it counts sample intervals of the interleaved stream,
// fADCSampleInterval microseconds each (1 / (channels x rate)), otherwise
// fSynchTimeUnit microseconds.
double abfsynchseconds(const AbfHeader& h, std::int64_t time);

// Reads the first (up to most) tags of the tag section of an open ABF file
// of size bytes into tags. False when the header's section does not lie
// within the file (a negative count, block 0, tags past the end) or a
// read fails.
bool readtags(std::FILE* f, long long size, const AbfHeader& h, int most, std::vector<AbfTag>& tags);
