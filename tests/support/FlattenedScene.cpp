#include "support/FlattenedScene.h"

#include "core/PrimitiveLayout.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

bool FlattenedScene::open(Studio3dsFixture& fixture, const std::string& name) {
    path = makeScratchDir(name) + "/" + name + ".3ds";
    if (!fixture.save(path)) {
        ADD_FAILURE() << "could not save " << path;
        return false;
    }
    file = Studio3dsFile::open(path.c_str());
    if (!file) {
        ADD_FAILURE() << "could not open " << path;
        return false;
    }
    texels.assign(size_t(primitive::kTexels) * primitive::kFloatsPerTexel, 0.0f);
    PrimitiveWriter::resetTexels(texels.data());
    writer.reset(path);
    return true;
}

const FlattenReport& FlattenedScene::flatten(float frame, float dofStrength) {
    file->eval(frame);
    report = writer.write(*file, dofStrength, texels.data());
    return report;
}

bool FlattenedScene::written(int index) const {
    for (const TexelRange& r : report.ranges)
        if (index >= r.first && index < r.first + r.count)
            return true;
    return false;
}
