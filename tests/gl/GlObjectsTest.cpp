// Lifecycle of the GL owners and of the resources built on them: each object is
// deleted exactly once, by its last owner, and replacing one deletes the old.
#include "scene/GlObjects.h"
#include "scene/RunContext.h"
#include "scene/Scene.h"
#include "scenes/raytracer/PrimitiveBuffer.h"
#include "scenes/raytracer/RenderTargets.h"
#include "support/BitmapFiles.h"
#include "support/GlTest.h"
#include "support/LiveGlObjects.h"
#include "support/TestPaths.h"

#include <functional>
#include <string>
#include <utility>

namespace {

using GlObjectsTest = GlTest;

// GL calls a name an object only once it has been bound.
template <class Owner> Owner made(const std::function<void(GLuint)>& bind) {
    Owner owner = Owner::generate();
    bind(owner.get());
    return owner;
}

template <class Owner>
void checkOwner(const char* kind, const std::function<void(GLuint)>& bind,
                const std::function<bool(GLuint)>& live) {
    SCOPED_TRACE(kind);
    GLuint first = 0;
    {
        Owner owner = made<Owner>(bind);
        first = owner.get();
        ASSERT_TRUE(live(first));
    }
    EXPECT_FALSE(live(first)) << "destruction deletes";

    Owner moved;
    {
        Owner source = made<Owner>(bind);
        Owner constructed(std::move(source));
        moved = std::move(constructed);
    } // both moved from
    EXPECT_TRUE(live(moved.get())) << "a moved-from owner deletes nothing";

    GLuint replaced = moved.get();
    Owner other = made<Owner>(bind);
    GLuint kept = other.get();
    moved = std::move(other);
    EXPECT_FALSE(live(replaced)) << "assigning over an owner deletes what it held";
    EXPECT_TRUE(live(kept));
    moved = std::move(moved);
    EXPECT_TRUE(live(kept)) << "self-assignment keeps the object";

    GLuint released = moved.release();
    { Owner empty(std::move(moved)); }
    EXPECT_TRUE(live(released)) << "a released name is the caller's";
    Owner adopted(released);
    adopted.reset(released);
    EXPECT_TRUE(live(released)) << "resetting to the held name keeps it";
    adopted.reset();
    EXPECT_FALSE(live(released)) << "reset deletes";
}

TEST_F(GlObjectsTest, EachOwnerDeletesItsObjectOnceAndOnlyWhenItIsTheLastOwner) {
    const LiveGlObjects before = LiveGlObjects::count();
    checkOwner<GlBuffer>(
        "buffer", [](GLuint n) { glBindBuffer(GL_ARRAY_BUFFER, n); }, [](GLuint n) { return glIsBuffer(n); });
    checkOwner<GlTexture>(
        "texture", [](GLuint n) { glBindTexture(GL_TEXTURE_2D, n); },
        [](GLuint n) { return glIsTexture(n); });
    checkOwner<GlFramebuffer>(
        "framebuffer", [](GLuint n) { glBindFramebufferEXT(GL_FRAMEBUFFER, n); },
        [](GLuint n) { return glIsFramebufferEXT(n); });
    checkOwner<GlVertexArray>(
        "vertex array", [](GLuint n) { glBindVertexArray(n); }, [](GLuint n) { return glIsVertexArray(n); });
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(LiveGlObjects::count(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// The scene quad, a texture loaded twice into one owner, the primitive buffer and
// the render targets: made again, they replace their objects; dropped, they leave
// the context as it was.
TEST_F(GlObjectsTest, ResourcesMadeAgainReplaceTheirObjectsAndLeaveNothingBehind) {
    const LiveGlObjects before = LiveGlObjects::count();
    std::string bitmap = makeScratchDir("gl_objects") + "/pattern.bmp";
    ASSERT_TRUE(writeFile(bitmap, patternBitmap(3, 2)));
    {
        RunContext run;
        Scene scene(run);
        GlTexture texture;
        PrimitiveBuffer primitives;
        RenderTargets targets;
        auto makeAll = [&] {
            scene.createQuad();
            EXPECT_TRUE(scene.loadTexture(bitmap.c_str(), &texture));
            primitives = PrimitiveBuffer::create();
            targets = RenderTargets::create(8);
        };
        makeAll();
        const LiveGlObjects once = LiveGlObjects::count();
        EXPECT_EQ(once.buffers, before.buffers + 4);   // the quad's three, the primitive buffer
        EXPECT_EQ(once.textures, before.textures + 5); // loaded, buffer texture, three targets
        EXPECT_EQ(once.framebuffers, before.framebuffers + 3);
        EXPECT_EQ(once.vertexArrays, before.vertexArrays + 1);
        GLuint oldTexture = texture.get(), oldTarget = targets.framebuffer(2);
        makeAll();
        makeAll();
        EXPECT_EQ(LiveGlObjects::count(), once);
        EXPECT_TRUE(oldTexture == texture.get() || !glIsTexture(oldTexture));
        EXPECT_TRUE(glIsFramebufferEXT(targets.framebuffer(2)));
        EXPECT_TRUE(oldTarget == targets.framebuffer(2) || !glIsFramebufferEXT(oldTarget));

        // A failed load still hands the owner a fresh name, and the old texture goes.
        testing::internal::CaptureStderr();
        EXPECT_FALSE(scene.loadTexture("missing.bmp", &texture));
        testing::internal::GetCapturedStderr();
        EXPECT_NE(texture.get(), 0u);
        EXPECT_EQ(LiveGlObjects::count().textures, once.textures - 1);
        // The scene drops its quad without destroyQuad too.
    }
    EXPECT_EQ(LiveGlObjects::count(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
