#include "Regressions.h"
#include "support/AudioFixtures.h"
#include "support/BitmapFiles.h"
#include "support/ImageFiles.h"
#include "support/Studio3dsFixtures.h"
#include "support/TestPaths.h"

#include <cstdio>
#include <string>
#include <vector>

// Writes the seed corpus of every fuzz target from our own fixture writers, and the
// kept regression cases, under OUT/seeds/TARGET and OUT/regressions/TARGET.
namespace {

std::string outDir;
int written = 0;

bool put(const char* kind, const char* target, const std::string& name, const std::string& bytes) {
    std::string dir = outDir + "/" + kind + "/" + target;
    runCommand("mkdir -p '" + dir + "'");
    if (!writeFile(dir + "/" + name, bytes)) {
        fprintf(stderr, "ERROR: Could not write %s/%s\n", dir.c_str(), name.c_str());
        return false;
    }
    ++written;
    return true;
}

std::string readFile(const std::string& path) {
    std::string bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.append(buffer, n);
        fclose(f);
    }
    return bytes;
}

// Rows of `bytesPerRow` bytes (each byte from `pixel`), padded to 4.
std::string rows(int height, int bytesPerRow, int seed) {
    std::string out;
    for (int r = 0; r < height; ++r) {
        for (int i = 0; i < bytesPerRow; ++i)
            out += char(seed + 37 * r + 11 * i);
        while (out.size() % 4)
            out += '\0';
    }
    return out;
}

bool bitmaps() {
    BitmapFields topDown;
    topDown.width = 3, topDown.height = -2, topDown.pixels = bgrRows(3, 2, patternPixel);
    BitmapFields palette8;
    palette8.width = 5, palette8.height = 2, palette8.bitCount = 8, palette8.colorsUsed = 3;
    palette8.extra = le32(0x0000FF) + le32(0x00FF00) + le32(0xFF0000);
    palette8.pixels = std::string("\0\1\2\1\0\0\0\0\2\2\1\1\0\0\0\0", 16);
    BitmapFields palette1 = palette8;
    palette1.bitCount = 1, palette1.colorsUsed = 2, palette1.width = 9;
    palette1.extra = le32(0) + le32(0xFFFFFF);
    palette1.pixels = rows(2, 2, 0x5A);
    BitmapFields palette4 = palette8;
    palette4.bitCount = 4, palette4.pixels = rows(2, 3, 0x12);
    BitmapFields packed16;
    packed16.width = 3, packed16.height = 2, packed16.bitCount = 16, packed16.compression = 3;
    packed16.extra = le32(0xF800) + le32(0x07E0) + le32(0x001F);
    packed16.pixels = rows(2, 6, 7);
    BitmapFields packed32;
    packed32.width = 2, packed32.height = 2, packed32.bitCount = 32, packed32.pixels = rows(2, 8, 3);
    std::string pattern; // red, green, blue bytes for the formats exporters write
    for (int i = 0; i < 8 * 8 * 3; ++i)
        pattern += char(i * 37);
    return put("seeds", "bitmap", "pattern-5x3.bmp", patternBitmap(5, 3)) &&
           put("seeds", "bitmap", "top-down.bmp", bitmapFile(topDown)) &&
           put("seeds", "bitmap", "palette8.bmp", bitmapFile(palette8)) &&
           put("seeds", "bitmap", "palette1.bmp", bitmapFile(palette1)) &&
           put("seeds", "bitmap", "palette4.bmp", bitmapFile(palette4)) &&
           put("seeds", "bitmap", "bitfields16.bmp", bitmapFile(packed16)) &&
           put("seeds", "bitmap", "rgb32.bmp", bitmapFile(packed32)) &&
           put("seeds", "bitmap", "pattern-5x3.png", imageFile("png", 5, 3, pattern)) &&
           put("seeds", "bitmap", "pattern-5x3.tga", imageFile("tga", 5, 3, pattern)) &&
           put("seeds", "bitmap", "pattern-8x8.jpg", imageFile("jpg", 8, 8, pattern));
}

