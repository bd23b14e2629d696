// Writes the model scene's 3D Studio file: brask OUTPUT (for example
// data/models/test5.3DS). The same bytes on every run.
#include "Test5Model.h"

#include <lib3ds/file.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.3DS\n", argv[0]);
        return 2;
    }
    Lib3dsFile* file = brask::buildTest5Model();
    bool saved = lib3ds_file_save(file, argv[1]);
    lib3ds_file_free(file);
    if (!saved) {
        fprintf(stderr, "ERROR: Could not write 3D Studio file %s\n", argv[1]);
        return 1;
    }
    printf("Wrote %s\n", argv[1]);
    return 0;
}
