#include "scene/PassTimer.h"

PassTimer::~PassTimer() {
    if (!queries.empty())
        glDeleteQueries(GLsizei(queries.size()), queries.data());
}

void PassTimer::addMark(const char* name) {
    if (marks.size() == queries.size()) {
        GLuint query = 0;
        glGenQueries(1, &query);
        queries.push_back(query);
    }
    GLuint query = queries[marks.size()];
    glQueryCounter(query, GL_TIMESTAMP);
    marks.push_back({name, query, std::chrono::steady_clock::now()});
}

void PassTimer::mark(const char* name) {
    if (recording)
        addMark(name);
}

void PassTimer::beginFrame() {
    marks.clear();
    recording = true;
    addMark("other");
}

std::vector<PassTime> PassTimer::endFrame() {
    addMark("");
    recording = false;
    std::vector<PassTime> passes;
    GLuint64 previous = 0;
    for (size_t i = 0; i < marks.size(); ++i) {
        GLuint64 stamp = 0;
        glGetQueryObjectui64v(marks[i].query, GL_QUERY_RESULT, &stamp);
        if (i > 0) {
            double cpu = std::chrono::duration<double, std::milli>(marks[i].cpu - marks[i - 1].cpu).count();
            passes.push_back({marks[i - 1].name, (double)(stamp - previous) / 1e6, cpu});
        }
        previous = stamp;
    }
    return passes;
}
