#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "convert/abftag.h"
#include "convert/ncsheader.h"
#include "convert/ncstoabf.h"
#include "support/ncsbytes.h"
#include "support/recorder.h"

namespace fs = std::filesystem;

namespace {

class Conversion : public ::testing::Test {
protected:
    void SetUp() override { takerecorded(); }

    int run(std::vector<std::string> files, const std::string& path, char combine = 'Y',
            const std::string& outputdir = {}, const ConvertOptions& options = {},
            std::vector<std::vector<std::string>> continued = {})
    {
        FileSelection selection{combine, std::move(files), std::move(continued)};
        const std::vector<std::string> before = selection.files;
        int records = ncstoabf(selection, path, progress, outputdir, options, &outcome);
        EXPECT_EQ(selection.files, before);
        return records;
    }

    // A run that converts nothing, refused with this one failure.
    void refused(const std::string& text, std::vector<std::string> files, const std::string& path, char combine = 'Y',
                 const std::string& outputdir = {}, const ConvertOptions& options = {},
                 std::vector<std::vector<std::string>> continued = {})
    {
        EXPECT_EQ(run(std::move(files), path, combine, outputdir, options, std::move(continued)), 0) << text;
        expectfailure(text);
    }

    // Writes one input, converts it alone into records records and returns the output.
    std::string convert(const std::string& name, const NcsBytes& in, int records, const ConvertOptions& options = {})
    {
        writebytes(name, in);
        EXPECT_EQ(run({name}, name, 'Y', {}, options), records) << name;
        return readbytes(abfname(name));
    }

    // The one message since the last take: a warning, or a failure, of this text.
    static void expectmessage(const char* caption, const std::string& text)
    {
        const Recorder rec = takerecorded();
        ASSERT_EQ(rec.messages.size(), 1u) << text;
        EXPECT_EQ(rec.messages[0].caption, caption);
        EXPECT_EQ(rec.messages[0].text, text);
    }
    static void expectwarning(const std::string& text) { expectmessage("Warning", text); }
    static void expectfailure(const std::string& text) { expectmessage("File Error", text); }

    ScratchDir dir;
    ProgressWindow progress;
    ConvertOutcome outcome;
};

// 32-bit fields of an ABF file: offset and value.
void expectints(const std::string& abf, std::initializer_list<std::pair<std::size_t, std::int32_t>> fields)
{
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(int32at(abf, offset), value) << "at offset " << offset;
}

TEST_F(Conversion, OneInputTwoRecords)
{
    const NcsBytes in = ncsrecording(2, 5);  // records 16000 us apart
    const std::string out = convert("CSC1.ncs", in, 2);
    EXPECT_TRUE(takerecorded().messages.empty());
    ASSERT_EQ(out.size(), 8704u);
    EXPECT_EQ(int16at(out, 8), 3);
    EXPECT_EQ(int16at(out, 120), 1);
    // lActualAcqLength, lActualEpisodes, lNumSamplesPerEpisode, lSamplesPerTrace, lSynchArrayPtr and its count,
    // lTagSectionPtr and its count, lADCResolution; the synch array, its starts 16000 us at 31.25 us apart.
    expectints(out, {{10, 1024}, {16, 2}, {138, 512}, {218, 512}, {92, 16}, {96, 2}, {44, 17}, {48, 0},
                     {252, 32768}, {8192, 0}, {8196, 512}, {8200, 512}, {8204, 512}});
    EXPECT_EQ(realat(out, 122), 31.25f);
    EXPECT_EQ(realat(out, 244), 10.0f);
    EXPECT_EQ(realat(out, 922), 1.0f);
    EXPECT_EQ(realat(out, 926), 0.1f);   // channels beyond the inputs keep their defaults
    EXPECT_EQ(out.substr(442, 20), "EEG Ch 5  AI #1     ");
    EXPECT_EQ(out.substr(602, 16), "mV      pA      ");
    EXPECT_EQ(out.substr(294, 16), std::string("Brackenwey\0     ", 16));
    EXPECT_EQ(out.substr(5154, 128),
              "Converted from TESSEL" + std::string(35, '\0') + std::string(72, ' '));
    for (int r = 0; r < 2; ++r)
        for (int s = 0; s < 512; ++s)
            ASSERT_EQ(int16at(out, 6144 + 2 * (512 * r + s)), in.records[r].samples[s]);
    EXPECT_EQ(out.find_first_not_of('\0', 8208), std::string::npos);
    EXPECT_EQ(progress.outputName, "CSC1.abf");
    EXPECT_EQ(progress.firstLine, "Exporting CSC1.ncs to ABF.");

    // A recording that starts at time 0 keeps 0 as its reference.
    expectints(convert("zero.ncs", ncsrecording(3, 0, 1044, 0), 3), {{9216, 0}, {9224, 512}, {9232, 1024}});
}

TEST_F(Conversion, ChannelsInterleaveInListOrder)
{
    const std::vector<NcsBytes> ins{ncsrecording(3, 20), ncsrecording(3, 21), ncsrecording(3, 22)};
    for (int c = 0; c < 3; ++c)
        writebytes("CSC" + std::to_string(c + 1) + ".ncs", ins[c]);
    // Two channels: the sizes of a known layout.
    ASSERT_EQ(run({"CSC1.ncs", "CSC2.ncs"}, "CSC1.ncs"), 3);
    std::string out = readbytes("CSC1.abf");
    EXPECT_EQ(out.size(), 12800u);
    EXPECT_EQ(int16at(out, 120), 2);
    EXPECT_EQ(realat(out, 122), 15.625f);
    // The synch array's starts are 16000 us at 15.625 us apart.
    expectints(out, {{10, 3072}, {138, 1024}, {92, 24}, {44, 25}, {12288, 0}, {12292, 1024}, {12296, 1024},
                     {12300, 1024}, {12304, 2048}, {12308, 1024}});

    ASSERT_EQ(run({"CSC1.ncs", "CSC2.ncs", "CSC3.ncs"}, "CSC1.ncs"), 3);
    out = readbytes("CSC1.abf");
    EXPECT_EQ(out.substr(442, 30), "EEG Ch 20 EEG Ch 21 EEG Ch 22 ");
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(int16at(out, 410 + 2 * c), c);
        EXPECT_EQ(int16at(out, 378 + 2 * c), c);
    }
    EXPECT_EQ(int16at(out, 416), -1);
    std::size_t at = 6144;
    for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 512; ++s)
            for (int c = 0; c < 3; ++c, at += 2)
                ASSERT_EQ(int16at(out, at), ins[c].records[r].samples[s]) << r << ' ' << s << ' ' << c;
}

