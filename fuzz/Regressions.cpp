#include "Regressions.h"

// Each file under regressions/ holds FUZZ_REGRESSION(target, name, bytes...)
// entries, appended by add_regression.sh.
#define FUZZ_REGRESSION(target, name, ...) {target, name, {__VA_ARGS__}},

const std::vector<Regression>& regressions() {
    static const std::vector<Regression> all = {
#include "regressions/CommandLine.h"
#include "regressions/Studio3ds.h"
    };
    return all;
}
