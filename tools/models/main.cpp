// Writes the show's 3D Studio scenes and the model scene's file into a directory:
// models <directory>.
#include "core/ErrorReport.h"
#include "tools/models/Scenes.h"
#include "tools/models/Test5Model.h"

#include <lib3ds/file.h>

#include <cstdio>
#include <string>

namespace models {

const SceneModel kSceneModels[5] = {
    {"intro.3ds", "intro", 48, 0, 16, buildIntro},
    {"spheres.3ds", "spheres", 64, 0, 16, buildSpheres},
    {"ull1.3ds", "ull1", 64, 0, 16, buildLattice},
    {"test9.3ds", "test9", 64, 0, 8, buildCity},
    // The last scene runs until the track ends: spare beats so that a track a
    // little longer than its bars never wraps back to the scene's start.
    {"info.3ds", "info", 64, 8, 16, buildInfo},
};

} // namespace models

int main(int argc, char** argv) {
    if (argc != 2) {
        reportError("Expected one argument, the directory to write the scenes into\n");
        fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    for (const models::SceneModel& scene : models::kSceneModels) {
        models::Beats beats{scene.framesPerBeat};
        models::ModelFile file(scene.name, beats.framesFor(scene.beatsOnScreen + scene.holdBeats));
        if (!scene.build(file, beats))
            return 1;
        const std::string path = dir + "/" + scene.file;
        if (!file.save(path))
            return 1;
        printf("%s: %d triangles, %d frames\n", path.c_str(), file.triangles(), file.frames());
    }
    // The library's model scene, built with lib3ds directly (keys on every frame).
    const std::string path = dir + "/test5.3DS";
    Lib3dsFile* test5 = models::buildTest5Model();
    const bool saved = lib3ds_file_save(test5, path.c_str());
    lib3ds_file_free(test5);
    if (!saved) {
        reportError("Could not write 3D Studio file %s\n", path.c_str());
        return 1;
    }
    printf("%s: the model scene's file\n", path.c_str());
    return 0;
}
