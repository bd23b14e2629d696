#include "support/ProgramRebuilds.h"
#include "support/TestPaths.h"

#include <cstdio>
#include <unistd.h>

namespace {
// Program and shader names share one count; a long soak reaches a few thousand.
const GLuint kHighestName = 1 << 16;

// The same source compiled the same way gives the same uniform locations, so the
// scene's uniform calls, looked up in its own program, fit the substitute.
std::map<GLuint, GLuint> substitutes;
PFNGLUSEPROGRAMPROC realUseProgram = nullptr;

void GLAPIENTRY useSubstitute(GLuint program) {
    auto found = substitutes.find(program);
    realUseProgram(found == substitutes.end() ? program : found->second);
}
} // namespace

std::set<GLuint> ProgramRebuilds::livePrograms() {
    std::set<GLuint> live;
    for (GLuint name = 1; name <= kHighestName; ++name)
        if (glIsProgram(name))
            live.insert(name);
    return live;
}

void ProgramRebuilds::takeNewPrograms(const std::set<GLuint>& before) {
    directory = makeScratchDir("program-rebuilds");
    for (GLuint program : livePrograms()) {
        if (before.count(program))
            continue;
        GLuint shaders[8];
        GLsizei count = 0;
        glGetAttachedShaders(program, 8, &count, shaders);
        Taken taken{program, "", ""};
        for (GLsizei i = 0; i < count; ++i) {
            GLint type = 0, length = 0;
            glGetShaderiv(shaders[i], GL_SHADER_TYPE, &type);
            glGetShaderiv(shaders[i], GL_SHADER_SOURCE_LENGTH, &length);
            std::string text(length > 0 ? length : 1, '\0');
            glGetShaderSource(shaders[i], (GLsizei)text.size(), nullptr, &text[0]);
            text.resize(length > 0 ? length - 1 : 0);
            std::string& file = type == GL_VERTEX_SHADER ? taken.vertexFile : taken.fragmentFile;
            file =
                directory + "/" + std::to_string(program) + (type == GL_VERTEX_SHADER ? "v" : "f") + ".glsl";
            writeFile(file, text);
        }
        sources.push_back(taken);
    }
}

void ProgramRebuilds::rebuildAll() {
    substitutes.clear();
    for (Taken& taken : sources) {
        // Loaded as the scene loads its programs, through ShaderProgram, from files
        // holding the same sources.
        ShaderProgram* program = new ShaderProgram();
        program->load(run, taken.vertexFile.c_str(), taken.fragmentFile.c_str());
        kept.emplace_back(program);
        substitutes[taken.original] = program->programName();
    }
    if (!realUseProgram)
        realUseProgram = __glewUseProgram;
    __glewUseProgram = useSubstitute;
}

void ProgramRebuilds::endSubstitution() {
    if (realUseProgram)
        __glewUseProgram = realUseProgram;
    substitutes.clear();
}

long residentBytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = fopen("/proc/self/statm", "r")) {
        if (fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(statm);
    }
    return resident * sysconf(_SC_PAGESIZE);
}