TEST_F(Conversion, SeparateFilesConvertOnlyTheGivenName)
{
    for (int c = 0; c < 3; ++c)
        writebytes("CSC" + std::to_string(c + 1) + ".ncs", ncsrecording(2, c));
    ASSERT_EQ(run({"CSC1.ncs", "CSC2.ncs", "CSC3.ncs"}, "CSC2.ncs", 'N'), 2);
    EXPECT_FALSE(fs::exists("CSC1.abf"));
    const std::string out = readbytes("CSC2.abf");
    EXPECT_EQ(int16at(out, 120), 1);
    EXPECT_EQ(out.substr(442, 10), "EEG Ch 1  ");

    // An existing output is replaced; an older file survives a failed run.
    writebytes("CSC3.abf", "older");
    EXPECT_EQ(convert("CSC3.ncs", ncsrecording(2, 2), 2).size(), out.size());
    writebytes("CSC1.abf", "older");
    fs::resize_file("CSC1.ncs", 16384 + 100);
    EXPECT_EQ(run({"CSC1.ncs"}, "CSC1.ncs"), 0);
    EXPECT_EQ(readbytes("CSC1.abf"), "older");
}

TEST_F(Conversion, TwoRunsOntoOneOutputEachLeaveItComplete)
{
    const std::string alone = convert("CSC1.ncs", ncsrecording(200, 1), 200);
    // The second run starts and ends while the first is under way.
    int second = 0;
    atnextreport([&] {
        ProgressWindow other;
        second = ncstoabf(FileSelection{'N', {"CSC1.ncs"}}, "CSC1.ncs", other);
        EXPECT_TRUE(readbytes("CSC1.abf") == alone) << "the second run's output";
    });
    ASSERT_EQ(run({"CSC1.ncs"}, "CSC1.ncs"), 200);
    EXPECT_EQ(second, 200);
    EXPECT_TRUE(readbytes("CSC1.abf") == alone) << "the first run's output";
    EXPECT_TRUE(takerecorded().messages.empty());
    for (const auto& e : fs::directory_iterator("."))
        EXPECT_NE(e.path().extension(), ".tmp") << e.path();
}

TEST_F(Conversion, NamesAndFolders)
{
    EXPECT_EQ(abfname("CSC1.ncs"), "CSC1.abf");
    EXPECT_EQ(abfname("a.b.ncs"), "a.b.abf");
    EXPECT_EQ(abfname("rec.d/CSC1"), "rec.d/CSC1.abf");  // a folder's dot is no extension
    EXPECT_EQ(abfname("rec.d\\CSC1"), "rec.d\\CSC1.abf");
    EXPECT_EQ(abfname("rec/CSC1.ncs", "out"), "out/CSC1.abf");
    EXPECT_EQ(abfname("CSC1.ncs", "out/"), "out/CSC1.abf");

    fs::create_directory("in.d");
    fs::create_directory("out");
    writebytes("in.d/CSC7", ncsrecording(4, 7));
    ASSERT_EQ(run({"in.d/CSC7"}, "in.d/CSC7", 'N', "out"), 4);
    EXPECT_TRUE(fs::exists("out/CSC7.abf"));
    EXPECT_EQ(progress.outputName, "out/CSC7.abf");
    EXPECT_EQ(fs::directory_iterator("in.d")->path().filename(), "CSC7");  // input folder untouched
}

