#pragma once
#include "tools/models/Direction.h"
#include "tools/models/ModelFile.h"

// The show's five ray-traced scenes. Each builder fills a file whose animation
// counts `beats.framesPerBeat` frames per beat from the moment the scene comes on.
namespace models {

void buildIntro(ModelFile& file, const Beats& beats);   // beats 0-48: the reveal
void buildSpheres(ModelFile& file, const Beats& beats); // beats 48-112: the kinetic sculpture
void buildLattice(ModelFile& file, const Beats& beats); // beats 112-176: the flight through the truss
void buildCity(ModelFile& file, const Beats& beats);    // beats 176-240: the city of mirrors
void buildInfo(ModelFile& file, const Beats& beats);    // beats 304-368: the name, and goodbye

struct SceneModel {
    const char* file; // under models/
    const char* name; // keyframer name
    int beatsOnScreen;
    int framesPerBeat;
    void (*build)(ModelFile&, const Beats&);
};

// In show order.
extern const SceneModel kSceneModels[5];

} // namespace models
