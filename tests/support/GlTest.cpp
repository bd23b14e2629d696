#include "support/GlTest.h"

void GlTest::SetUp() {
    ASSERT_TRUE(context.create(kSize, kSize));
    glViewport(0, 0, kSize, kSize);
}

std::vector<unsigned char> readFrame(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<int> pixelAt(const std::vector<unsigned char>& frame, int width, int x, int y) {
    size_t at = (static_cast<size_t>(y) * width + x) * 4;
    return {frame[at], frame[at + 1], frame[at + 2], frame[at + 3]};
}

std::vector<unsigned char> readTextureRgb(int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}
