#include "scene/RunContext.h"
#include "scene/Scene.h"
#include "support/BitmapFiles.h"
#include "support/GlTest.h"
#include "support/TestPaths.h"

#include <string>

namespace {

class TextureLoaderTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        dir = makeScratchDir("textures");
    }
    std::string bitmap(const char* name, int width, int height) {
        std::string path = dir + "/" + name;
        EXPECT_TRUE(writeFile(path, patternBitmap(width, height)));
        return path;
    }
    GLint bound() {
        GLint name = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        return name;
    }
    GLint level0(GLenum what) {
        GLint value = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
        return value;
    }
    // The pattern as GL hands it back: RGB, rows unpadded, bottom first.
    static std::string patternRgb(int width, int height) {
        std::string rgb;
        for (int r = 0; r < height; ++r)
            for (int x = 0; x < width; ++x) {
                std::string bgr = patternPixel(x, r);
                rgb += {bgr[2], bgr[1], bgr[0]};
            }
        return rgb;
    }
    std::string boundTextureRgb(int width, int height) {
        std::vector<unsigned char> p = readTextureRgb(width, height);
        return std::string(p.begin(), p.end());
    }

    RunContext run;
    Scene scene{run};
    std::string dir;
};

TEST_F(TextureLoaderTest, PaddedRowsUploadExactlyOnTheActiveUnit) {
    // Width 5: each file row carries one byte of padding.
    std::string path = bitmap("five.bmp", 5, 3);
    glActiveTexture(GL_TEXTURE3);
    GLuint texture = 0;
    ASSERT_TRUE(scene.loadTexture(path.c_str(), &texture));
    EXPECT_EQ(bound(), static_cast<GLint>(texture));
    EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 5);
    EXPECT_EQ(level0(GL_TEXTURE_HEIGHT), 3);
    // Requested as 3 components; drivers report it as asked or as an RGB format.
    GLint format = level0(GL_TEXTURE_INTERNAL_FORMAT);
    EXPECT_TRUE(format == 3 || format == GL_RGB || format == GL_RGB8) << format;
    GLint minFilter = 0, magFilter = 0, alignment = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(minFilter, GL_LINEAR);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(alignment, 4);
    EXPECT_EQ(boundTextureRgb(5, 3), patternRgb(5, 3));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoaderTest, NonSquareSizesAreKeptAndTwoLoadsAreIndependentCopies) {
    std::string path = bitmap("tall.bmp", 3, 7);
    GLuint first = 0, second = 0;
    ASSERT_TRUE(scene.loadTexture(path.c_str(), &first));
    ASSERT_TRUE(scene.loadTexture(path.c_str(), &second));
    EXPECT_NE(first, second);
    for (GLuint texture : {first, second}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 3);
        EXPECT_EQ(level0(GL_TEXTURE_HEIGHT), 7);
        EXPECT_EQ(boundTextureRgb(3, 7), patternRgb(3, 7));
    }
}

TEST_F(TextureLoaderTest, FailedLoadsGiveAFreshNameAndLeaveTheBindingAlone) {
    glActiveTexture(GL_TEXTURE2);
    GLuint earlier = 0;
    ASSERT_TRUE(scene.loadTexture(bitmap("ok.bmp", 2, 2).c_str(), &earlier));
    std::string broken = dir + "/broken.bmp";
    ASSERT_TRUE(writeFile(broken, patternBitmap(4, 4).substr(0, 60)));

    for (std::string path : {dir + "/missing.bmp", broken, dir}) {
        GLuint texture = earlier;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(scene.loadTexture(path.c_str(), &texture)) << path;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: Could not load bitmap " + path + "\n");
        EXPECT_NE(texture, earlier) << path;
        EXPECT_NE(texture, 0u) << path;
        EXPECT_EQ(bound(), static_cast<GLint>(earlier)) << path;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoaderTest, DataNamesWithBackslashesAreMapped) {
    bitmap("named.bmp", 2, 1);
    GLuint texture = 0;
    EXPECT_TRUE(scene.loadTexture((dir + "\\named.bmp").c_str(), &texture));
    EXPECT_EQ(boundTextureRgb(2, 1), patternRgb(2, 1));
}

} // namespace
