// The command-line converter: the conversion engine with its messages on
// the terminal and its progress drawn as a bar.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/info.h"
#include "cli/inputs.h"
#include "convert/ncstoabf.h"
#include "convert/nevfile.h"
#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "progress/progressterm.h"
#include "progress/progresswindow.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#ifndef TESSEL_VERSION
#define TESSEL_VERSION "0"
#endif

namespace {

constexpr int exitOk = 0, exitFailed = 1, exitUsage = 2;

constexpr const char* kUsage =
    "Usage: tessel convert [--combine] [--volts] [--start-time] [--split] [--names]\n"
    "                      [--from T] [--to T] [--events [FILE.nev]] [--quiet]\n"
    "                      [--output-dir DIR] FILE.ncs|FOLDER...\n"
    "       tessel info [--json] FILE|FOLDER...\n"
    "       tessel --help | --version\n";

constexpr const char* kHelp =
    "Converts Neuralynx continuously sampled channel files (.ncs) into Axon\n"
    "Binary Files (ABF 1.65 layout, gap-free). Samples are copied unchanged.\n"
    "A FOLDER stands for its .ncs files in natural order (CSC2 before CSC10);\n"
    "files named one by one keep the order given. In a folder, the files that\n"
    "continue a channel after the acquisition restarted (CSC1_0001.ncs,\n"
    "CSC1_0002.ncs, ... beside CSC1.ncs) are appended to it, in that order.\n"
    "\n"
    "convert   Each FILE.ncs becomes FILE.abf beside it.\n"
    "  --combine         all inputs (at most 16) become the channels of one ABF\n"
    "                    file named after the first; several folders make one\n"
    "                    file each\n"
    "                      tessel convert --combine session/\n"
    "                      tessel convert --combine day1/ day2/ day3/\n"
    "  --volts           set the scale and units so that ABF readers show\n"
    "                    microvolts (from ADBitVolts, InputInverted honoured)\n"
    "                      tessel convert --volts CSC1.ncs\n"
    "  --start-time      take the ABF start date and time from the header's\n"
    "                    opening time\n"
    "                      tessel convert --start-time CSC1.ncs\n"
    "  --split           write a recording too long for one ABF file as\n"
    "                    NAME_part1.abf, NAME_part2.abf, ...\n"
    "                      tessel convert --split --combine night/\n"
    "  --names           name each channel after its input's AcqEntName, cut to\n"
    "                    the ABF's 10 characters, in ASCII ('_' for others)\n"
    "                      tessel convert --names --combine session/\n"
    "  --from T          convert only the records that overlap the range from T\n"
    "  --to T            to T, each record whole; T is seconds from the first\n"
    "                    record or a clock time HH:MM:SS[.mmm] of the opening\n"
    "                    day (24:00:00 and on: the days after); either alone\n"
    "                    runs to the recording's start or end\n"
    "                      tessel convert --from 600 --to 660 CSC1.ncs\n"
    "                      tessel convert --combine --from 10:30:00 --to 10:45:00 session/\n"
    "  --events [FILE.nev]\n"
    "                    write each event of the session's Events.nev (any\n"
    "                    case, in each input's folder) or of FILE.nev as an\n"
    "                    ABF tag, its time in the synch array's unit: sample\n"
    "                    intervals of all channels together; the next argument\n"
    "                    is the file only when it ends in .nev (or use\n"
    "                    --events=FILE)\n"
    "                      tessel convert --combine --events session/\n"
    "                      tessel convert --events session/Events.nev CSC1.ncs\n"
    "  --output-dir DIR  write the ABF files into DIR instead\n"
    "                      tessel convert --output-dir /tmp/abf /media/rec/\n"
    "  --quiet           print nothing on success\n"
    "                      tessel convert --quiet CSC1.ncs CSC2.ncs\n"
    "  Restarts, time-stamp holes, short records, combined inputs that disagree\n"
    "  and files that grow while they convert are told in a warning line each.\n"
    "info      Shows the header values of an NCS or ABF file; for NCS files\n"
    "          also time-stamp holes, backward stamps and short records, for\n"
    "          ABF files their tags. For an event file (.nev): the events'\n"
    "          count, first and last stamps, TTL values and the first events;\n"
    "          a FOLDER adds its Events.nev.\n"
    "                      tessel info session/Events.nev\n"
    "  --json            the same as one JSON array of objects, one per file\n"
    "                    (null for a file that cannot be read)\n"
    "                      tessel info --json session/ > session.json\n"
    "\n"
    "Exit status: 0 when every file converted, 1 when any failed, 2 for a\n"
    "usage error.\n";

constexpr const char* kSplitHint = "tessel: --split writes a recording this long as %s, %s, ...\n";
constexpr const char* kGapWarning = "\n%s: %s";
constexpr const char* kRestarts =
    "acquisition restarts: %lld, %s s paused in all (the synch array keeps each restart's jump)";
constexpr const char* kNoEventFile = "\n%s holds no Events.nev: converted without tags";
constexpr const char* kBadTime = "%s takes seconds from the first record or a clock time HH:MM:SS[.mmm], not %s";

int usage(const char* problem)
{
    std::fprintf(stderr, "tessel: %s\n%s", problem, kUsage);
    return exitUsage;
}

// A bound of --from or --to.
bool timeoption(const char* name, const char* text, std::optional<TimeBound>& bound, std::string& problem)
{
    if ((bound = parsetimebound(text)))
        return true;
    problem = textf(kBadTime, name, text);
    return false;
}

// Event files are checked once each before any conversion uses them: a
// file that is no event file fails the conversions that need it.
class EventFiles {
public:
    bool usable(const std::string& name)
    {
        auto [at, fresh] = checked_.emplace(name, false);
        if (fresh) {
            NevFile f;
            std::string problem;
            at->second = f.open(name, problem);
            if (!at->second)
                messagebox(nullptr, problem.c_str(), kFileErrorCaption);
            else if (f.partial())
                messagebox(nullptr, textf(kNevPartial, name.c_str(), f.partialbytes()).c_str(), kWarningCaption);
            else if (f.count() == 0)
                messagebox(nullptr, textf(kNevNoEvents, name.c_str()).c_str(), kWarningCaption);
        }
        return at->second;
    }
    // The Events.nev of the folder path lies in; empty, with one warning a
    // folder, where there is none.
    std::string beside(const std::string& path)
    {
        std::string folder = std::filesystem::path(path).parent_path().string();
        folder = folder.empty() ? "." : folder;
        std::string file = eventsfile(folder);
        if (file.empty() && told_.insert(folder).second)
            messagebox(nullptr, textf(kNoEventFile, folder.c_str()).c_str(), kWarningCaption);
        return file;
    }

private:
    std::map<std::string, bool> checked_;
    std::set<std::string> told_;
};

// What one conversion takes: the selection, and the names to call it with
// (each file when converted separately, the first when combined).
struct Run {
    FileSelection selection;
    std::vector<std::string> paths;
};

int convert(int argc, char** argv)
{
    bool combine = false, quiet = false, events = false;
    ConvertOptions options;
    std::string outputdir, problem;
    std::vector<std::string> args;
    bool flags = true;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (flags && arg == "--") {
            flags = false;
        } else if (flags && arg == "--combine") {
            combine = true;
        } else if (flags && arg == "--quiet") {
            quiet = true;
        } else if (flags && arg == "--volts") {
            options.volts = true;
        } else if (flags && arg == "--start-time") {
            options.startTime = true;
        } else if (flags && arg == "--split") {
            options.split = true;
        } else if (flags && arg == "--names") {
            options.names = true;
        } else if (flags && (arg == "--from" || arg == "--to")) {
            if (++i == argc)
                return usage(textf("%s needs a time", arg.c_str()).c_str());
            if (!timeoption(arg.c_str(), argv[i], arg == "--from" ? options.from : options.to, problem))
                return usage(problem.c_str());
        } else if (flags && (arg == "--events" || arg.starts_with("--events="))) {
            // The file is optional: a next argument that ends in .nev is it.
            events = true;
            if (arg != "--events")
                options.events = arg.substr(std::strlen("--events="));
            else if (i + 1 < argc && hasextension(argv[i + 1], ".nev"))
                options.events = argv[++i];
            if (arg != "--events" && options.events.empty())
                return usage("--events= needs a file");
        } else if (flags && arg == "--output-dir") {
            if (++i == argc)
                return usage("--output-dir needs a folder");
            outputdir = argv[i];
        } else if (flags && arg.size() > 1 && arg[0] == '-') {
            return usage(textf("unknown option %s", arg.c_str()).c_str());
        } else {
            args.push_back(arg);
        }
    }
    if (args.empty())
        return usage("no input files");
    if (options.from && options.to && options.from->clock == options.to->clock &&
        options.from->micros >= options.to->micros)
        return usage("--from must come before --to");
    std::vector<InputGroup> groups;
    if (!groupinputs(args, groups, problem))
        return usage(problem.c_str());

