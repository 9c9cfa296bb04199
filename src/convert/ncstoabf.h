#pragma once
// The conversion run: NCS recordings, one channel per file, into one ABF
// file in gap-free mode with the channels interleaved sample by sample,
// followed by a synch array giving each record's start time.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "convert/abfheader.h"
#include "convert/ncstiming.h"
#include "convert/timerange.h"
#include "platform/frontend.h"
#include "progress/progresswindow.h"

// The files of the current selection, in the converter parameter block.
struct FileSelection {
    std::int32_t combine = 'N';  // 'Y' or 'N' in the lowest byte
    std::vector<std::string> files;
    // The files that continue files[i] after the acquisition stopped and
    // restarted, in time order: none, or one list per file.
    std::vector<std::vector<std::string>> continued = {};

    int nfiles() const { return static_cast<int>(files.size()); }
};

// A run combines at most this many inputs: the ADC channels of an ABF file.
inline constexpr int maxInputs = abfMaxChannels;

// The largest sample count and synch start (in sample intervals) of one
// ABF file: both are 32-bit fields.
inline constexpr std::int32_t abfMaxCount = 2147483647;

// Choices beyond the described conversion; the defaults give it exactly.
struct ConvertOptions {
    bool volts = false;      // scale and units so that readers show microvolts
    bool startTime = false;  // start date and time from the header's opening time
    bool split = false;      // a recording too long for one file goes into parts
    bool names = false;      // channels named after their inputs' AcqEntName
    // Only the records that overlap [from, to) are converted, each whole.
    std::optional<TimeBound> from = {}, to = {};
    // An event file whose events become the file's tags, each in the span
    // of the records it falls in; empty: no tags.
    std::string events = {};
    std::int32_t limit = abfMaxCount;  // lowered by tests to split small recordings
};

// What a run made and saw, for a front end to report.
struct ConvertOutcome {
    struct Part {
        std::string name;
        int records;
    };
    std::vector<Part> parts;          // the files written, in order
    std::vector<NcsTiming> timing;    // per input, in list order
    bool tooLong = false;             // refused as too long for one file
};

// Converts the selection (or, with combine 'N' and several files, path alone)
// into one ABF file named after path, beside it or in outputdir when that is
// not empty; with options.split, a recording beyond the limit goes into the
// parts NAME_part1.abf, NAME_part2.abf... Returns the number of records
// written; 0 on any failure, which has then been shown through messagebox
// and left no output behind.
int ncstoabf(const FileSelection& block, const std::string& path, ProgressWindow& progress,
             const std::string& outputdir = {}, const ConvertOptions& options = {},
             ConvertOutcome* outcome = nullptr);

// The output name for an input: its extension (or, without one, nothing)
// replaced by ".abf"; put in outputdir when that is not empty.
std::string abfname(const std::string& path, const std::string& outputdir = {});

// The name of part number (from 1) of a split output named name.
std::string partname(const std::string& name, int part);

// Texts of file failures, shown under kFileErrorCaption.
inline constexpr const char* kCouldntOpen = "\nCouldn't open %s";
inline constexpr const char* kCouldntRead = "\nCouldn't read %s";

// Texts of a conversion's outcome, shown by the front ends' batch loops.
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kProcessingError = "Error in Processing Data";
inline constexpr const char* kStatusCaption = "Tessel ABF Converter";
inline constexpr const char* kStatusFormat = "Output file is %s.\n %d records selected.";
