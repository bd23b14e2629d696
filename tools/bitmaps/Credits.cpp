#include "tools/bitmaps/Credits.h"

#include "tools/bitmaps/Materials.h"

namespace bitmaps {

namespace {

const Rgb kGold = {1.0f, 0.80f, 0.42f};
const Rgb kPale = {0.93f, 0.95f, 1.0f};
const Rgb kGrey = {0.62f, 0.66f, 0.74f};

// What the show is made with, three lines of names.
const char* const kTools[] = {
    "freeglut  ·  GLEW  ·  Mesa  ·  lib3ds",
    "libmpg123  ·  OpenAL Soft  ·  stb  ·  GoogleTest",
    "lame  ·  ffmpeg  ·  Debian",
};

void rule(Image& image, int y, int from, int to, Rgb colour) {
    for (int x = from; x < to; ++x) {
        // Fades out towards both ends.
        float t = (float)(x - from) / (to - from);
        float fade = 1 - (2 * t - 1) * (2 * t - 1);
        image.blend(x, y, colour, fade);
    }
}

} // namespace

Image credits(const Fonts& fonts) {
    Image image(kCreditsWidth, kCreditsHeight);
    const float centre = kCreditsWidth / 2.0f;
    fonts.bold.drawCentred(image, "HORNLIGHT", centre, 138, 150, kGold);
    fonts.regular.drawCentred(image, "a real-time demo for Linux", centre, 192, 32, kGrey);
    rule(image, 222, 262, 762, kGold);
    fonts.regular.drawCentred(image, "made with", centre, 268, 28, kGrey);
    float baseline = 322;
    for (const char* line : kTools) {
        fonts.bold.drawCentred(image, line, centre, baseline, 38, kPale);
        baseline += 48;
    }
    fonts.bold.drawCentred(image, "2026", centre, 486, 46, kGold);
    return image;
}

Image codeListing(const Fonts& fonts) {
    static const char* const kLines[] = {
        "float beat(float seconds) {",
        "  return seconds * 130.0 / 60.0",
        "         + 0.11;",
        "}",
        "",
        "void display() {",
        "  ++frameCount;",
        "  glClear(COLOR | DEPTH);",
        "  float t = musicTime();",
        "  int next = timeline.lookup(",
        "      beat(t), startBeat);",
        "  if (next != currentScene)",
        "    changeScene(next);",
        "  scenes.render(current, t);",
        "  glutSwapBuffers();",
        "}",
    };
    Image image(kTextureSide, kTextureSide, {0.01f, 0.03f, 0.02f});
    float baseline = 16;
    for (const char* line : kLines) {
        fonts.mono.draw(image, line, 6, baseline, 14, {0.35f, 1.0f, 0.55f});
        baseline += 15;
    }
    return image;
}

} // namespace bitmaps
