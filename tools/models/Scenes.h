#pragma once
#include "tools/models/Direction.h"
#include "tools/models/ModelFile.h"

// The show's five ray-traced scenes. Each builder fills a file whose animation
// counts `beats.framesPerBeat` frames per beat from the moment the scene comes on.
namespace models {

bool buildIntro(ModelFile& file, const Beats& beats);   // beats 0-48: the reveal
bool buildSpheres(ModelFile& file, const Beats& beats); // beats 48-112: the kinetic sculpture
bool buildLattice(ModelFile& file, const Beats& beats); // beats 112-176: the flight through the truss
bool buildCity(ModelFile& file, const Beats& beats);    // beats 176-240: the city of mirrors
bool buildInfo(ModelFile& file, const Beats& beats);    // beats 304-368: the name, and goodbye

struct SceneModel {
    const char* file; // under models/
    const char* name; // keyframer name
    int beatsOnScreen;
    int holdBeats; // kept after the scene's time, holding its last look
    int framesPerBeat;
    bool (*build)(ModelFile&, const Beats&); // false when the scene cannot be built as designed
};

// In show order.
extern const SceneModel kSceneModels[5];

} // namespace models
