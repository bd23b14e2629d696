#include "FuzzCheck.h"
#include "core/CommandLine.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The real check of --scene lists the shell's GL scene classes; this one takes a
// scene of the show by number (1 to 6) and refuses anything else, so the options
// around --scene are parsed as in the program; the value itself is not fuzzed here.
std::string checkSceneNumber(const char* text) {
    char* end = nullptr;
    long number = text ? strtol(text, &end, 10) : 0;
    if (text && *text && !*end && number >= 1 && number <= 6)
        return "";
    return "--scene: not a scene of the show";
}

bool isArgument(const char* p, const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (p == a.c_str())
            return true;
    return false;
}

// An option's value: a whole argument, or the part after '=' in "--name=value".
bool isInArgument(const char* p, const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (p >= a.c_str() && p <= a.c_str() + a.size())
            return true;
    return false;
}

// "unknown option NAME" names an argument given, or a letter of a short-option one.
void checkUnknownNamed(const std::string& error, const std::vector<std::string>& args) {
    const std::string prefix = "unknown option ";
    if (error.compare(0, prefix.size(), prefix) != 0)
        return;
    std::string name = error.substr(prefix.size());
    bool found = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool shortOptions = a.size() > 1 && a[0] == '-' && a[1] != '-';
        found = found || a == name ||
                (name.size() == 2 && shortOptions && a.find(name[1], 1) != std::string::npos);
    }
    FUZZ_CHECK(found);
}

// What the shell relies on when the arguments were understood.
void checkAccepted(const CommandLineOptions& o) {
    FUZZ_CHECK(o.fps >= 1 && o.fps <= 1000);
    FUZZ_CHECK(o.width >= 1 && o.width <= 16384 && o.height >= 1 && o.height <= 16384);
    FUZZ_CHECK(o.renderWidth >= 0 && o.renderWidth <= 16384);
    FUZZ_CHECK(std::isfinite(o.from) && o.from >= 0 && std::isfinite(o.to));
    FUZZ_CHECK(!o.captureOut || o.to < 0 || o.to > o.from);
    FUZZ_CHECK(!(o.bench && o.captureOut));
    FUZZ_CHECK(!o.watch || (!o.captureOut && !o.bench));
}

} // namespace

// The input is the argument list, NUL-separated, after the program name. Parsing
// repeats in one process, so state the parser keeps between calls (getopt's) shows
// as a different answer for the same arguments.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args{"demo"};
    std::string current;
    for (size_t i = 0; i < size && args.size() < 64; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(char(data[i]));
        }
    }
    if (!current.empty() && args.size() < 64)
        args.push_back(current);

    CommandLineOptions answers[2];
    for (CommandLineOptions& o : answers) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        o = parseCommandLine(int(args.size()), argv.data(), checkSceneNumber);
        // What glutInit gets: the program name first, then only the caller's own strings.
        FUZZ_CHECK(o.toolkitArgs.size() >= 2 && o.toolkitArgs.back() == nullptr);
        FUZZ_CHECK(o.toolkitArgs[0] == args[0].c_str());
        for (int i = 1; i < o.toolkitArgc(); ++i)
            FUZZ_CHECK(isArgument(o.toolkitArgs[i], args));
        FUZZ_CHECK(!o.inspectFile || isInArgument(o.inspectFile, args));
        FUZZ_CHECK(!o.captureOut || isInArgument(o.captureOut, args));
        FUZZ_CHECK(!o.sceneValue ||
                   (isInArgument(o.sceneValue, args) && checkSceneNumber(o.sceneValue).empty()));
        if (o.error.empty())
            checkAccepted(o);
        checkUnknownNamed(o.error, args);
    }
    const CommandLineOptions &a = answers[0], &b = answers[1];
    FUZZ_CHECK(a.error == b.error && a.windowed == b.windowed && a.help == b.help && a.bench == b.bench);
    FUZZ_CHECK(a.inspectFile == b.inspectFile && a.captureOut == b.captureOut);
    FUZZ_CHECK(a.inspectFrame == b.inspectFrame && a.fps == b.fps && a.width == b.width);
    FUZZ_CHECK(a.toolkitArgs == b.toolkitArgs);
    return 0;
}
