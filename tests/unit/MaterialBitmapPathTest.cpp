#include "scenes/raytracer/MaterialBitmapPath.h"
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

    EXPECT_EQ(materialBitmapPath("wood.bmp", model), "textures/wood.bmp");
    EXPECT_EQ(materialBitmapPath("WOOD.BMP", model), "textures/wood.bmp");
    EXPECT_EQ(materialBitmapPath("both.jpg", model), "textures/BOTH.JPG") << "textures/ comes first";
    EXPECT_EQ(materialBitmapPath("CWALL02.JPG", model), "Export/Car/cwall02.jpg");
    EXPECT_EQ(materialBitmapPath("TYRE.PNG", model), "Export/Car/TYRE.PNG") << "the name as given first";
    EXPECT_EQ(materialBitmapPath("CWALL02.JPG", "Export\\Car\\CAR.3DS"), "Export/Car/cwall02.jpg");
    EXPECT_EQ(materialBitmapPath("MISSING.PNG", model), "textures/MISSING.PNG") << "for the error line";
    // A folder of that name is no bitmap.
    EXPECT_EQ(materialBitmapPath("Car", "Export/x.3ds"), "textures/Car");
    ASSERT_EQ(chdir(previous), 0);
}

} // namespace