TEST_F(Conversion, ProgressReportsEachWholePercentAndTheLastRecord)
{
    struct Case { int records; std::vector<int> percentages; };
    std::vector<int> hundred(100);
    std::iota(hundred.begin(), hundred.end(), 1);
    for (const Case& c : {Case{1, {100}}, Case{2, {100}}, Case{3, {50, 100}}, Case{101, hundred}}) {
        convert("r.ncs", ncsrecording(c.records), c.records);
        std::vector<int> got;
        for (const RecordedReport& r : takerecorded().reports)
            got.push_back(r.percentage);
        EXPECT_EQ(got, c.percentages) << c.records << " records";
    }

    // Percentages round up from a tenth: with 10000 records 1 % comes at record 11.
    convert("r.ncs", ncsrecording(10000, 0, 24), 10000);
    const std::vector<RecordedReport> reports = takerecorded().reports;
    ASSERT_EQ(reports.size(), 101u);  // 100 % is reached a record early, and the last record reports too
    EXPECT_EQ(reports[0].percentage, 1);
    EXPECT_EQ(reports[0].secondLine, "Window #11 of 10000 at 0.16 seconds");
    EXPECT_EQ(reports[0].firstLine, "Exporting r.ncs to ABF.");
    EXPECT_EQ(reports.back().secondLine, "Window #10000 of 10000 at 160 seconds");

    NcsBytes ten = ncsrecording(10);
    ten.records[2].stamp = ten.records[0].stamp + 1500000;
    convert("t.ncs", ten, 10);
    EXPECT_EQ(takerecorded().reports.at(1).secondLine, "Window #3 of 10 at 1.5 seconds");  // the first record is not reported
}

TEST_F(Conversion, FailuresAreShownAndLeaveNoOutput)
{
    // Bytes that are empty stand for a file that does not exist.
    struct Case { const char* name; std::string bytes, message; };
    const auto headed = [](const std::string& header) { return ncsrecording(3).withheader(header).bytes(); };
    const auto rated = [&](const char* hz) { return headed(ncslines(1044, hz)); };
    const std::string outside = " is outside 0.1 to 10000000 Hz, the rates of real acquisition systems";
    writebytes("good.ncs", ncsrecording(3));
    const Case cases[] = {
        {"missing.ncs", "", "\nCouldn't open missing.ncs"},
        {"short.ncs", std::string(100, 'x'), "\nshort.ncs gives no usable RecordSize"},
        {"empty.ncs", ncsrecording(0).bytes(), "\nempty.ncs holds no complete record"},
        {"partial.ncs", ncsrecording(1).bytes().substr(0, 16384 + 1043), "\npartial.ncs holds no complete record"},
        {"nosize.ncs", headed("-SamplingFrequency 32000\r\n-ADMaxValue 32767\r\n"),
         "\nnosize.ncs gives no usable RecordSize"},
        {"tiny.ncs", headed(ncslines(20)), "\ntiny.ncs gives no usable RecordSize"},
        // Rates no acquisition system has: named with their value, however they would fail later.
        {"zero.ncs", rated("0"), "\nzero.ncs: SamplingFrequency 0" + outside},
        {"nan.ncs", rated("nan"), "\nnan.ncs: SamplingFrequency nan" + outside},
        {"sub.ncs", rated("1e-40"), "\nsub.ncs: SamplingFrequency 1e-40" + outside},
        {"slow.ncs", rated("0.0999"), "\nslow.ncs: SamplingFrequency 0.0999" + outside},
        {"fast.ncs", rated("10000001"), "\nfast.ncs: SamplingFrequency 10000001" + outside},
        {"huge.ncs", rated("1e30"), "\nhuge.ncs: SamplingFrequency 1e+30" + outside},
        {"rate.ncs", rated("16000"), "\ngood.ncs and rate.ncs differ in SamplingFrequency"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.bytes.empty())
            writebytes(c.name, c.bytes);
        // Alone, or after a good file whose header values it would otherwise inherit.
        std::vector<std::string> files{c.name};
        if (files[0] == "rate.ncs")
            files.insert(files.begin(), "good.ncs");
        refused(c.message, files, files[0]);
        EXPECT_FALSE(outcome.tooLong);  // no hint at --split
        for (const auto& e : fs::directory_iterator("."))
            EXPECT_EQ(e.path().extension(), ".ncs") << e.path();
    }
    // A short file in a combined run is named, whatever its place.
    writebytes("short.ncs", std::string(100, 'x'));
    refused("\nshort.ncs holds no complete record", {"good.ncs", "short.ncs", "good.ncs"}, "good.ncs");

    // The output never replaces an input.
    writebytes("x.abf", ncsrecording(3));
    refused("\nx.abf would replace one of the inputs", {"x.abf"}, "x.abf");
    EXPECT_EQ(readbytes("x.abf"), ncsrecording(3).bytes());

    refused("\nAt most 16 files can be combined", std::vector<std::string>(17, "good.ncs"), "good.ncs");
    refused("\nCouldn't open no-such-folder/good.abf", {"good.ncs"}, "good.ncs", 'N', "no-such-folder");
}

