#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "convert/nevfile.h"
#include "ncsgen/ncswriter.h"
#include "support/ncsbytes.h"

namespace {

std::vector<NevEvent> readall(NevFile& nev)
{
    std::vector<NevEvent> events;
    for (NevEvent e; nev.next(e);)
        events.push_back(e);
    return events;
}

// What opens and what is refused, with the reason; no events and an incomplete last record open, the record left out.
TEST(NevFile, OpensOrSaysWhyNot)
{
    const std::string header = nevheader(), one = nevrecord(7, 11, 0, "Starting Recording");
    // An empty problem: the file opens, with count records and partial bytes.
    const struct { const char* what; std::string bytes, problem; std::int64_t count = 0; int partial = 0; } cases[] = {
        {"empty", "", "is too short for an event file: 0 bytes, less than its 16384-byte header"},
        {"cut in its header", header.substr(0, 16383), "16383 bytes, less than its 16384-byte header"},
        {"all NULs", std::string(16384 + 184, '\0'), "is not an event file: its header is empty"},
        {"binary", nevheader("# events\r\n\x01\x02"), "its header is not text (a control byte at offset 10)"},
        {"a line of prose", nevheader("## File Name Events.nev\r\n-FileType Event\r\nhello\r\n"),
         "line 3 of its header begins with neither '#' nor '-'"},
        {"a recording", nevheader(ncslines()), "its header gives FileType CSC"},
        {"other records", nevheader("######## header\r\n-RecordSize 1044\r\n"),
         "its header gives RecordSize 1044, not 184"},
        // As acquisition programs write them: blank lines, indented lines, Latin-1, no type at all.
        {"older header", nevheader("######## Neuralynx\r\n\r\n  -CheetahRev 5.6.3\r\n-DspFilterDelay_\xB5s 984\r\n"), ""},
        {"keywords in any case", nevheader("-FileType EVENT\r\n-RecordSize 184\r\n") + one, "", 1},
        {"no events", header, ""},
        {"an incomplete record alone", header + one.substr(0, 183), "", 0, 183},
        {"an incomplete last record", header + one + one.substr(0, 1), "", 1, 1},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        writebytes("Events.nev", c.bytes);
        NevFile nev;
        std::string problem;
        EXPECT_EQ(nev.open("Events.nev", problem), c.problem.empty()) << c.what;
        EXPECT_EQ(problem.find(c.problem.empty() ? "" : "\nEvents.nev "), 0u) << c.what << ": " << problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.what << ": " << problem;
        EXPECT_EQ(nev.count(), c.count) << c.what;
        EXPECT_EQ(nev.partialbytes(), c.partial) << c.what;
        EXPECT_EQ(nev.partial(), c.partial > 0) << c.what;
        EXPECT_EQ(readall(nev).size(), static_cast<std::size_t>(c.count)) << c.what;
        EXPECT_FALSE(nev.failed()) << c.what;
    }
    NevFile nev;
    std::string problem;
    EXPECT_FALSE(nev.open("missing.nev", problem));
    EXPECT_EQ(problem, "\nCouldn't open missing.nev");
}

TEST(NevFile, FieldsAsTheFormatLaysThemOut)
{
    ScratchDir dir;
    const std::string full(130, 'x');  // fills the 128-byte string: no NUL to end it
    writebytes("Events.nev", nevheader() + nevrecord(0xFEDCBA9876543210u, -2, 0x8001, "TTL\xB5 on") +
                                 nevrecord(1, 19, 0, full) + nevrecord(2, 0, 65535, ""));
    NevFile nev;
    std::string problem;
    ASSERT_TRUE(nev.open("Events.nev", problem)) << problem;
    const std::vector<NevEvent> e = readall(nev);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].stamp, 0xFEDCBA9876543210u);
    EXPECT_EQ(e[0].id, -2);
    EXPECT_EQ(e[0].ttl, 0x8001);
    EXPECT_EQ(e[0].text, "TTL\xB5 on");
    EXPECT_EQ(e[1].text, full.substr(0, 128));
    EXPECT_EQ(e[2].ttl, 65535);
    EXPECT_EQ(e[2].text, "");
    EXPECT_NE(nev.headertext().find("-FileType Event"), std::string_view::npos);
}

// The generator's session (more events than one batch of reads, a hole, events before and after the records) read back
// event by event, then again from chosen places, then while the file shrinks.
TEST(NevFile, AGeneratedSessionReadsBackEventByEvent)
{
    ScratchDir dir;
    NcsRecording rec;
    rec.records = 700;
    rec.shifts = {{300, 2'000'000}};
    const std::vector<NevMark> marks = nevsession(rec, 1);
    ASSERT_GT(marks.size(), 700u);
    ASSERT_TRUE(writenev("Events.nev", rec, marks));

    NevFile nev;
    std::string problem;
    ASSERT_TRUE(nev.open("Events.nev", problem)) << problem;
    ASSERT_EQ(nev.count(), static_cast<std::int64_t>(marks.size()));
    EXPECT_FALSE(nev.partial());
    auto same = [&](const NevEvent& e, std::size_t k) {
        return e.stamp == marks[k].stamp && e.id == marks[k].id && e.ttl == marks[k].ttl && e.text == marks[k].text;
    };
    const std::vector<NevEvent> events = readall(nev);
    ASSERT_EQ(events.size(), marks.size());
    for (std::size_t k = 0; k < marks.size(); ++k)
        ASSERT_TRUE(same(events[k], k)) << "event " << k;
    EXPECT_FALSE(nev.failed());

    NevEvent e;
    for (std::size_t k : {std::size_t{300}, std::size_t{0}, marks.size() - 1}) {
        ASSERT_TRUE(nev.seek(static_cast<std::int64_t>(k)));
        ASSERT_TRUE(nev.next(e));
        EXPECT_TRUE(same(e, k)) << "after seeking to " << k;
        EXPECT_EQ(nev.position(), static_cast<std::int64_t>(k + 1));
    }
    // A file that shrinks while it is read: a read error, until the next seek.
    std::filesystem::resize_file("Events.nev", nevHeaderSize + 300 * nevRecordSize);
    ASSERT_TRUE(nev.seek(200));
    while (nev.next(e)) {}
    EXPECT_TRUE(nev.failed());
    EXPECT_LT(nev.position(), 300);
    EXPECT_FALSE(nev.next(e));
    ASSERT_TRUE(nev.rewind());
    EXPECT_FALSE(nev.failed());
    EXPECT_TRUE(nev.next(e) && same(e, 0));
}

}  // namespace
