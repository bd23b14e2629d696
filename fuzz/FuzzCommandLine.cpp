#include "FuzzCheck.h"
#include "shell/CommandLine.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool isArgument(const char* p, const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (p == a.c_str())
            return true;
    return false;
}

} // namespace

// The input is the argument list, NUL-separated, after the program name. Parsing
// repeats in one process, so state a parser keeps between calls shows as a change
// of answer for the same arguments.
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

    Options answers[2];
    for (Options& options : answers) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        std::vector<char*> given = argv;
        options = parseCommandLine(int(args.size()), argv.data());
        // Whatever the parser reorders, it hands back the caller's own strings.
        FUZZ_CHECK(!options.inspectFile || isArgument(options.inspectFile, args));
        FUZZ_CHECK(!options.unknown || isArgument(options.unknown, args));
        FUZZ_CHECK(options.unknown == nullptr || options.error != nullptr);
        FUZZ_CHECK(argv[0] == given[0] && argv[args.size()] == nullptr);
    }
    FUZZ_CHECK(answers[0].windowed == answers[1].windowed && answers[0].help == answers[1].help);
    FUZZ_CHECK((answers[0].error == nullptr) == (answers[1].error == nullptr));
    FUZZ_CHECK(answers[0].inspectFrame == answers[1].inspectFrame);
    FUZZ_CHECK((answers[0].inspectFile == nullptr) == (answers[1].inspectFile == nullptr));
    return 0;
}
