#pragma once
#include <GL/glew.h>

// Owners of GL object names. Each holds one name (0 for none), deletes its object
// when destroyed, reset or assigned over, and can be moved but not copied, so a
// name has exactly one owner. An owner must not outlive its GL context: keep them
// in objects the context outlives, never in statics or globals.
template <class Kind> class GlObject {
  public:
    GlObject() = default;
    // Adopts a name made elsewhere (0 adopts nothing).
    explicit GlObject(GLuint name) : name(name) {}
    ~GlObject() { reset(); }
    GlObject(GlObject&& other) noexcept : name(other.release()) {}
    GlObject& operator=(GlObject&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;

    // A fresh name from glGen*; a current context is needed.
    static GlObject generate() {
        GLuint fresh = 0;
        Kind::generate(&fresh);
        return GlObject(fresh);
    }

    GLuint get() const { return name; }
    explicit operator bool() const { return name != 0; }
    // Gives the name up without deleting it; the owner is empty afterwards.
    GLuint release() {
        GLuint held = name;
        name = 0;
        return held;
    }
    // Deletes the held object (unless it is `other`) and takes `other`.
    void reset(GLuint other = 0) {
        GLuint held = name;
        name = other;
        if (held && held != other)
            Kind::destroy(held);
    }

  private:
    GLuint name = 0;
};

// Mesa's llvmpipe never frees the storage of a texture or buffer deleted while
// queued draws still read it; waiting for them first costs little, as objects
// are deleted only when a scene is reloaded or destroyed.
inline void finishDrawsBeforeDeleting() {
    glFinish();
}

struct GlBufferKind {
    static void generate(GLuint* name) { glGenBuffers(1, name); }
    static void destroy(GLuint name) {
        finishDrawsBeforeDeleting();
        glDeleteBuffers(1, &name);
    }
};
struct GlTextureKind {
    static void generate(GLuint* name) { glGenTextures(1, name); }
    static void destroy(GLuint name) {
        finishDrawsBeforeDeleting();
        glDeleteTextures(1, &name);
    }
};
// The scenes bind framebuffers through the EXT entry points; the names are made
// and deleted through the same ones.
struct GlFramebufferKind {
    static void generate(GLuint* name) { glGenFramebuffersEXT(1, name); }
    static void destroy(GLuint name) { glDeleteFramebuffersEXT(1, &name); }
};
struct GlVertexArrayKind {
    static void generate(GLuint* name) { glGenVertexArrays(1, name); }
    static void destroy(GLuint name) { glDeleteVertexArrays(1, &name); }
};

using GlBuffer = GlObject<GlBufferKind>;
using GlTexture = GlObject<GlTextureKind>;
using GlFramebuffer = GlObject<GlFramebufferKind>;
using GlVertexArray = GlObject<GlVertexArrayKind>;