TEST_F(Conversion, UnusualInputsStillConvertSoundly)
{
    // A trailing partial record is left out.
    writebytes("p.ncs", ncsrecording(3).bytes() + std::string(500, '\x7f'));
    EXPECT_EQ(run({"p.ncs"}, "p.ncs"), 3);

    // A channel without a number is named by its position.
    writebytes("u.ncs",
               ncsrecording(3).withheader("-RecordSize 1044\r\n-SamplingFrequency 32000\r\n-ADMaxValue 2047\r\n"));
    ASSERT_EQ(run({"p.ncs", "u.ncs"}, "p.ncs"), 3);
    std::string out = readbytes("p.abf");
    EXPECT_EQ(out.substr(452, 10), "EEG Ch 1  ");
    EXPECT_EQ(int32at(out, 252), 2048);  // the last file's resolution
    EXPECT_EQ(takerecorded().messages.size(), 1u);  // which is told

    // Inputs of unequal length: only the records every channel has, with a warning.
    writebytes("long.ncs", ncsrecording(5, 1));
    ASSERT_EQ(run({"long.ncs", "p.ncs"}, "long.ncs"), 3);
    expectwarning("\nThe inputs differ in length: only the 3 records that all of them hold are converted");
    EXPECT_EQ(int32at(readbytes("long.abf"), 16), 3);

    // The rates at the bounds convert, with a finite positive sample interval.
    for (const auto& [hz, interval] : {std::pair{"0.1", 1e7f}, std::pair{"10000000", 0.1f}})
        EXPECT_EQ(realat(convert("bound.ncs", ncsrecording(3).withheader(ncslines(1044, hz)), 3), 122), interval) << hz;

    // An odd record size: records stay aligned and the synch array starts on the block that lSynchArrayPtr names.
    const NcsBytes odd = ncsrecording(3, 0, 1045);
    out = convert("odd.ncs", odd, 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(int16at(out, 6144 + 2 * (512 * r + 511)), odd.records[r].samples[511]);
    expectints(out, {{92, 18}, {18 * 512 + 8, 512}});

    // 50 samples a record, a nonstandard size, leave the data off a block boundary: its 300 bytes end in block 12.
    out = convert("small.ncs", ncsrecording(3, 0, 120), 3);
    expectints(out, {{92, 13}, {13 * 512 + 12, 50}, {44, 14}});
    EXPECT_EQ(out.size(), 14u * 512);
}

// The ABF header's view of a sample: the factor readers multiply it by.
double readerscale(const std::string& abf, int c)
{
    return realat(abf, 244) / int32at(abf, 252) / realat(abf, 922 + 4 * c);
}

TEST_F(Conversion, VoltsScaleEachChannelFromItsOwnHeader)
{
    writebytes("a.ncs", ncsrecording(3, 1));  // 3.0517578125e-8 V a step
    writebytes("b.ncs", ncsrecording(3, 2).withheader(
        "-RecordSize 1044\r\n-SamplingFrequency 32000\r\n-ADMaxValue 2047\r\n-ADBitVolts 0.0000001\r\n"
        "-InputInverted True\r\n-ADChannel 2\r\n"));
    ASSERT_EQ(run({"a.ncs", "b.ncs"}, "a.ncs"), 3);
    const std::string plain = readbytes("a.abf");
    expectwarning(
        "\nThe combined inputs differ in ADMaxValue: channel 0 (a.ncs) 32767, channel 1 (b.ncs) 2047; the header holds "
        "one resolution, 2048, which readers apply to every channel; --volts gives each channel its own exact scale");
    ASSERT_EQ(run({"a.ncs", "b.ncs"}, "a.ncs", 'Y', {}, {.volts = true}), 3);
    const std::string volts = readbytes("a.abf");
    EXPECT_EQ(volts.substr(602, 24), "uV      uV      pA      ");
    EXPECT_NEAR(readerscale(volts, 0) / 0.030517578125, 1, 1e-7);
    EXPECT_NEAR(readerscale(volts, 1) / -0.1, 1, 1e-7);
    EXPECT_EQ(int32at(volts, 252), 2048);  // the resolution stays the described one
    EXPECT_EQ(volts.substr(abfHeaderSize), plain.substr(abfHeaderSize));  // samples unchanged
    EXPECT_TRUE(takerecorded().messages.empty());

    writebytes("bare.ncs",
               ncsrecording(3).withheader("-RecordSize 1044\r\n-SamplingFrequency 32000\r\n-ADMaxValue 32767\r\n"));
    refused("\nbare.ncs gives no usable ADBitVolts", {"a.ncs", "bare.ncs"}, "a.ncs", 'Y', {}, {.volts = true});
    EXPECT_EQ(readbytes("a.abf"), volts);  // the older output stays
}

TEST_F(Conversion, StartTimeFromTheOpeningTime)
{
    const NcsBytes opened =
        ncsrecording(3).withheader("## Time Opened (m/d/y): 5/17/2023  At Time: 10:15:42.250\r\n" + ncslines());
    EXPECT_EQ(convert("o.ncs", opened, 3).substr(20, 8), std::string(8, '\0'));  // only on request
    std::string out = convert("o.ncs", opened, 3, {.startTime = true});
    expectints(out, {{20, 20230517}, {24, 10 * 3600 + 15 * 60 + 42}});
    EXPECT_EQ(int16at(out, 366), 250);
    EXPECT_TRUE(takerecorded().messages.empty());

    out = convert("n.ncs", ncsrecording(3), 3, {.startTime = true});
    expectwarning("\nn.ncs gives no opening time: the start date and time are left 0");
    EXPECT_EQ(out.substr(20, 8) + out.substr(366, 2), std::string(10, '\0'));
}

TEST_F(Conversion, CombinedInputsWhoseStampsDisagreeAreNamed)
{
    // Against the last input, whose stamps make the synch array: one
    // channel 10 s late, one with a hole of its own, one within half a sample.
    writebytes("late.ncs", ncsrecording(20, 0, 1044, 15000000));
    writebytes("hole.ncs", ncsrecording(20, 1).shifted(10, 1000000));
    writebytes("near.ncs", ncsrecording(20, 2).shifted(0, 15));
    writebytes("ref.ncs", ncsrecording(20, 3));
    ASSERT_EQ(run({"late.ncs", "hole.ncs", "near.ncs", "ref.ncs"}, "late.ncs"), 20);
    expectwarning(
        "\nThe combined inputs' time stamps disagree: channel 0 (late.ncs) by up to 10 s, channel 1 (hole.ncs) by up to "
        "1 s; the synch array holds the stamps of channel 3 (ref.ncs), counted from the first stamp of channel 0 "
        "(late.ncs)");
    ASSERT_EQ(run({"late.ncs", "hole.ncs"}, "late.ncs", 'N'), 20);
    EXPECT_TRUE(takerecorded().messages.empty()) << "separate files have nothing to disagree with";
}

TEST_F(Conversion, AFileThatGrowsIsConvertedAsItWasWithANotice)
{
    const std::string before = convert("grow.ncs", ncsrecording(200), 200);
    const std::string more = ncsrecording(300).bytes().substr(ncsHeaderSize + 200 * 1044);  // records 200 to 299
    atnextreport([&] { std::ofstream("grow.ncs", std::ios::binary | std::ios::app) << more; });
    ASSERT_EQ(run({"grow.ncs"}, "grow.ncs"), 200);
    EXPECT_TRUE(readbytes("grow.abf") == before);
    expectwarning(
        "\ngrow.ncs grew during the conversion: only the records it held when the conversion began were converted");
}

// Records, sample count and synch starts of one part, checked against the input records it should hold.
void expectpart(const std::string& name, const NcsBytes& in, int first, int count)
{
    const std::int64_t base = in.records[first].stamp;
    SCOPED_TRACE(name);
    const std::string out = readbytes(name);
    ASSERT_GE(out.size(), abfHeaderSize);
    expectints(out, {{16, count}, {10, 512 * count}, {96, count}});
    const std::size_t synch = 512u * int32at(out, 92);
    ASSERT_EQ(out.size(), synch + (count + 63) / 64 * 512u);
    EXPECT_EQ(int32at(out, 44) * 512u, out.size());
    for (int r = 0; r < count; ++r) {
        EXPECT_EQ(int32at(out, synch + 8 * r), static_cast<std::int32_t>((in.records[first + r].stamp - base) / 31.25));
        for (int s : {0, 511})
            EXPECT_EQ(int16at(out, 6144 + 2 * (512 * r + s)), in.records[first + r].samples[s]);
    }
}

TEST_F(Conversion, SplitAtTheSampleLimit)
{
    const NcsBytes in = ncsrecording(10).withheader("-TimeCreated 2023/05/17 23:59:59.950\r\n" + ncslines());
    writebytes("CSC1.ncs", in);
    const ConvertOptions small{.startTime = true, .limit = 4 * 512};

    refused("\nCSC1.ncs: too many samples for one ABF file", {"CSC1.ncs"}, "CSC1.ncs", 'Y', {}, small);
    EXPECT_TRUE(outcome.tooLong);
    EXPECT_EQ(fs::directory_iterator(".")->path().filename(), "CSC1.ncs");

    ConvertOptions split{.startTime = true, .split = true, .limit = 4 * 512};
    ASSERT_EQ(run({"CSC1.ncs"}, "CSC1.ncs", 'Y', {}, split), 10);
    EXPECT_FALSE(outcome.tooLong);
    ASSERT_EQ(outcome.parts.size(), 3u);
    const int counts[] = {4, 4, 2};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(outcome.parts[k].name, "CSC1_part" + std::to_string(k + 1) + ".abf");
        EXPECT_EQ(outcome.parts[k].records, counts[k]);
        expectpart(outcome.parts[k].name, in, 4 * k, counts[k]);
    }
    EXPECT_FALSE(fs::exists("CSC1.abf"));
    // Each part starts when its first record does: record 4 is 64 ms in, past midnight.
    expectints(readbytes("CSC1_part2.abf"), {{20, 20230518}, {24, 0}});
    EXPECT_EQ(int16at(readbytes("CSC1_part2.abf"), 366), 14);

    // A recording that fits keeps its one name.
    split.limit = 10 * 512;
    ASSERT_EQ(run({"CSC1.ncs"}, "CSC1.ncs", 'Y', {}, split), 10);
    ASSERT_EQ(outcome.parts.size(), 1u);
    EXPECT_EQ(outcome.parts[0].name, "CSC1.abf");
    expectpart("CSC1.abf", in, 0, 10);
}

