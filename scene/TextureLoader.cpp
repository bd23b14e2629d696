#include "core/ErrorReport.h"
#include "core/ImageDecoder.h"
#include "scene/RunContext.h"
#include "scene/Scene.h"

#include <cstdio>

bool Scene::loadTexture(const char* path, GLuint* texture) {
    LoadTimer timer(run.loadTimes.textures);
    glGenTextures(1, texture);
    std::string file = run.dataPath(path);
    DecodedBitmap bitmap;
    if (!loadImageFile(file.c_str(), &bitmap)) {
        // The name stays without an image (black when sampled); say so, since
        // nothing else would show why the scene lacks its picture.
        reportError("Could not load bitmap %s\n", file.c_str());
        return false;
    }
    // Rows are padded to 4 bytes, as in the file.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, *texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, bitmap.width, bitmap.height, 0, GL_BGR, GL_UNSIGNED_BYTE,
                 bitmap.pixels.get());
    return true;
}

bool Scene::loadTexture(const char* path, GlTexture* texture) {
    GLuint name = 0;
    bool loaded = loadTexture(path, &name);
    texture->reset(name);
    return loaded;
}
