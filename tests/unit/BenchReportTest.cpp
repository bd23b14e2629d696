#include "shell/BenchReport.h"
#include "shell/BenchFrames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A ray-traced scene that ran every pass but the blur, and an effect that marks none.
std::vector<SceneTimes> twoScenes() {
    SceneTimes traced;
    traced.scene = 4;
    traced.className = "SceneRaytracerPolygons";
    traced.traced = {"models\\ull1.3ds", 7200, 27, 4, 800};
    traced.frameMs = {40, 20, 30};
    traced.gpuMs = {{"other", {1}}, {"flatten", {2}}, {"ray", {25}}, {"final", {3}}};
    traced.flattenMs = {0.5};
    traced.uploadBytes = {1024};
    SceneTimes effect;
    effect.scene = 2;
    effect.className = "SceneGLSLTunnel";
    effect.frameMs = {5};
    effect.gpuMs = {{"other", {4}}};
    return {traced, effect};
}

std::string printed(void (*print)(FILE*, const std::vector<SceneTimes>&)) {
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    print(out, twoScenes());
    fclose(out);
    std::string result(text, size);
    free(text);
    return result;
}

TEST(BenchReport, JsonRecordsNameTheContentAndEveryPass) {
    std::string json = printed([](FILE* out, const std::vector<SceneTimes>& scenes) {
        printBenchJson(out, StartupTimes{0.25, 0.5, 1, 2, 4}, scenes, 320, 240, 10);
    });
    EXPECT_EQ(json,
              "{\n  \"size\": [320, 240],\n  \"fps\": 10,\n"
              "  \"startupSeconds\": {\"music\": 0.250000, \"shaders\": 0.500000, \"models\": 1.000000, "
              "\"textures\": 2.000000, \"other\": 4.000000},\n  \"scenes\": [\n"
              "    {\"scene\": 4, \"class\": \"SceneRaytracerPolygons\", \"frames\": 3, \"medianMs\": "
              "30.0000, \"p95Ms\": 40.0000, \"model\": \"models\\\\ull1.3ds\", \"triangles\": 7200, "
              "\"volumes\": 27, \"reflections\": 4, \"renderSize\": [800, 800], \"gpuMedianMs\": "
              "{\"other\": 1.0000, \"flatten\": 2.0000, \"ray\": 25.0000, \"blur\": 0.0000, \"final\": "
              "3.0000}, \"animationFrames\": 1, \"flattenMs\": 0.5000, \"uploadBytes\": 1024},\n"
              "    {\"scene\": 2, \"class\": \"SceneGLSLTunnel\", \"frames\": 1, \"medianMs\": 5.0000, "
              "\"p95Ms\": 5.0000, \"model\": null, \"triangles\": null, \"volumes\": null, "
              "\"reflections\": null, \"renderSize\": [320, 240], \"gpuMedianMs\": {\"other\": 4.0000, "
              "\"flatten\": 0.0000, \"ray\": 0.0000, \"blur\": 0.0000, \"final\": 0.0000}, "
              "\"animationFrames\": 0, \"flattenMs\": 0.0000, \"uploadBytes\": 0}\n  ]\n}\n");
}

TEST(BenchReport, TableNamesTheContentAndTheOtherTimeAsJsonDoes) {
    std::string table = printed([](FILE* out, const std::vector<SceneTimes>& scenes) {
        printBenchTable(out, StartupTimes{}, scenes, 320, 240);
    });
    EXPECT_NE(table.find("GPU ms (median): other flatten ray blur final"), std::string::npos) << table;
    EXPECT_NE(table.find("|     1.00     2.00    25.00     0.00     3.00     |"), std::string::npos) << table;
    EXPECT_NE(
        table.find(
            "4     SceneRaytracerPolygons   models\\ull1.3ds           7200      27           4   800x800"),
        std::string::npos)
        << table;
    EXPECT_NE(
        table.find(
            "2     SceneGLSLTunnel          -                            -       -           -   320x240"),
        std::string::npos)
        << table;
}

TEST(BenchFrames, FromHalfASecondInOrSpreadOverTheWholeScene) {
    // 60 fps, a scene on screen for frames 600 to 1199.
    std::vector<int64_t> start = benchFrames(600, 1200, 60, 30, false);
    ASSERT_EQ(start.size(), 30u);
    EXPECT_EQ(start.front(), 630);
    EXPECT_EQ(start.back(), 659);

    std::vector<int64_t> spread = benchFrames(600, 1200, 60, 30, true);
    ASSERT_EQ(spread.size(), 30u);
    EXPECT_EQ(spread.front(), 600);
    EXPECT_EQ(spread.back(), 1199); // the scene's last frame, not the next scene's first
    for (size_t i = 1; i < spread.size(); ++i) {
        EXPECT_GT(spread[i], spread[i - 1]);
        EXPECT_NEAR(spread[i] - spread[i - 1], 599.0 / 29, 1);
    }

    // A scene shorter than the frames asked for: each of its frames once, none of the next scene's.
    EXPECT_EQ(benchFrames(10, 14, 60, 30, true), (std::vector<int64_t>{10, 11, 12, 13}));
    EXPECT_EQ(benchFrames(10, 50, 60, 30, false),
              (std::vector<int64_t>{40, 41, 42, 43, 44, 45, 46, 47, 48, 49}));
    EXPECT_TRUE(benchFrames(10, 10, 60, 30, true).empty());
}

} // namespace