TEST_F(Conversion, SplitWhereSynchStartsLeaveTheirRange)
{
    // 100000 intervals of 31.25 us are 3.125 s: the jump to record 3 and the one back at record 6 each start a part.
    const NcsBytes in = ncsrecording(8).shifted(3, 10000000).shifted(6, -30000000);
    writebytes("g.ncs", in);
    ConvertOptions options{.limit = 100000};
    refused("\ng.ncs: time stamps out of the range of an ABF file", {"g.ncs"}, "g.ncs", 'Y', {}, options);
    EXPECT_TRUE(outcome.tooLong);

    options.split = true;
    ASSERT_EQ(run({"g.ncs"}, "g.ncs", 'Y', {}, options), 8);
    ASSERT_EQ(outcome.parts.size(), 3u);
    expectpart("g_part1.abf", in, 0, 3);
    expectpart("g_part2.abf", in, 3, 3);
    expectpart("g_part3.abf", in, 6, 2);
    ASSERT_EQ(outcome.timing.size(), 1u);
    EXPECT_EQ(outcome.timing[0].discontinuities, 2);
    EXPECT_EQ(outcome.timing[0].backwards, 1);
}

TEST_F(Conversion, NamesFromAcqEntName)
{
    const struct { const char *line, *name; } cases[] = {
        {"-AcqEntName CSC1\r\n", "CSC1      "},
        {"-AcqEntName   \"LFP left\" \r\n", "LFP left  "},
        {"-AcqEntName HippocampusTetrode3\r\n", "Hippocampu"},  // cut at the field's 10 characters
        {"-AcqEntName \r\n", "EEG Ch 5  "},                     // no name: the described one
        {"", "EEG Ch 5  "},
        // Readers take ASCII: each other character one '_', whatever its bytes.
        {"-AcqEntName \xC3\x9C" "ber\xE5\x90\x8D\tx\xB5V\xC3\r\n", "_ber__x_V_"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const NcsBytes in = ncsrecording(2, 5).withheader(ncslines(1044, "32000", 32767, 5) + c.line);
        EXPECT_EQ(convert("n.ncs", in, 2, {.names = true}).substr(442, 20), c.name + std::string("AI #1     "));
        EXPECT_EQ(convert("n.ncs", in, 2).substr(442, 10), "EEG Ch 5  ") << "only on request";
    }
}

std::optional<TimeBound> at(const char* text)
{
    return text ? parsetimebound(text) : std::nullopt;
}

TEST_F(Conversion, RangeKeepsTheRecordsThatOverlapIt)
{
    // Records of 16 ms, the first opened at 10:15:42.250.
    const NcsBytes in = ncsrecording(10).withheader("-TimeCreated 2023/05/17 10:15:42.250\r\n" + ncslines());
    writebytes("r.ncs", in);
    const struct { const char *from, *to; int first, count; } cases[] = {
        {"0.020", "0.040", 1, 2}, {"0.1", nullptr, 6, 4},
        {nullptr, "0.016", 0, 1},  // a record that starts where the range ends is left out
        {"0.016", "0.0161", 1, 1},
        {"10:15:42.300", nullptr, 3, 7},  // 50 ms in: the record from 48 to 64 ms
        {"10:15:42", "0.05", 0, 4},       // from before the first record
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from ? c.from : "-") + " " + (c.to ? c.to : "-"));
        ASSERT_EQ(run({"r.ncs"}, "r.ncs", 'Y', {}, {.startTime = true, .from = at(c.from), .to = at(c.to)}), c.count);
        expectpart("r.abf", in, c.first, c.count);
        // The start time follows the cut.
        EXPECT_EQ(int32at(readbytes("r.abf"), 24), 10 * 3600 + 15 * 60 + 42);
        EXPECT_EQ(int16at(readbytes("r.abf"), 366), 250 + 16 * c.first);
        EXPECT_TRUE(takerecorded().messages.empty());
    }

    // Parts of a range count from their own first records.
    ConvertOptions split{.split = true, .from = at("0.020"), .limit = 4 * 512};
    ASSERT_EQ(run({"r.ncs"}, "r.ncs", 'Y', {}, split), 9);
    ASSERT_EQ(outcome.parts.size(), 3u);
    for (int k = 0; k < 3; ++k)
        expectpart(outcome.parts[k].name, in, 1 + 4 * k, k < 2 ? 4 : 1);

    // Ranges that hold no record are refused; nothing is written.
    fs::remove("r.abf");
    writebytes("h.ncs", ncsrecording(10).shifted(5, 10000000));
    const std::string counted = ", counted from the first record; the records span 0 s to ";
    const struct { const char *name, *from, *to; std::string message; } refusals[] = {
        {"r.ncs", "1", nullptr, "\nr.ncs: no record lies in the range from 1 s" + counted + "0.16 s"},
        {"r.ncs", nullptr, "10:15:42", "\nr.ncs: no record lies in the range to -0.25 s" + counted + "0.16 s"},
        {"r.ncs", "0.05", "10:15:42.3", "\nr.ncs: no record lies in the range from 0.05 s to 0.05 s" + counted + "0.16 s"},
        // Inside a hole: found only by going through the records.
        {"h.ncs", "1", "2", "\nh.ncs: no record lies in the range from 1 s to 2 s" + counted + "10.16 s"},
        {"h.ncs", "10:00:00", nullptr, "\nh.ncs gives no opening time, which a clock time of the range needs"},
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.message);
        refused(c.message, {c.name}, c.name, 'Y', {}, {.from = at(c.from), .to = at(c.to)});
        EXPECT_FALSE(fs::exists(abfname(c.name)));
    }
    // Too long for one file: found as the range is converted.
    refused("\nr.ncs: too many samples for one ABF file", {"r.ncs"}, "r.ncs", 'Y', {},
            {.from = at("0.020"), .limit = 4 * 512});
    EXPECT_TRUE(outcome.tooLong);
}

