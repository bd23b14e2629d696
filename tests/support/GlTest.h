#pragma once
#include "scene/HeadlessContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// One small headless context per test: creating it on llvmpipe is cheap, and a
// fresh context keeps GL state from leaking between tests.
class GlTest : public ::testing::Test {
  protected:
    static const int kSize = 16;
    void SetUp() override;

    HeadlessContext context;
};

// The RGBA pixels of the read framebuffer, bottom row first.
std::vector<unsigned char> readFrame(int width, int height);
// One pixel of a frame from readFrame.
std::vector<int> pixelAt(const std::vector<unsigned char>& frame, int width, int x, int y);
// The whole image of level 0 of the texture bound to GL_TEXTURE_2D, as RGB rows
// packed without padding, bottom row first.
std::vector<unsigned char> readTextureRgb(int width, int height);
