#pragma once
#include <GL/glew.h>

struct RunContext;

// A GLSL program built from one vertex and one fragment shader file. Scenes hold
// these by value, load them in init, bind them on activation or before a pass, and
// set uniforms by name every frame. GL objects are never deleted: a reload makes
// new ones and the old ones stay in the context (keepReplacedObjects).
class ShaderProgram {
  public:
    // Creates no GL object and reads no file.
    ShaderProgram() = default;

    // Reads, compiles and links the pair; the paths (data names such as
    // "shaders\\frag1.glsl") are kept by pointer for reload, so they must outlive
    // the object, and so is the run, whose load times, data-path notes and shader
    // build log the load reports to. A GL error ends the process; an unreadable
    // file, a compile or a link failure prints an "ERROR: " line and the show goes
    // on with a program that draws nothing, or, when the run has a shader build log
    // (live editing), with the program of the object's last load that linked: a
    // typo saved in an editor does not blank the scene. The log counts the failed
    // builds and prints each failure message once per reload (beginReload).
    void load(RunContext& run, const char* vertexPath, const char* fragmentPath);
    // load again with the paths of the last load; only valid after a load.
    void reload();
    // Makes the program current. One that failed to link is replaced by a program
    // that discards every fragment, so the scene's passes leave the frame as it was
    // instead of drawing with whatever program was current before (or, when keeping
    // the last linked program, by that one).
    void bind();
    // Set a uniform of the current program, looked up by name in this program each
    // call; names the program lacks are ignored.
    void setUniform1f(const char* name, float value);
    void setUniform1i(const char* name, int value);
    void setUniform4fv(const char* name, int count, const float* values);

    // Reads a whole regular file (a data name is mapped to its path, not noted). Returns a
    // NUL-terminated buffer owned by the caller (delete[]) and its length without
    // the NUL, or nullptr with *length untouched.
    static char* readFile(const char* path, int* length);

    // The objects and files of the last load (0 and null before one), for the tests
    // and the scenes' accessors; a failed link still names its program here.
    GLuint programName() const { return program; }
    GLuint vertexShaderName() const { return vertexShader; }
    GLuint fragmentShaderName() const { return fragmentShader; }
    const char* vertexFile() const { return vertexPath; }
    const char* fragmentFile() const { return fragmentPath; }

  private:
    RunContext* run = nullptr; // of the last load
    GLuint program = 0;
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    const char* vertexPath = nullptr;
    const char* fragmentPath = nullptr;

    // Reload policy: a load leaves the objects of the load before it allocated, so a
    // name once handed out (still current, or kept by a caller) never dangles or
    // comes back naming another program. A reload is rare, so the cost is small.
    static void keepReplacedObjects(GLuint, GLuint, GLuint) {}
    GLuint compileStage(GLenum type, const char* path, bool* read);
    bool reportBuildStatus(bool vertexRead, bool fragmentRead);

    GLuint inUse = 0;        // what bind makes current and the setters address; 0: none linked
    GLuint emptyProgram = 0; // made on the first failed link of this object
};
