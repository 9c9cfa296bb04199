// The command-line converter: the conversion engine with its messages on
// the terminal and its progress drawn as a bar.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/info.h"
#include "convert/ncstoabf.h"
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
    "Usage: tessel convert [--combine] [--quiet] [--output-dir DIR] FILE.ncs...\n"
    "       tessel info FILE\n"
    "       tessel --help | --version\n";

constexpr const char* kHelp =
    "Converts Neuralynx continuously sampled channel files (.ncs) into Axon\n"
    "Binary Files (ABF 1.65 layout, gap-free). Samples are copied unchanged.\n"
    "\n"
    "convert   Each FILE.ncs becomes FILE.abf beside it.\n"
    "  --combine         all inputs (at most 16) become the channels of one ABF\n"
    "                    file named after the first\n"
    "  --output-dir DIR  write the ABF files into DIR instead\n"
    "  --quiet           print nothing on success\n"
    "info      Shows the header values of an NCS or ABF file.\n"
    "\n"
    "Exit status: 0 when every file converted, 1 when any failed, 2 for a\n"
    "usage error.\n";

int usage(const char* problem)
{
    std::fprintf(stderr, "tessel: %s\n%s", problem, kUsage);
    return exitUsage;
}

int convert(int argc, char** argv)
{
    bool combine = false, quiet = false;
    std::string outputdir;
    FileSelection selection;
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--combine") {
            combine = true;
        } else if (options && arg == "--quiet") {
            quiet = true;
        } else if (options && arg == "--output-dir") {
            if (++i == argc)
                return usage("--output-dir needs a folder");
            outputdir = argv[i];
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return usage(textf("unknown option %s", arg.c_str()).c_str());
        } else {
            selection.files.push_back(arg);
        }
    }
    if (selection.files.empty())
        return usage("no input files");
    if (combine && selection.nfiles() > maxInputs)
        return usage(textf("--combine takes at most %d files", maxInputs).c_str());
    std::error_code ec;
    if (!outputdir.empty() && !std::filesystem::is_directory(outputdir, ec))
        return usage(textf("%s is not a folder", outputdir.c_str()).c_str());
    selection.combine = combine ? 'Y' : 'N';
    // Separate conversions of equally named files from several folders into
    // one folder would overwrite each other's output.
    if (!combine) {
        std::map<std::string, const std::string*> outputs;
        for (const std::string& path : selection.files) {
            auto [at, fresh] = outputs.emplace(abfname(path, outputdir), &path);
            if (!fresh)
                return usage(
                    textf("%s and %s would both write %s", at->second->c_str(), path.c_str(), at->first.c_str())
                        .c_str());
        }
    }

    ProgressWindow progress;
    progress.firstLine = "Converting to ABF";
    progress.showSecondLine = 1;
    progress.showCancel = 0;
    progterminal(!quiet && isatty(fileno(stderr)));

    int failed = 0;
    for (const std::string& path : selection.files) {
        progshow(nullptr, progress);
        const int records = ncstoabf(selection, path, progress, outputdir);
        progend();
        if (records == 0) {
            messagebox(nullptr, kProcessingError, kErrorCaption);
            ++failed;
        } else if (!quiet) {
            std::printf(kStatusFormat, progress.outputName.c_str(), records);
            std::printf("\n");
            std::fflush(stdout);
        }
        if (combine)
            break;  // the one run has taken every file
    }
    return failed ? exitFailed : exitOk;
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
    if (command == "info") {
        if (argc != 3)
            return usage("info takes one file");
        return showinfo(argv[2]) ? exitOk : exitFailed;
    }
    return usage(textf("unknown command %s", command.c_str()).c_str());
}
