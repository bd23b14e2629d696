#include "scene/ShaderProgram.h"
#include "core/ErrorReport.h"
#include "scene/LoadTimes.h"

#include "core/DataPath.h"
#include "core/ReadWholeFile.h"
#include "scene/GlErrors.h"
#include "scene/RunContext.h"
#include "scene/ShaderBuildLog.h"

#include <cstdio>
#include <string>

namespace {

// No shader source comes near this; anything larger is not a shader.
const size_t kMaxShaderFileBytes = 16u << 20;

// reportError, but only the first time this reload when live editing counts them
// (buildLog: live editing's; null when off).
void reportFailure(ShaderBuildLog* buildLog, const std::string& message) {
    if (buildLog)
        buildLog->messages.push_back(message);
    if (!buildLog || buildLog->firstTime(message))
        reportError("%s", message.c_str());
}

// The source line of the first message in a compile log, or 0: Mesa writes
// "0:12(5): error", NVIDIA "0(12) : error".
int firstLogLine(const std::string& log) {
    size_t start = 0;
    while (start < log.size()) {
        const char* line = log.c_str() + start;
        int source = 0, number = 0, used = 0;
        if ((sscanf(line, "%d:%d(%n", &source, &number, &used) == 2 && used > 0) ||
            (sscanf(line, "%d(%d)%n", &source, &number, &used) == 2 && used > 0))
            return number;
        size_t end = log.find('\n', start);
        start = end == std::string::npos ? log.size() : end + 1;
    }
    return 0;
}

// The GL info log of a shader or program, ending with a line feed.
std::string infoLog(GLuint object, bool isProgram) {
    GLint size = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &size);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &size);
    std::string log(size > 0 ? size : 0, '\0');
    GLsizei written = 0;
    if (size > 0) {
        if (isProgram)
            glGetProgramInfoLog(object, size, &written, &log[0]);
        else
            glGetShaderInfoLog(object, size, &written, &log[0]);
    }
    log.resize(written > 0 ? written : 0);
    if (log.empty() || log.back() != '\n')
        log += '\n';
    return log;
}

bool compiled(const RunContext& run, GLuint shader, const char* path) {
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return true;
    std::string log = infoLog(shader, false);
    int line = firstLogLine(log);
    std::string where = run.dataPath(path) + (line > 0 ? ":" + std::to_string(line) : "");
    reportFailure(run.shaderBuildLog, "Could not compile shader file " + where + ":\n" + log);
    return false;
}

// Draws nothing: the stand-in for a program that failed to link.
GLuint makeEmptyProgram() {
    const char* vertex = "void main() { gl_Position = vec4(gl_Vertex.xy, 0.0, 1.0); }\n";
    const char* fragment = "void main() { discard; }\n";
    GLuint program = glCreateProgram();
    const char* sources[2] = {vertex, fragment};
    const GLenum types[2] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    for (int i = 0; i < 2; ++i) {
        GLuint shader = glCreateShader(types[i]);
        glShaderSource(shader, 1, &sources[i], nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader); // freed with the program
    }
    glLinkProgram(program);
    return program;
}

} // namespace

char* ShaderProgram::readFile(const char* path, int* length) {
    size_t got = 0;
    char* text = readWholeFile(dataPath(path).c_str(), kMaxShaderFileBytes, &got, allocateCharArray);
    if (text)
        *length = static_cast<int>(got);
    return text;
}

GLuint ShaderProgram::compileStage(GLenum type, const char* path, bool* read) {
    int length = 0;
    std::string file = run->dataPath(path); // noted for live editing; mapping it again changes nothing
    char* text = readFile(file.c_str(), &length);
    *read = text != nullptr;
    if (!text)
        reportFailure(run->shaderBuildLog, "Could not read shader file " + file + "\n");
    // An unreadable file becomes an empty source: the stage then fails to
    // compile or link, which is reported below, and the show goes on.
    const char* source = text ? text : "";
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    delete[] text;
    glCompileShader(shader);
    return shader;
}

void ShaderProgram::load(RunContext& run, const char* vertexPath, const char* fragmentPath) {
    this->run = &run;
    LoadTimer timer(run.loadTimes.shaders);
    this->vertexPath = vertexPath;
    this->fragmentPath = fragmentPath;
    keepReplacedObjects(program, vertexShader, fragmentShader);
    discardGlError();
    bool vertexRead = false, fragmentRead = false;
    vertexShader = compileStage(GL_VERTEX_SHADER, vertexPath, &vertexRead);
    fragmentShader = compileStage(GL_FRAGMENT_SHADER, fragmentPath, &fragmentRead);
    program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glLinkProgram(program);
    exitOnGlError("Could not create the shaders: %s \n");
    if (reportBuildStatus(vertexRead, fragmentRead)) {
        inUse = program;
        return;
    }
    ShaderBuildLog* buildLog = run.shaderBuildLog;
    if (buildLog) {
        buildLog->failed += 1;
        buildLog->kept += inUse ? 1 : 0;
    }
    if (buildLog && inUse) {
        printf("Still drawing with the last program of %s and %s that linked\n",
               run.dataPath(vertexPath).c_str(), run.dataPath(fragmentPath).c_str());
        return;
    }
    inUse = 0;
    if (!emptyProgram)
        emptyProgram = makeEmptyProgram();
}

// Compile and link failures print the file names and GL's log: with the reload
// key this is the only place a typo in a shader shows. A file that could not be
// read was reported then; the failures of its empty stage would only repeat it.
bool ShaderProgram::reportBuildStatus(bool vertexRead, bool fragmentRead) {
    bool vertexOk = vertexRead && compiled(*run, vertexShader, vertexPath);
    bool fragmentOk = fragmentRead && compiled(*run, fragmentShader, fragmentPath);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == GL_TRUE && vertexRead && fragmentRead)
        return true;
    // A stage that did not compile already explains the failed link.
    if (vertexOk && fragmentOk)
        reportFailure(run->shaderBuildLog, "Could not link shader files " + run->dataPath(vertexPath) +
                                               " and " + run->dataPath(fragmentPath) + ":\n" +
                                               infoLog(program, true));
    return false;
}

void ShaderProgram::reload() {
    load(*run, vertexPath, fragmentPath);
}

void ShaderProgram::bind() {
    glUseProgram(inUse ? inUse : emptyProgram);
}

// An unlinked program has no uniforms, and asking it would raise a GL error.
void ShaderProgram::setUniform1f(const char* name, float value) {
    if (inUse)
        glUniform1f(glGetUniformLocation(inUse, name), value);
}

void ShaderProgram::setUniform1i(const char* name, int value) {
    if (inUse)
        glUniform1i(glGetUniformLocation(inUse, name), value);
}

void ShaderProgram::setUniform4fv(const char* name, int count, const float* values) {
    if (inUse)
        glUniform4fv(glGetUniformLocation(inUse, name), count, values);
}