bool objs() {
    return put("seeds", "obj", "cube.obj",
               "# a unit square\no square\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\n"
               "vt 1 1\nvn 0 0 1\ng side\ns off\nusemtl m\nf 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/1/1\n") &&
           put("seeds", "obj", "odd.obj",
               "v 1.5e3 -2 .5\r\nvp 0.5\r\nf 1//1 2//1 3//1\r\nf 1/2/3 4/5/6 7/8/9 1/1/1\r\nvn 1 0") &&
           put("seeds", "obj", "empty.obj", "");
}

bool scenes() {
    std::string dir = outDir + "/scratch";
    runCommand("mkdir -p '" + dir + "'");
    {
        // Every kind the flattening knows, animated.
        Studio3dsFixture f;
        f.setFrames(20);
        f.material("m0", "", 40);
        f.material("m1", "wood.bmp");
        f.grid("floorNoS", 2, "m1");
        f.sphere("ballSphere", {0, 0, 1}, 1, "m0");
        f.box("crate PAABox22", {2, 2, 0}, {3, 3, 1}, "m0");
        f.triangles("strip", 3, "m1", {-4, 0, 0});
        int floor = f.meshNode("floorNoS");
        f.meshNode("ballSphere", {0, 0, 1});
        f.meshNode("crate PAABox22");
        int root = f.dummyNode("pivot", {1, 1, 1});
        f.meshNode("strip", {0, 0, 0}, root);
        f.positionKey(floor, 10, {0, 0, 2});
        f.rotationKey(root, 20, {0, 0, 1}, 1.5f);
        f.camera("cam", {0, -8, 4}, {0, 0, 0}, 45, 0.1f);
        f.omniLight("lamp", {0, 0, 6});
        f.omniLight("dark", {1, 0, 6}, {1, 0, 0}, 2, true);
        f.spotLight("spot", {0, 4, 6}, {0, 0, 0});
        if (!f.save(dir + "/scene.3ds"))
            return false;
    }
    {
        // Meshes only: the load makes the nodes.
        Studio3dsFixture f;
        f.material("plain");
        f.triangles("tri", 2, "plain");
        f.camera("c", {0, 0, 5}, {0, 0, 0}, 60, 0, false);
        if (!f.save(dir + "/meshes.3ds"))
            return false;
    }
    return put("seeds", "3ds", "scene.3ds", readFile(dir + "/scene.3ds")) &&
           put("seeds", "3ds", "meshes.3ds", readFile(dir + "/meshes.3ds"));
}

// Grouped models, for the walk over the whole node tree: meshes only inside groups,
// a chain of groups as deep as the length limit allows, parents that come after
// their children in the file, and groups that hold themselves (refused by the scan,
// so the fuzzer starts next to that edge).
bool groupedScenes() {
    std::string dir = outDir + "/scratch";
    auto save = [&](Studio3dsFixture& f, const std::string& name) {
        return f.save(dir + "/" + name) && put("seeds", "3ds", name, readFile(dir + "/" + name));
    };
    auto triangle = [](Studio3dsFixture& f, const std::string& name) {
        f.mesh(name, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}, "");
    };
    {
        Studio3dsFixture f;
        f.setFrames(10);
        triangle(f, "hub");
        triangle(f, "spoke");
        int wheel = f.dummyNode("wheel", {10, 0, 0});
        f.rotationKey(wheel, 10, {0, 0, 1}, 1.5f);
        f.meshNode("hub", {0, 0, 0}, wheel);
        int rim = f.dummyNode("rim", {0, 0, 1}, wheel);
        int spoke = f.meshNode("spoke", {0, 2, 0}, rim);
        f.positionKey(spoke, 10, {0, 4, 0});
        f.omniLight("lamp", {0, 0, 5});
        f.saveUnder(f.lastNodeId(), rim);
        f.camera("cam", {0, -20, 0}, {0, 0, 0}, 45);
        if (!save(f, "grouped.3ds"))
            return false;
    }
    {
        Studio3dsFixture f;
        triangle(f, "leaf");
        int parent = Studio3dsFixture::kNoParent;
        for (int depth = 0; depth < 24; ++depth)
            parent = f.dummyNode("g", {0, 0, 1}, parent);
        f.meshNode("leaf", {0, 0, 0}, parent);
        if (!save(f, "deep.3ds"))
            return false;
    }
    {
        // Made at the top level and saved under groups made after them.
        Studio3dsFixture f;
        triangle(f, "a");
        int inner = f.dummyNode("inner");
        int outer = f.dummyNode("outer", {1, 0, 0});
        f.meshNode("a", {0, 1, 0}, inner);
        f.saveUnder(inner, outer);
        if (!save(f, "forward.3ds"))
            return false;
        f.saveUnder(outer, inner);
        if (!save(f, "cycle.3ds"))
            return false;
        f.saveUnder(outer, outer);
        f.saveUnder(inner, Studio3dsFixture::kNoParent);
        if (!save(f, "self.3ds"))
            return false;
    }
    return true;
}

