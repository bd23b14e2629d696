#pragma once
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"

#include <memory>
#include <string>
#include <vector>

class Studio3dsFixture;

// A fixture saved to a scratch file, opened through the adapter, evaluated and
// written into a buffer that starts with the reset content, as a scene holds it.
struct FlattenedScene {
    std::string path;
    std::unique_ptr<Studio3dsFile> file;
    std::vector<float> texels;
    PrimitiveWriter writer;
    FlattenReport report;

    // false (with a test failure) when the file cannot be saved or opened.
    bool open(Studio3dsFixture& fixture, const std::string& name);
    // Evaluates the opened file at `frame` and writes it.
    const FlattenReport& flatten(float frame = 0, float dofStrength = 1.0f);
    bool build(Studio3dsFixture& fixture, const std::string& name, float frame = 0) {
        if (!open(fixture, name))
            return false;
        flatten(frame);
        return true;
    }

    const float* texel(int index) const { return &texels[size_t(index) * 4]; }
    // Whether a texel lies in one of the reported ranges.
    bool written(int index) const;
};
