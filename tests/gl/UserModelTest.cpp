// Models as a modelling program exports them, previewed as --scene shows them: no
// light, or only lights the tracer skips; bitmaps in JPEG, PNG and TGA beside the
// model, named in capitals; a bitmap that is not there.
#include "scene/HeadlessContext.h"
#include "scene/Scene.h"
#include "shell/LineUp.h"
#include "shell/RenderSettings.h"
#include "shell/ShellState.h"
#include "support/ImageFiles.h"
#include "support/ScratchDataDir.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 64;

struct Rgb {
    int r, g, b;
};

class UserModel : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(context.create(kSize, kSize));
        runContext.screenWidth = runContext.screenHeight = kSize;
        setRenderWidthOverride(kSize);
        data = std::make_unique<ScratchDataDir>(
            std::string("user_model_") + ::testing::UnitTest::GetInstance()->current_test_info()->name(),
            false);
        runCommand("mkdir -p textures user/Export");
    }
    void TearDown() override { setRenderWidthOverride(0); }

    // The preview's frame at the start of the scene, and what init and it printed
    // on standard error and, where `notes` is given, on standard output.
    std::vector<unsigned char> preview(const char* file, std::string* errors, const char* picture,
                                       std::string* notes = nullptr) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        std::unique_ptr<Scene> scene(newPolygonScene(file));
        scene->activate();
        scene->render(0, 0);
        scene->render(0, 0.5f); // another frame: nothing said twice
        *errors = testing::internal::GetCapturedStderr();
        std::string out = testing::internal::GetCapturedStdout();
        if (notes)
            *notes = out;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        std::vector<unsigned char> rgba(kSize * kSize * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        data->savePicture(picture, rgba, kSize, kSize);
        return rgba;
    }
    static Rgb at(const std::vector<unsigned char>& rgba, int column, int row) {
        const unsigned char* p = &rgba[(size_t(row) * kSize + column) * 4];
        return {p[0], p[1], p[2]};
    }
    // Share of the picture brighter than ambient light could make it.
    static double litShare(const std::vector<unsigned char>& rgba) {
        int lit = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            lit += std::max({rgba[i], rgba[i + 1], rgba[i + 2]}) > 80;
        return double(lit) / (kSize * kSize);
    }
    static int count(const std::string& text, const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }

    HeadlessContext context;
    std::unique_ptr<ScratchDataDir> data;
};

const char* const kHeadLight = "no light is on";

// A grey cube standing on the xy plane; what lights it depends on the variant.
TEST_F(UserModel, ModelWithoutALightThatIsOnIsLitFromTheCamera) {
    enum Variant { kNothing, kSpotOnly, kOmniOff, kOmniOn };
    for (int variant : {kNothing, kSpotOnly, kOmniOff, kOmniOn}) {
        Studio3dsFixture f;
        f.material("grey", "", -1.0f, {0.6f, 0.6f, 0.6f});
        f.box("cube", {-1, -1, 0}, {1, 1, 2}, "grey");
        f.meshNode("cube");
        if (variant != kNothing) // the file without a camera gets a view of the whole model
            f.camera("cam", {2.5f, -5, 4}, {0, 0, 1}, 45);
        if (variant == kSpotOnly)
            f.spotLight("spot", {2.5f, -5, 5}, {0, 0, 0});
        if (variant == kOmniOff || variant == kOmniOn)
            f.omniLight("omni", {2.5f, -5, 5}, {1, 1, 1}, 1.0f, variant == kOmniOff);
        std::string file = "user/cube" + std::to_string(variant) + ".3ds";
        ASSERT_TRUE(f.save(file));
        std::string errors, notes;
        auto picture = preview(file.c_str(), &errors, ("cube" + std::to_string(variant)).c_str(), &notes);
        // A note, not an error: the model is shown all the same.
        EXPECT_EQ(count(notes, kHeadLight), variant == kOmniOn ? 0 : 1) << variant << ": " << notes;
        EXPECT_EQ(count(errors, "ERROR: "), 0) << variant << ": " << errors;
        // About a third of the frame is cube, most of it facing the camera; ambient
        // light alone would leave all of it near black.
        EXPECT_GT(litShare(picture), 0.12) << variant;
        Rgb centre = at(picture, kSize / 2, kSize / 2);
        EXPECT_GT(centre.r, 100) << variant;
        EXPECT_NEAR(centre.r, centre.b, 2) << variant;
    }
}

