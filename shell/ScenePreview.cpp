#include "shell/ScenePreview.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/CommandLine.h"
#include "scenes/effects/Scene1.h"
#include "scenes/effects/SceneBrask1.h"
#include "scenes/effects/SceneGLSLTunnel.h"
#include "scenes/effects/SceneM1.h"
#include "scenes/effects/SceneRaytracedCubes.h"
#include "scenes/effects/SceneRaytracedInfo.h"
#include "scenes/effects/SceneRaytracedNotes.h"
#include "scenes/effects/SceneRaytracer.h"
#include "shell/FrameStep.h"
#include "shell/LineUp.h"
#include "shell/SceneFiles.h"
#include "shell/ShellState.h"

namespace {

template <typename SceneClass> Scene* plain(const std::string&) {
    return new SceneClass(runContext);
}

// Whole numbers only, as an int; false for anything else.
bool parseWhole(const char* text, int* out) {
    return parseInt(text, INT_MIN, INT_MAX, out);
}

Scene* tunnel(const std::string& type) {
    int value = 0;
    parseWhole(type.c_str(), &value); // checked when the choice was parsed; empty gives 0
    return new SceneGLSLTunnel(runContext, value);
}

Scene* polygons(const std::string& fileName) {
    return newPolygonScene(fileName.c_str());
}

const PreviewClass kClasses[] = {
    {"Scene1", PreviewArgument::None, "", plain<Scene1>, ""},
    {"SceneGLSLTunnel", PreviewArgument::OptionalNumber, "TYPE", tunnel, "0 1 2"},
    {"SceneM1", PreviewArgument::None, "", plain<SceneM1>, ""},
    {"SceneRaytracedInfo", PreviewArgument::None, "", plain<SceneRaytracedInfo>, ""},
    {"SceneRaytracer", PreviewArgument::None, "", plain<SceneRaytracer>, ""},
    {"SceneRaytracedCubes", PreviewArgument::None, "", plain<SceneRaytracedCubes>, ""},
    {"SceneRaytracedNotes", PreviewArgument::None, "", plain<SceneRaytracedNotes>, ""},
    {"SceneRaytracerPolygons", PreviewArgument::RequiredFile, "FILE", polygons, "models/ull1.3ds"},
    {"SceneBrask1", PreviewArgument::None, "", plain<SceneBrask1>, ""},
};

// "Name", "Name[:TYPE]" or "Name:FILE".
std::string usageName(const PreviewClass& c) {
    switch (c.argument) {
    case PreviewArgument::None:
        return c.name;
    case PreviewArgument::OptionalNumber:
        return std::string(c.name) + "[:" + c.argumentName + "]";
    case PreviewArgument::RequiredFile:
        break;
    }
    return std::string(c.name) + ":" + c.argumentName;
}

} // namespace

std::string previewClassList() {
    std::string list;
    for (const PreviewClass& c : kClasses)
        list += (list.empty() ? "" : ", ") + usageName(c);
    return list;
}

std::string checkPreviewArgument(const PreviewClass& c, const std::string& argument, bool given) {
    std::string name = c.name;
    switch (c.argument) {
    case PreviewArgument::None:
        return given ? name + " takes no argument" : "";
    case PreviewArgument::OptionalNumber: {
        int value = 0;
        if (given && !parseWhole(argument.c_str(), &value))
            return name + ":" + c.argumentName + " needs a whole number; got \"" + argument + "\"";
        return "";
    }
    case PreviewArgument::RequiredFile:
        break;
    }
    return argument.empty() ? name + " needs a 3D Studio file: " + name + ":" + c.argumentName : "";
}

const PreviewClass* findPreviewClass(const std::string& name) {
    for (const PreviewClass& c : kClasses)
        if (name == c.name)
            return &c;
    return nullptr;
}

std::string parseSceneChoice(const char* text, SceneChoice* choice) {
    *choice = SceneChoice();
    std::string value = text ? text : "";
    if (!value.empty() && value.find_first_not_of("0123456789") == std::string::npos) {
        int number = 0;
        if (parseWhole(value.c_str(), &number) && number >= 1 && number <= kLineUpScenes) {
            choice->lineUpScene = number;
            return "";
        }
        return "--scene takes a scene of the show from 1 to " + std::to_string(kLineUpScenes) + "; got \"" +
               value + "\"";
    }
    size_t colon = value.find(':');
    std::string name = value.substr(0, colon);
    if (const PreviewClass* c = findPreviewClass(name)) {
        bool given = colon != std::string::npos;
        std::string argument = given ? value.substr(colon + 1) : "";
        std::string complaint = checkPreviewArgument(*c, argument, given);
        if (complaint.empty()) {
            choice->libraryClass = c;
            choice->argument = argument;
        }
        return complaint;
    }
    return "--scene needs 1 to " + std::to_string(kLineUpScenes) + " or a scene class (" +
           previewClassList() + "); got \"" + value + "\"";
}

std::vector<std::string> librarySceneValues(bool everyExample) {
    std::vector<std::string> values;
    for (const PreviewClass& c : kClasses) {
        std::string examples = c.examples;
        if (examples.empty()) {
            values.push_back(c.name);
            continue;
        }
        size_t start = 0;
        do {
            size_t end = examples.find(' ', start);
            values.push_back(std::string(c.name) + ":" + examples.substr(start, end - start));
            start = end == std::string::npos ? end : end + 1;
        } while (everyExample && start != std::string::npos);
    }
    return values;
}

float previewStartBeat(const SceneChoice& choice) {
    return choice.lineUpScene ? lineUpStartBeat(choice.lineUpScene) : 0.0f;
}

void schedulePreview(const SceneChoice& choice) {
    timeline.clear();
    timeline.add(previewStartBeat(choice), 1);
    startSchedule();
}

void createPreviewScene(const SceneChoice& choice) {
    schedulePreview(choice);
    if (choice.lineUpScene)
        placeScene(1, [&] { return newLineUpScene(choice.lineUpScene, nullptr); });
    else if (choice.libraryClass)
        placeScene(1, [&] { return choice.libraryClass->make(choice.argument); });
}

void printPreviewUsage(const char* program) {
    printf("\n"
           "One scene alone:\n"
           "  %s --scene N|CLASS[:ARG] [--watch] [--windowed | --capture OUT ... | --bench ...]\n"
           "  --scene N    play scene N (1 to %d) of the show alone, with the music from where\n"
           "               the scene starts in the show (a capture starts there at the earliest);\n"
           "               keys, --capture and --bench work as in the show\n"
           "  --scene CLASS[:ARG]\n"
           "               play a scene of the library alone, with the music from the start of\n"
           "               the track; paths may use '/'. Classes:\n",
           program, kLineUpScenes);
    for (const PreviewClass& c : kClasses)
        printf("                 %s\n", usageName(c).c_str());
    printf("               (SceneGLSLTunnel TYPE: 0 round, 1 square, other relief;\n"
           "               SceneRaytracerPolygons FILE: a 3D Studio file, shown as scene 3 is)\n"
           "  --watch      reload the scene on screen when a data file it loaded (shader,\n"
           "               bitmap, model) changes on disk; a shader that does not compile is\n"
           "               reported and the scene goes on with the last program that linked\n");
}