    // Combined, several folders are several sessions: one file each.
    const auto folders = std::count_if(groups.begin(), groups.end(), [](const InputGroup& g) { return g.folder; });
    const bool sessions = combine && folders > 1;
    if (sessions && folders < static_cast<std::ptrdiff_t>(groups.size()))
        return usage("--combine takes either folders, one file each, or files, one file of all");
    std::vector<Run> runs(sessions ? groups.size() : 1);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        FileSelection& selection = runs[sessions ? g : 0].selection;
        selection.files.insert(selection.files.end(), groups[g].files.begin(), groups[g].files.end());
        selection.continued.insert(selection.continued.end(), groups[g].continued.begin(), groups[g].continued.end());
    }
    for (Run& run : runs) {
        run.selection.combine = combine ? 'Y' : 'N';
        if (combine && run.selection.nfiles() > maxInputs)
            return usage(textf("--combine takes at most %d files", maxInputs).c_str());
        run.paths = combine ? std::vector<std::string>{run.selection.files.front()} : run.selection.files;
    }
    std::error_code ec;
    if (!outputdir.empty() && !std::filesystem::is_directory(outputdir, ec))
        return usage(textf("%s is not a folder", outputdir.c_str()).c_str());
    // Conversions of equally named files from several folders into one
    // folder would overwrite each other's output.
    std::map<std::string, const std::string*> outputs;
    for (const Run& run : runs)
        for (const std::string& path : run.paths) {
            auto [at, fresh] = outputs.emplace(abfname(path, outputdir), &path);
            if (!fresh)
                return usage(
                    textf("%s and %s would both write %s", at->second->c_str(), path.c_str(), at->first.c_str())
                        .c_str());
        }

    EventFiles eventFiles;
    if (!options.events.empty() && !eventFiles.usable(options.events))
        return exitFailed;

    ProgressWindow progress;
    progress.firstLine = "Converting to ABF";
    progress.showSecondLine = 1;
    progress.showCancel = 0;
    progterminal(!quiet && isatty(fileno(stderr)));

    int failed = 0;
    for (const Run& run : runs)
        for (const std::string& path : run.paths) {
            ConvertOptions own = options;
            if (events && options.events.empty())
                own.events = eventFiles.beside(path);
            if (!own.events.empty() && !eventFiles.usable(own.events)) {
                messagebox(nullptr, kProcessingError, kErrorCaption);
                ++failed;
                continue;
            }
            progshow(nullptr, progress);
            ConvertOutcome outcome;
            const int records = ncstoabf(run.selection, path, progress, outputdir, own, &outcome);
            progend();
            if (records == 0) {
                messagebox(nullptr, kProcessingError, kErrorCaption);
                if (outcome.tooLong) {
                    const std::string name = abfname(path, outputdir);
                    std::fprintf(stderr, kSplitHint, partname(name, 1).c_str(), partname(name, 2).c_str());
                }
                ++failed;
                continue;
            }
            // Readers that ignore the synch array join the pieces around a hole.
            const std::vector<std::string> inputs = combine ? run.selection.files : std::vector<std::string>{path};
            for (std::size_t c = 0; c < outcome.timing.size() && c < inputs.size(); ++c) {
                const NcsTiming& t = outcome.timing[c];
                std::string summary = timingsummary(t);
                if (t.restarts)
                    summary = textf(kRestarts, t.restarts, numshort(static_cast<float>(t.paused / 1e6), 4).c_str()) +
                              (summary.empty() ? "" : "; ") + summary;
                if (!summary.empty())
                    messagebox(nullptr, textf(kGapWarning, inputs[c].c_str(), summary.c_str()).c_str(), kWarningCaption);
            }
            for (std::size_t k = 0; k < outcome.parts.size() && !quiet; ++k) {
                std::printf(kStatusFormat, outcome.parts[k].name.c_str(), outcome.parts[k].records);
                std::printf("\n");
            }
            std::fflush(stdout);
        }
    return failed ? exitFailed : exitOk;
}