// Four squares side by side facing the camera: PNG, TGA and JPEG bitmaps of two
// colours (top half, bottom half) beside the model, and one bitmap missing.
TEST_F(UserModel, ExportedBitmapsBesideTheModelAreShownAndAMissingOneKeepsItsColour) {
    const std::string red("\xff\0\0", 3), green("\0\xff\0", 3), blue("\0\0\xff", 3);
    auto twoTone = [](const std::string& top, const std::string& bottom) {
        std::string rgb;
        for (int row = 0; row < 8; ++row)
            for (int x = 0; x < 8; ++x)
                rgb += row < 4 ? top : bottom;
        return rgb;
    };
    ASSERT_TRUE(writeFile("user/Export/red.png", imageFile("png", 8, 8, twoTone(red, green))));
    ASSERT_TRUE(writeFile("user/Export/Blue.tga", imageFile("tga", 8, 8, twoTone(blue, red))));
    ASSERT_TRUE(writeFile("user/Export/green.jpg", imageFile("jpg", 8, 8, twoTone(green, blue))));
    Studio3dsFixture f;
    f.material("a", "RED.PNG");
    f.material("b", "BLUE.TGA");
    f.material("c", "GREEN.JPG");
    f.material("d", "MISSING.PNG", -1.0f, {0.9f, 0.8f, 0.1f});
    const float centres[] = {-3, -1, 1, 3};
    for (int i = 0; i < 4; ++i) {
        std::string name = std::string("square") + char('a' + i);
        float x = centres[i];
        f.mesh(name, {{x - 0.8f, 0, -0.8f}, {x + 0.8f, 0, -0.8f}, {x + 0.8f, 0, 0.8f}, {x - 0.8f, 0, 0.8f}},
               {{0, 1, 2}, {0, 2, 3}}, std::string(1, char('a' + i)), {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
        f.meshNode(name);
    }
    f.camera("cam", {0, -10, 0}, {0, 0, 0}, 45);
    ASSERT_TRUE(f.save("user/Export/SQUARES.3DS"));

    std::string errors, notes;
    auto picture = preview("user/Export/SQUARES.3DS", &errors, "squares", &notes);
    EXPECT_EQ(count(errors, "ERROR: Could not load bitmap"), 1) << errors;
    EXPECT_EQ(count(errors, "MISSING.PNG"), 1) << errors;
    EXPECT_EQ(count(notes, kHeadLight), 1) << notes;

    auto column = [](float x) { return int((x / (10 * std::tan(22.5 * M_PI / 180)) + 1) / 2 * kSize); };
    const int upper = 36, lower = 28; // z = +0.5 and -0.5; glReadPixels gives the bottom row first
    auto dominant = [](Rgb c) { return c.r > 150 ? 'r' : c.g > 150 ? 'g' : c.b > 150 ? 'b' : '-'; };
    auto pure = [&](Rgb c) { return std::min({c.r, c.g, c.b}) < 60 && std::max({c.r, c.g, c.b}) > 150; };
    const char expected[3][2] = {{'r', 'g'}, {'b', 'r'}, {'g', 'b'}};
    for (int i = 0; i < 3; ++i) {
        Rgb top = at(picture, column(centres[i]), upper), bottom = at(picture, column(centres[i]), lower);
        EXPECT_TRUE(pure(top) && dominant(top) == expected[i][0])
            << "square " << i << " top " << top.r << "," << top.g << "," << top.b;
        EXPECT_TRUE(pure(bottom) && dominant(bottom) == expected[i][1])
            << "square " << i << " bottom " << bottom.r << "," << bottom.g << "," << bottom.b;
    }
    // The missing bitmap's material in its own yellow, lit: not black.
    Rgb missing = at(picture, column(3), kSize / 2);
    EXPECT_GT(missing.r, 150);
    EXPECT_GT(missing.g, 130);
    EXPECT_LT(missing.b, 60);
}

} // namespace
