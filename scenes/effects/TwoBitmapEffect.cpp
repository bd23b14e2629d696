#include "scenes/effects/TwoBitmapEffect.h"

TwoBitmapEffect::~TwoBitmapEffect() {
    destroyQuad();
}

void TwoBitmapEffect::init() {
    buildEffect(*this, &shader, &files, 1, textures, firstBitmap, secondBitmap);
}

void TwoBitmapEffect::activate() {
    shader.bind();
}