int info(int argc, char** argv)
{
    bool json = false;
    std::vector<std::string> args, files;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json")
            json = true;
        else if (arg.size() > 1 && arg[0] == '-')
            return usage(textf("unknown option %s", arg.c_str()).c_str());
        else
            args.push_back(arg);
    }
    if (args.empty())
        return usage("info needs a file or folder");
    std::string problem;
    // A folder stands for its recordings and then its event file.
    for (const std::string& arg : args) {
        if (!expandinputs({arg}, files, problem))
            return usage(problem.c_str());
        if (std::string events = eventsfile(arg); !events.empty())
            files.push_back(events);
    }
    bool ok = true;
    const char* separator = json ? "[" : "";
    for (const std::string& file : files) {
        std::printf("%s", separator);
        separator = json ? ",\n" : "\n";
        // A file that cannot be read keeps its place in the array.
        if (!showinfo(file, json)) {
            ok = false;
            std::printf("%s", json ? "null" : "");
        }
        std::fflush(stdout);
    }
    if (json)
        std::printf("]\n");
    return ok ? exitOk : exitFailed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage("no command");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::printf("%s\n%s", kUsage, kHelp);
        return exitOk;
    }
    if (command == "--version") {
        std::printf("tessel %s\n", TESSEL_VERSION);
        return exitOk;
    }
    if (command == "convert")
        return convert(argc - 2, argv + 2);
    if (command == "info")
        return info(argc - 2, argv + 2);
    return usage(textf("unknown command %s", command.c_str()).c_str());
}
