#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

#include "core/ErrorReport.h"
#include "core/Inspector.h"
#include "shell/Bench.h"
#include "shell/Callbacks.h"
#include "shell/Capture.h"
#include "shell/CommandLine.h"
#include "shell/GlutWindowing.h"
#include "shell/LineUp.h"
#include "shell/ShowLineUp.h"
#include "shell/Startup.h"

int main(int argc, char** argv) {
    // Progress lines arrive as they happen, also when standard output is a pipe.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options = parseCommandLine(argc, argv);
    if (options.help) {
        printUsage(argv[0]);
        return 0;
    }
    if (!options.error.empty()) {
        reportError("%s (see --help)\n", options.error.c_str());
        return 2;
    }
    // A bad show file ends the run before anything opens.
    if (options.showFile && !loadShow(options.showFile))
        return 2;
    if (options.inspectFile)
        return runInspector(options.inspectFile, options.inspectFrame, options.inspectSummary,
                            showPaceOf(options.inspectFile));
    if (options.captureOut)
        return runCapture(options);
    if (options.bench)
        return runBench(options);
    static GlutWindowing toolkit;
    windowing = &toolkit;
    int toolkitArgc = options.toolkitArgc();
    initDemo(&toolkitArgc, options.toolkitArgs.data(), options);
    glutMainLoop();
    // The window was closed or Esc was pressed.
    shutDownShow();
    exit(0);
}
