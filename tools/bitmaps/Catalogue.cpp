#include "tools/bitmaps/Catalogue.h"

#include "tools/bitmaps/Credits.h"
#include "tools/bitmaps/Materials.h"

#include <cstdio>
#include <functional>

namespace bitmaps {

namespace {

struct Entry {
    const char* name;
    std::function<Image(const Fonts&)> make;
};

// Names are lower case; the data-name lookup also finds them for 3D Studio files
// that name their bitmaps in upper case.
const std::vector<Entry>& catalogue() {
    static const std::vector<Entry> entries = {
        {"credits.bmp", credits},
        {"marble.bmp", [](const Fonts&) { return marble(); }},
        {"checker.bmp", [](const Fonts&) { return checker(); }},
        {"brushed.bmp", [](const Fonts&) { return brushed(); }},
        {"grid.bmp", [](const Fonts&) { return grid(); }},
        {"wood.bmp", [](const Fonts&) { return wood(); }},
        {"brass.bmp", [](const Fonts&) { return brass(); }},
        {"lava.bmp", [](const Fonts&) { return lava(); }},
        {"stripes.bmp", [](const Fonts&) { return stripes(); }},
        {"dirt-texture.bmp", [](const Fonts&) { return dirt(); }},
        {"lava-texture-4.bmp", [](const Fonts&) { return lavaDark(); }},
        {"grain1.bmp", [](const Fonts&) { return grain(); }},
        {"code2.bmp", codeListing},
        {"testvox.bmp", [](const Fonts&) { return voxels(); }},
        {"tiles.bmp", [](const Fonts&) { return tiles(false); }},
        {"tiles2.bmp", [](const Fonts&) { return tiles(true); }},
    };
    return entries;
}

} // namespace

std::vector<std::string> bitmapNames() {
    std::vector<std::string> names;
    for (const Entry& entry : catalogue())
        names.push_back(entry.name);
    return names;
}

bool writeAllBitmaps(const std::string& textureDir, const std::string& fontDir) {
    Fonts fonts;
    if (!fonts.regular.load(fontDir + "/DejaVuSans.ttf") ||
        !fonts.bold.load(fontDir + "/DejaVuSans-Bold.ttf") ||
        !fonts.mono.load(fontDir + "/DejaVuSansMono.ttf"))
        return false;
    for (const Entry& entry : catalogue()) {
        if (!writeBmp(textureDir + "/" + entry.name, entry.make(fonts)))
            return false;
    }
    printf("Wrote %zu bitmaps to %s\n", catalogue().size(), textureDir.c_str());
    return true;
}

} // namespace bitmaps
