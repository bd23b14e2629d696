// Makes the show's bitmaps: bitmaps [--font-dir DIR] TEXTURE_DIR
#include "core/ErrorReport.h"
#include "tools/bitmaps/Catalogue.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

void usage(FILE* to) {
    fprintf(to,
            "usage: bitmaps [--font-dir DIR] TEXTURE_DIR\n"
            "Writes the show's bitmaps (24-bit BMP) into TEXTURE_DIR, made anew on each run and\n"
            "the same on every run. --font-dir names where the DejaVu fonts are (default %s).\n",
            BITMAPS_FONT_DIR);
}

} // namespace

int main(int argc, char** argv) {
    std::string fontDir = BITMAPS_FONT_DIR, outDir;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--help")) {
            usage(stdout);
            return 0;
        } else if (!strcmp(argv[i], "--font-dir") && i + 1 < argc) {
            fontDir = argv[++i];
        } else if (argv[i][0] != '-' && outDir.empty()) {
            outDir = argv[i];
        } else {
            usage(stderr);
            reportError("bad argument '%s'\n", argv[i]);
            return 1;
        }
    }
    if (outDir.empty()) {
        usage(stderr);
        reportError("no texture directory given\n");
        return 1;
    }
    mkdir(outDir.c_str(), 0755); // an existing one is fine; writing reports any other trouble
    return bitmaps::writeAllBitmaps(outDir, fontDir) ? 0 : 1;
}
