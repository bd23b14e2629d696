#pragma once
#include "core/MeshRuns.h"
#include "core/PrimitiveLayout.h"
#include "scene/RunContext.h"
#include "scene/Scene.h"

#include <GL/glew.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Runs the ray-tracing fragment shader alone on a hand-made primitive buffer: the
// buffer texture on unit 15, a square RGBA16F target like the scene's, the camera
// uniforms set directly. Header-only so the benchmarks can use it; needs a current
// GL context.
class RayPassHarness {
  public:
    struct Camera {
        float position[3];
        float target[3];
        float roll;
        float fov;
    };

    ~RayPassHarness() {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &target);
        glDeleteTextures(1, &bufferTexture);
        glDeleteBuffers(1, &buffer);
        if (program)
            glDeleteProgram(program);
    }

    static std::string readText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Builds the program from the two files; `defines` goes right after the
    // fragment shader's #version line. Prints GL's log and returns false on failure.
    bool load(const std::string& vertexPath, const std::string& fragmentPath,
              const std::string& defines = "") {
        std::string vertex = readText(vertexPath), fragment = readText(fragmentPath);
        size_t line = fragment.find('\n');
        if (vertex.empty() || line == std::string::npos) {
            fprintf(stderr, "ERROR: Could not read %s or %s\n", vertexPath.c_str(), fragmentPath.c_str());
            return false;
        }
        fragment.insert(line + 1, defines);
        program = glCreateProgram();
        bool ok = compile(GL_VERTEX_SHADER, vertex) && compile(GL_FRAGMENT_SHADER, fragment);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (ok && !linked)
            printLog(program, true);
        return ok && linked;
    }

    // Makes the primitive buffer, target and framebuffer, and uploads `texels`
    // (primitive::kTexels * 4 floats). GL_RGBA32F keeps counts above 2048 exact.
    void setUp(int size, const std::vector<float>& texels, GLenum targetFormat = GL_RGBA16F) {
        renderSize = size;
        runs = meshRunUniformsOf(texels.data());
        glGenBuffers(1, &buffer);
        glBindBuffer(GL_TEXTURE_BUFFER, buffer);
        glBufferData(GL_TEXTURE_BUFFER, primitive::kBufferBytes, texels.data(), GL_STATIC_DRAW);
        glGenTextures(1, &bufferTexture);
        glBindTexture(GL_TEXTURE_BUFFER, bufferTexture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_RGBA32F, buffer);
        glBindBuffer(GL_TEXTURE_BUFFER, 0);
        glGenTextures(1, &target);
        glActiveTexture(GL_TEXTURE0); // units 1 to 9 may hold material textures
        glBindTexture(GL_TEXTURE_2D, target);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, targetFormat, size, size, 0, GL_RGBA, GL_FLOAT, nullptr);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    // Points the pass at another buffer object holding a primitive buffer; the mesh
    // runs stay those of setUp's texels.
    void readFrom(GLuint otherBuffer) {
        glBindTexture(GL_TEXTURE_BUFFER, bufferTexture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_RGBA32F, otherBuffer);
    }

    // One ray pass; the window size only sets the aspect of the rays.
    void draw(const Camera& camera, int numReflections, int screenWidth = 1, int screenHeight = 1) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glViewport(0, 0, renderSize, renderSize);
        glUseProgram(program);
        glActiveTexture(GL_TEXTURE0 + primitive::kBufferTextureUnit);
        glBindTexture(GL_TEXTURE_BUFFER, bufferTexture);
        glUniform1i(location("tboSampler"), primitive::kBufferTextureUnit);
        for (int k = 0; k < primitive::kMaterialSamplers; ++k)
            glUniform1i(location(("tex[" + std::to_string(k) + "]").c_str()), k + 1);
        glUniform1i(location("numrefl"), numReflections);
        glUniform1i(location("meshRuns"), runs.count);
        glUniform4fv(location("runMin"), kMaxMeshRuns, runs.min);
        glUniform4fv(location("runMax"), kMaxMeshRuns, runs.max);
        const char* names[8] = {"camx", "camy", "camz", "camtx", "camty", "camtz", "camroll", "fov"};
        const float values[8] = {camera.position[0], camera.position[1], camera.position[2], camera.target[0],
                                 camera.target[1],   camera.target[2],   camera.roll,        camera.fov};
        for (int i = 0; i < 8; ++i)
            glUniform1f(location(names[i]), values[i]);
        glUniform1i(location("ScreenWidth"), screenWidth);
        glUniform1i(location("ScreenHeight"), screenHeight);
        RunContext run; // drawQuad reads none of it
        Scene(run).drawQuad();
    }

    // The target's pixels, RGBA floats, bottom row first.
    std::vector<float> pixels() {
        std::vector<float> out(size_t(renderSize) * renderSize * 4);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glReadPixels(0, 0, renderSize, renderSize, GL_RGBA, GL_FLOAT, out.data());
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return out;
    }

    GLuint programName() const { return program; }

    // Runs for the next draws instead of those of setUp's texels (count 0: none,
    // every mesh in one run).
    void setRuns(const MeshRunUniforms& other) { runs = other; }

    // An int or bool uniform of the program that draw() leaves alone.
    void setUniform(const char* name, int value) {
        glUseProgram(program);
        glUniform1i(location(name), value);
    }

  private:
    GLint location(const char* name) { return glGetUniformLocation(program, name); }

    static void printLog(GLuint object, bool isProgram) {
        char log[4096] = "";
        if (isProgram)
            glGetProgramInfoLog(object, sizeof log, nullptr, log);
        else
            glGetShaderInfoLog(object, sizeof log, nullptr, log);
        fprintf(stderr, "ERROR: shader build failed:\n%s\n", log);
    }

    bool compile(GLenum type, const std::string& source) {
        GLuint shader = glCreateShader(type);
        const char* text = source.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint ok = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok)
            printLog(shader, false);
        glAttachShader(program, shader);
        glDeleteShader(shader);
        return ok == GL_TRUE;
    }

    GLuint program = 0, buffer = 0, bufferTexture = 0, target = 0, framebuffer = 0;
    int renderSize = 0;
    MeshRunUniforms runs;
};
