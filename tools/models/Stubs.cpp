#include "tools/models/Scenes.h"
namespace models {
void buildLattice(ModelFile& f, const Beats& b) {
    buildIntro(f, b);
}
void buildCity(ModelFile& f, const Beats& b) {
    buildIntro(f, b);
}
void buildInfo(ModelFile& f, const Beats& b) {
    buildIntro(f, b);
}
} // namespace models
