#pragma once
#include "scene/RunContext.h"
#include "scene/ShaderProgram.h"

#include <GL/glew.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// What reloading a scene's shader programs alone costs: the sources of the programs
// one reload made, compiled and linked again into new objects that stay allocated,
// as a reload leaves them, and then drawn with in the scene's own passes (a driver
// finishes a program's code, and fills its memory, at the draws that use it).
class ProgramRebuilds {
  public:
    // The program names the current context holds.
    static std::set<GLuint> livePrograms();
    // Takes the sources of the programs live now that are not in `before`.
    void takeNewPrograms(const std::set<GLuint>& before);
    int programs() const { return (int)sources.size(); }
    // Builds every taken program once more, keeping the objects, and makes
    // glUseProgram pick the new ones for the originals until the next rebuildAll
    // or endSubstitution.
    void rebuildAll();
    static void endSubstitution();

  private:
    struct Taken {
        GLuint original;
        std::string vertexFile, fragmentFile;
    };
    std::string directory;
    std::vector<Taken> sources;
    RunContext run; // the rebuilds' own: their load times and paths are not the scene's
    std::vector<std::unique_ptr<ShaderProgram>> kept; // the programs stay; these only name them
};

// The resident memory of this process in bytes (/proc/self/statm).
long residentBytes();