TEST_F(Conversion, RestartFilesContinueTheirChannel)
{
    // Stopped after 3 records (4 in the second channel's file) and restarted 10 s later.
    const NcsBytes a1 = ncsrecording(3, 1), a2 = ncsrecording(2, 1, 1044, 15000000);
    const NcsBytes b1 = ncsrecording(4, 2), b2 = ncsrecording(2, 2, 1044, 15000000);
    writebytes("a.ncs", a1);
    writebytes("a_0001.ncs", a2);
    writebytes("b.ncs", b1);
    writebytes("b_0001.ncs", b2);
    ASSERT_EQ(run({"a.ncs", "b.ncs"}, "a.ncs", 'Y', {}, {}, {{"a_0001.ncs"}, {"b_0001.ncs"}}), 5);
    expectwarning("\nThe inputs differ in length: only the 5 records that all of them hold are converted");
    const std::string out = readbytes("a.abf");
    for (int r = 0; r < 5; ++r) {
        const auto [a, b, from] = r < 3 ? std::tuple{&a1, &b1, r} : std::tuple{&a2, &b2, r - 3};
        EXPECT_EQ(int16at(out, 6144 + 2048 * r), a->records[from].samples[0]) << r;
        EXPECT_EQ(int16at(out, 6144 + 2048 * r + 2), b->records[from].samples[0]) << r;
        // The synch array keeps the jump: 10 s after the first record are 640000 intervals of 15.625 us.
        EXPECT_EQ(int32at(out, 512 * int32at(out, 92) + 8 * r), r < 3 ? 1024 * r : 640000 + 1024 * (r - 3)) << r;
    }
    ASSERT_EQ(outcome.timing.size(), 2u);
    EXPECT_EQ(outcome.timing[0].restarts, 1);
    EXPECT_EQ(outcome.timing[0].paused, 10000000 - 3 * 16000);
    EXPECT_EQ(outcome.timing[0].jumps().holes, 0);
    EXPECT_EQ(outcome.timing[0].discontinuities, 0);

    // Separately, each channel keeps all its records.
    ASSERT_EQ(run({"a.ncs", "b.ncs"}, "b.ncs", 'N', {}, {}, {{"a_0001.ncs"}, {"b_0001.ncs"}}), 6);

    writebytes("scaled.ncs", ncsrecording(2, 1, 1044, 15000000).withheader(ncslines(1044, "32000", 2047, 1)));
    const struct { std::vector<std::vector<std::string>> continued; std::string message; } cases[] = {
        {{{"a_0001.ncs"}, {}}, "\na.ncs continues in 2 files after restarts, b.ncs in 1: the channels cannot be lined up"},
        {{{"a.ncs"}, {"b_0001.ncs"}}, "\na.ncs does not start after the last record of a.ncs, which it should continue"},
        {{{"b_0001.ncs"}, {"b_0001.ncs"}}, "\na.ncs and b_0001.ncs differ in ADChannel"},
        {{{"scaled.ncs"}, {"b_0001.ncs"}}, "\na.ncs and scaled.ncs differ in ADMaxValue"},
    };
    for (const auto& c : cases)
        refused(c.message, {"a.ncs", "b.ncs"}, "a.ncs", 'Y', {}, {}, c.continued);
}

