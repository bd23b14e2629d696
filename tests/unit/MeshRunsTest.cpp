#include "core/MeshRuns.h"
#include "core/PrimitiveLayout.h"
#include "core/PrimitiveRecords.h"

#include <gtest/gtest.h>

#include <cmath>

#include <vector>

namespace {

struct MeshList {
    std::vector<float> texels = std::vector<float>(size_t(primitive::kTexels) * 4, 0.0f);
    std::vector<std::vector<float>> boxes; // min then max, as written
    void add(std::vector<float> lo, std::vector<float> hi) {
        const int m = int(boxes.size());
        primitive::writeMesh(texels.data(), m, lo.data(), hi.data(), m, m + 1);
        lo.insert(lo.end(), hi.begin(), hi.end());
        boxes.push_back(lo);
    }
    int count() const { return int(boxes.size()); }
};

// Runs follow one another from the first mesh to the last, and each run's box
// holds the box of every mesh in it that has one: a ray that enters a mesh box
// therefore enters its run's box, so no hit is ever skipped.
void expectCoversInOrder(const MeshList& list, const std::vector<MeshRun>& runs) {
    ASSERT_FALSE(runs.empty());
    ASSERT_LE(int(runs.size()), kMaxMeshRuns);
    EXPECT_EQ(runs.front().first, 0);
    EXPECT_EQ(runs.back().end, list.count());
    for (size_t r = 0; r < runs.size(); ++r) {
        EXPECT_LT(runs[r].first, runs[r].end);
        if (r > 0) {
            EXPECT_EQ(runs[r].first, runs[r - 1].end);
        }
        for (int m = runs[r].first; m < runs[r].end; ++m) {
            const std::vector<float>& b = list.boxes[m];
            if (b[0] > b[3] || b[1] > b[4] || b[2] > b[5] || std::isnan(b[0]))
                continue; // empty, or broken (see below)
            for (int a = 0; a < 3; ++a) {
                EXPECT_LE(runs[r].min[a], b[a]) << "mesh " << m;
                EXPECT_GE(runs[r].max[a], b[3 + a]) << "mesh " << m;
            }
        }
    }
}

int runOf(const std::vector<MeshRun>& runs, int mesh) {
    for (size_t r = 0; r < runs.size(); ++r)
        if (mesh >= runs[r].first && mesh < runs[r].end)
            return int(r);
    return -1;
}

TEST(MeshRuns, SeparateGroupsOfMeshesGetTheirOwnRuns) {
    MeshList city;
    city.add({-100, -100, 0}, {100, 100, 0.1f}); // a ground under everything
    for (int i = 0; i < 6; ++i)
        city.add({-90.0f + 2 * i, 0, 0}, {-89.0f + 2 * i, 20, 40});
    city.add({1, 1, 1}, {-1, -1, -1}); // an empty mesh between the two groups
    for (int i = 0; i < 6; ++i)
        city.add({80.0f + 2 * i, 0, 0}, {81.0f + 2 * i, 20, 40});
    const std::vector<MeshRun> runs = meshRuns(city.texels.data(), city.count());
    expectCoversInOrder(city, runs);
    // The ground, which every ray enters, is not lumped with either group, and the
    // two groups far apart never share a run.
    EXPECT_NE(runOf(runs, 0), runOf(runs, 1));
    for (int a = 1; a <= 6; ++a)
        for (int b = 8; b <= 13; ++b)
            EXPECT_NE(runOf(runs, a), runOf(runs, b)) << a << " " << b;

    const MeshRunUniforms u = meshRunUniforms(runs);
    ASSERT_EQ(u.count, int(runs.size()));
    for (int r = 0; r < u.count; ++r) {
        EXPECT_EQ(u.min[4 * r + 3], float(runs[r].first));
        EXPECT_EQ(u.max[4 * r + 3], float(runs[r].end));
        EXPECT_EQ(u.max[4 * r + 0], runs[r].max[0]);
    }
}

TEST(MeshRuns, LongListsAndEmptyListsStayWithinTheShadersArrays) {
    EXPECT_TRUE(meshRuns(MeshList().texels.data(), 0).empty());
    EXPECT_EQ(meshRunUniforms({}).count, 0);

    MeshList row; // more meshes than the exact cut takes
    for (int i = 0; i < 300; ++i)
        row.add({float(i), 0, 0}, {i + 0.5f, 1, 1});
    expectCoversInOrder(row, meshRuns(row.texels.data(), row.count()));

    MeshList broken; // a box with a NaN corner: its run is never skipped
    for (int i = 0; i < 6; ++i)
        broken.add({float(10 * i), 0, 0}, {10.0f * i + 1, 1, 1});
    broken.add({std::nanf(""), 0, 0}, {1, 1, 1});
    const std::vector<MeshRun> withNan = meshRuns(broken.texels.data(), broken.count());
    expectCoversInOrder(broken, withNan);
    const MeshRun& nanRun = withNan[runOf(withNan, 6)];
    for (int a = 0; a < 3; ++a) {
        EXPECT_TRUE(std::isinf(nanRun.min[a]) && nanRun.min[a] < 0);
        EXPECT_TRUE(std::isinf(nanRun.max[a]) && nanRun.max[a] > 0);
    }

    MeshList empties; // every box empty: the runs still cover the list
    for (int i = 0; i < 5; ++i)
        empties.add({1, 1, 1}, {0, 0, 0});
    const std::vector<MeshRun> runs = meshRuns(empties.texels.data(), empties.count());
    expectCoversInOrder(empties, runs);
    EXPECT_GT(runs[0].min[0], runs[0].max[0]) << "an empty run's box must stay empty";
}

} // namespace