// A stereo tone, mono ones at two rates, and files joined so that the stream
// changes format midway.
bool music() {
    std::string dir = outDir + "/scratch";
    std::string wav = "'" + dir + "/tone.mp3.wav' '" + dir;
    if (!makeToneMp3(dir + "/tone.mp3", 2 * 1152) ||
        runCommand("lame --quiet -m m -b 32 " + wav + "/mono.mp3'") != 0 ||
        runCommand("lame --quiet -m m --resample 16 -b 24 " + wav + "/mono16k.mp3'") != 0)
        return false;
    std::string tone = readFile(dir + "/tone.mp3"), mono = readFile(dir + "/mono.mp3");
    std::string mono16k = readFile(dir + "/mono16k.mp3");
    return put("seeds", "mp3", "tone.mp3", tone) && put("seeds", "mp3", "mono.mp3", mono) &&
           put("seeds", "mp3", "mono16k.mp3", mono16k) && put("seeds", "mp3", "to-mono.mp3", tone + mono) &&
           put("seeds", "mp3", "to-16k.mp3", tone + mono16k);
}

bool commandLines() {
    // Arguments after the program name, one NUL between each.
    const std::vector<std::vector<std::string>> lists = {
        {"--windowed"},
        {"--inspect", "models/a.3ds", "--frame", "-12"},
        {"--frame", "x", "--help"},
        {"-display", ":0", "--bogus", "-h"},
        {"--inspect"},
        {"--capture", "out.mp4", "--fps", "30", "--size", "320x240", "--from", "1.5", "--to", "4"},
        {"--bench", "--json", "--render-width", "200", "-geometry", "10x10+0+0", "-sync"},
        {"--capture", "frames", "--to", "0", "extra"},
        {"--scene", "3", "--watch", "--windowed"},
        {"--scene=SceneGLSLTunnel:1", "--bench"},
    };
    for (size_t i = 0; i < lists.size(); ++i) {
        std::string joined;
        for (const std::string& arg : lists[i])
            joined += (joined.empty() ? "" : std::string(1, '\0')) + arg;
        if (!put("seeds", "command_line", "args" + std::to_string(i), joined))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUT-DIR\n", argv[0]);
        return 2;
    }
    outDir = argv[1];
    runCommand("rm -rf '" + outDir + "' && mkdir -p '" + outDir + "'");
    for (const char* target : {"bitmap", "obj", "3ds", "mp3", "command_line"})
        runCommand("mkdir -p '" + outDir + "/regressions/" + target + "'");
    for (const Regression& r : regressions())
        if (!put("regressions", r.target, r.name, std::string(r.bytes.begin(), r.bytes.end())))
            return 1;
    if (!bitmaps() || !objs() || !scenes() || !groupedScenes() || !music() || !commandLines()) {
        fprintf(stderr, "ERROR: Could not write the seed corpus\n");
        return 1;
    }
    printf("wrote %d seed and regression files to %s\n", written, outDir.c_str());
    return 0;
}