// The tag section of an ABF file, as lTagSectionPtr and lNumTagEntries give it.
std::vector<AbfTag> tagsof(const std::string& abf)
{
    std::vector<AbfTag> tags;
    const std::size_t at = 512u * int32at(abf, 44);
    for (int k = 0; k < int32at(abf, 48); ++k)
        tags.push_back(gettag(reinterpret_cast<const unsigned char*>(abf.data()) + at + 64 * k));
    EXPECT_EQ(abf.size(), (at + 64 * tags.size() + 511) / 512 * 512);
    return tags;
}

using Tags = std::vector<std::pair<std::int32_t, std::string>>;

// Times and comments of comment tags (others get the time -1), to compare with a table.
Tags timed(const std::vector<AbfTag>& tags)
{
    Tags out;
    for (const AbfTag& t : tags)
        out.emplace_back(t.type == 1 ? t.time : -1, t.comment);
    return out;
}

TEST_F(Conversion, EventsBecomeTagsInTheSynchArraysUnit)
{
    // Ten records of 16 ms from 5 s, a hole of 1 s before record 5.
    writebytes("a.ncs", ncsrecording(10).shifted(5, 1000000));
    writebytes("b.ncs", ncsrecording(10, 1).shifted(5, 1000000));
    const std::string longtext(100, 'x');
    std::string events = nevheader();
    for (const auto& [stamp, text] : std::vector<std::pair<std::uint64_t, std::string>>{
             {4999999, "before"}, {5000000, "at the first record"}, {5000100, longtext}, {5100000, "early in the hole"},
             {5500000, "in the hole"}, {6159999, "in the last record"}, {6160000, "after"}})
        events += nevrecord(stamp, 19, 1, text);
    writebytes("Events.nev", events);
    const std::string leftout =
        "\nEvents.nev: 2 of its 7 events lie before the first record converted or after the last, and are left out";
    // One channel: intervals of 31.25 us; two: 15.625 us, so every time doubles.
    for (const int n : {1, 2}) {
        SCOPED_TRACE(n);
        ASSERT_EQ(run({"a.ncs", "b.ncs"}, "a.ncs", n == 1 ? 'N' : 'Y', {}, {.events = "Events.nev"}), 10);
        expectwarning(leftout);
        const std::string out = readbytes("a.abf");
        EXPECT_EQ(int32at(out, 44), 12 + 20 * n + 1);  // after the synch array
        EXPECT_EQ(timed(tagsof(out)), (Tags{{0, "at the first record"},
                                            {3 * n, longtext.substr(0, 56)},
                                            {3200 * n, "early in the hole"},
                                            {16000 * n, "in the hole"},  // its true time, as the synch array has
                                            {(1159999 * n * 4) / 125, "in the last record"}}));  // / (31.25 / n) us
    }

    // Parts and ranges: each file's tags, counted from its own first record.
    // Four records a part, and the hole starts one: records 0-3, 4, 5-8, 9.
    ASSERT_EQ(run({"a.ncs"}, "a.ncs", 'Y', {}, {.split = true, .events = "Events.nev", .limit = 4 * 512}), 10);
    ASSERT_EQ(outcome.parts.size(), 4u);
    const Tags parts[] = {
        {{0, "at the first record"}, {3, longtext.substr(0, 56)}},
        {{(100000 - 64000) * 4 / 125, "early in the hole"}},  // a hole where a part ends belongs to it
        {},
        {{(1159999 - 1144000) * 4 / 125, "in the last record"}},
    };
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(timed(tagsof(readbytes(outcome.parts[k].name))), parts[k]) << k;
    // Beyond the part's range of tag times (here lowered with its sample limit).
    const Recorder rec = takerecorded();
    ASSERT_EQ(rec.messages.size(), 2u);
    EXPECT_EQ(rec.messages[0].text, leftout);
    EXPECT_EQ(rec.messages[1].text, "\nEvents.nev: 1 of its 7 events lie too far into the pause after a part's last "
                                    "record for its 32-bit tag times, and are left out");
    ASSERT_EQ(run({"a.ncs"}, "a.ncs", 'Y', {}, {.from = at("1.0"), .events = "Events.nev"}), 5);
    expectwarning(
        "\nEvents.nev: 6 of its 7 events lie before the first record converted or after the last, and are left out");
    EXPECT_EQ(timed(tagsof(readbytes("a.abf"))), (Tags{{(1159999 - 1080000) * 4 / 125, "in the last record"}}));
}

TEST_F(Conversion, EventFilesThatCannotBeReadLeaveNoOutput)
{
    // The reader's messages, before anything is written.
    writebytes("a.ncs", ncsrecording(3));
    refused("\nCouldn't open Events.nev", {"a.ncs"}, "a.ncs", 'Y', {}, {.events = "Events.nev"});
    writebytes("Events.nev", nevheader(ncslines()));
    refused("\nEvents.nev is not an event file: its header gives FileType CSC", {"a.ncs"}, "a.ncs", 'Y', {},
            {.events = "Events.nev"});
    EXPECT_FALSE(fs::exists("a.abf"));
    // No events, or an incomplete last one: converted, the complete ones as tags.
    writebytes("Events.nev", nevheader() + nevrecord(5000000, 19, 1, "one") + std::string(100, '\0'));
    EXPECT_EQ(tagsof(convert("a.ncs", ncsrecording(3), 3, {.events = "Events.nev"})).size(), 1u);
    writebytes("Events.nev", nevheader());
    EXPECT_EQ(convert("a.ncs", ncsrecording(3), 3, {.events = "Events.nev"}).size(), 19u * 512);
    EXPECT_TRUE(takerecorded().messages.empty());
}

}  // namespace
