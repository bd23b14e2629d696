#pragma once
#include "core/MusicTime.h"
#include "scene/GlObjects.h"

class Scene;
class ShaderProgram;
struct RunContext;

// What the full-screen effect scenes share: each draws one quad through a program
// fed with two bitmaps, the music time and the window size. The scenes keep their
// own members; these routines work on them.

// One program's vertex and fragment file (data names under "shaders\").
struct ShaderFiles {
    const char* vertex;
    const char* fragment;
};

// The effect's init: the scene's quad, then each program from its pair in order,
// then the first bitmap into textures[0] and the second into textures[1]. A repeat
// releases the quad and textures it replaces; programs stay allocated.
void buildEffect(Scene& scene, ShaderProgram* programs, const ShaderFiles* files, int programCount,
                 GlTexture (&textures)[2], const char* firstBitmap, const char* secondBitmap);

// "time" (seconds of music) and "ScreenWidth"/"ScreenHeight" (the run's window size).
void setTimeUniform(ShaderProgram& shader, float time);
void setScreenUniforms(ShaderProgram& shader, const RunContext& run);

// textures[1] on unit 0 as "tex0", textures[0] on unit 1 as "tex1"; unit 1 stays
// selected afterwards.
void bindTwoUnits(ShaderProgram& shader, const GlTexture (&textures)[2]);
// bindTwoUnits, the time and window size, one quad.
void renderTwoUnits(Scene& scene, ShaderProgram& shader, const GlTexture (&textures)[2], float time);

// Which of two bitmaps shows at a music time when they alternate every
// `beatsPerSwitch` beats of `tempo`, starting with the first: 0 or 1.
int beatSwitchIndex(float time, float beatsPerSwitch, const Tempo& tempo = Tempo());
// The beat-chosen bitmap on unit 0 as "tex0" (its filters set to GL_NEAREST when
// `nearest`), the time and window size, one quad. Unit 0 stays selected.
void renderBeatSwitched(Scene& scene, ShaderProgram& shader, const GlTexture (&textures)[2], float time,
                        float beatsPerSwitch, bool nearest, const Tempo& tempo);
