#pragma once
#include "core/MusicTime.h"
#include "scene/GlObjects.h"

class PassTimer;
struct RunContext;

// Base of every scene. The shell reaches a scene only through the three virtual
// operations below (in this slot order) and the scene table.
class Scene {
  public:
    // The run the scene belongs to (its window size, load times and data-path notes)
    // must outlive the scene.
    explicit Scene(RunContext& run) : run(run) {}
    // Virtual: previews and tests own scenes through Scene pointers, and a derived
    // scene's destructor releases its GL objects and files.
    virtual ~Scene() = default;

    // Draws one frame. Called by the frame loop every frame for the scene on screen,
    // right after the colour and depth buffers were cleared and glLoadIdentity was
    // called; the buffers are swapped after it returns. The jump keys also call it on
    // scene 1, without a clear or swap, whatever scene is on screen.
    virtual void render(float time, float sceneTime) { (void)time, (void)sceneTime; }

    // Creates and loads the scene's resources. Each derived constructor calls its own
    // class's init directly; the Enter key calls it again through the dispatch on the
    // scene on screen.
    virtual void init() {}

    // Prepares GL state for render: called when the scene comes on screen, on every
    // window resize and after a number key selects it; may repeat without a render.
    virtual void activate() {}

    // Asks a scene that traces into off-screen targets to trace only a `side` x
    // `side` part of them (0: the whole target). Called before render by the
    // window's adaptive resolution only; scenes without such targets ignore it.
    virtual void setTracedSide(int side) { (void)side; }

    // The beat clock of the show the scene plays in: scenes that count beats (an
    // animation frame per beat, a bitmap every few beats) count them at its tempo.
    // Set by the line-up right after construction; the built-in show's by default.
    void setTempo(const Tempo& showTempo) { tempo = showTempo; }

    // The benchmark's timer of the scene's passes (null: none, the default); the
    // timer must outlive the scene's frames that it records.
    void timePasses(PassTimer* timer) { passTimer = timer; }

    // The run it was built for, for the helpers that work on a scene (EffectPasses.h).
    RunContext& context() const { return run; }

    // The scene's own full-screen quad (GL objects only; drawQuad draws in immediate mode).
    // A repeated createQuad (a repeated init) first tears down the quad it replaces.
    void createQuad();
    void destroyQuad();
    void drawQuad();

    // Turns a bitmap file (a data name such as "textures\\credits.bmp") into a
    // linear-filtered RGB texture bound on the active unit. Windows bitmaps keep
    // their rows exactly; JPEG, PNG, TGA and the like are converted (ImageDecoder.h). *texture always gets a
    // fresh name; on failure it has no image, an "ERROR: " line is printed, the
    // active unit's binding is left alone and the result is false.
    bool loadTexture(const char* path, GLuint* texture);
    // The same into an owner, which deletes the texture it held before.
    bool loadTexture(const char* path, GlTexture* texture);

  protected:
    RunContext& run;
    Tempo tempo;

    // Marks where a pass of the frame begins, for the timer handed in; else nothing.
    void markPass(const char* name);

    // Empty until createQuad, so destroyQuad on a scene that never made its quad
    // touches no other object. A quad not torn down is deleted with the scene.
    GlVertexArray quadVertexArray;
    GlBuffer quadPositionBuffer;
    GlBuffer quadColorBuffer;
    GlBuffer quadTexCoordBuffer;

  private:
    PassTimer* passTimer = nullptr;
};
