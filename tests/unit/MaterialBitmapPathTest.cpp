#include "scenes/raytracer/MaterialBitmapPath.h"
#include "scene/RunContext.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

namespace {

// In a scratch data directory: the show's textures/ and an exported model's folder.
TEST(MaterialBitmapPath, TexturesFirstThenBesideTheModelEachAsGivenThenRegardlessOfCase) {
    std::string dir = makeScratchDir("material_bitmap_path");
    char previous[PATH_MAX];
    ASSERT_TRUE(getcwd(previous, sizeof previous));
    ASSERT_EQ(chdir(dir.c_str()), 0);
    runCommand("mkdir -p textures Export/Car");
    for (const char* file : {"textures/wood.bmp", "textures/BOTH.JPG", "Export/Car/both.jpg",
                             "Export/Car/cwall02.jpg", "Export/Car/Tyre.Png", "Export/Car/TYRE.PNG"})
        ASSERT_TRUE(writeFile(file, "x")) << file;
    const std::string model = "Export/Car/CAR.3DS";
    RunContext run;

    EXPECT_EQ(materialBitmapPath(run, "wood.bmp", model), "textures/wood.bmp");
    EXPECT_EQ(materialBitmapPath(run, "WOOD.BMP", model), "textures/wood.bmp");
    EXPECT_EQ(materialBitmapPath(run, "both.jpg", model), "textures/BOTH.JPG") << "textures/ comes first";
    EXPECT_EQ(materialBitmapPath(run, "CWALL02.JPG", model), "Export/Car/cwall02.jpg");
    EXPECT_EQ(materialBitmapPath(run, "TYRE.PNG", model), "Export/Car/TYRE.PNG") << "the name as given first";
    EXPECT_EQ(materialBitmapPath(run, "CWALL02.JPG", "Export\\Car\\CAR.3DS"), "Export/Car/cwall02.jpg");
    EXPECT_EQ(materialBitmapPath(run, "MISSING.PNG", model), "textures/MISSING.PNG") << "for the error line";
    // A folder of that name is no bitmap.
    EXPECT_EQ(materialBitmapPath(run, "Car", "Export/x.3ds"), "textures/Car");

    // Live editing watches both places tried, so a bitmap that appears under
    // textures\ later takes over from the one beside the model.
    std::vector<std::string> noted;
    run.openedFiles = &noted;
    materialBitmapPath(run, "CWALL02.JPG", model);
    EXPECT_EQ(noted, (std::vector<std::string>{"textures/CWALL02.JPG", "Export/Car/cwall02.jpg"}));
    ASSERT_EQ(chdir(previous), 0);
}

} // namespace
