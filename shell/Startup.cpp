#include "shell/Startup.h"
#include "core/ErrorReport.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

#include "core/DataPath.h"
#include "core/MusicTime.h"
#include "shell/AdaptiveResolution.h"
#include "shell/Callbacks.h"
#include "shell/FrameStep.h"
#include "shell/LineUp.h"
#include "shell/LiveEditing.h"
#include "shell/OpenAlMusic.h"
#include "shell/RenderSettings.h"
#include "shell/RenderSide.h"
#include "shell/SceneFiles.h"
#include "shell/ScenePreview.h"
#include "shell/SharedVbo.h"
#include "shell/ShellState.h"
#include "shell/ShowLineUp.h"
#include "shell/Windowing.h"
#include "shell/authoring/Authoring.h"
#include "shell/authoring/Transport.h"

namespace {
const char* const kGameMode = "1024x768:32@60";
const int kAudioFrequency = 44100;
} // namespace

void initWindow(Windowing& toolkit, int* argc, char** argv, const Options& options) {
    toolkit.init(argc, argv);
    toolkit.setOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    if (options.sizeGiven) {
        runContext.screenWidth = options.width;
        runContext.screenHeight = options.height;
    }
    toolkit.initWindowSize(runContext.screenWidth, runContext.screenHeight);
    toolkit.initDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | GLUT_MULTISAMPLE);
    windowId = toolkit.createWindow("Demo");
    if (windowId < 1) {
        reportError("Could not create a new rendering window.\n");
        exit(1);
    }
    // A size asked for is a window's: the game mode would replace it with its own.
    if (!options.windowed && !options.sizeGiven) {
        toolkit.gameModeString(kGameMode);
        if (toolkit.gameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
            printf("GameMode %s is possible\n", kGameMode);
            toolkit.destroyWindow(windowId);
            toolkit.enterGameMode();
            toolkit.setCursor(GLUT_CURSOR_NONE);
        }
    }
    setInitialGlState();
    toolkit.registerCallbacks();
}

void setInitialGlState() {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
}

void printGlVersion() {
    printf("INFO: OpenGL Version: %s\n", reinterpret_cast<const char*>(glGetString(GL_VERSION)));
}

void initDemo(int* argc, char** argv, const Options& options) {
    initWindow(*windowing, argc, argv, options);

    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    if (result != GLEW_OK) {
        reportError("%s\n", reinterpret_cast<const char*>(glewGetErrorString(result)));
        exit(1);
    }
    glGetError(); // glewInit's probing can leave an error behind
    printGlVersion();
    if (!audio)
        audio = new OpenAlMusic(showEndSeconds());
    openMusic();
    int side = renderSideForFrame(options.renderWidth, runContext.screenWidth, runContext.screenHeight);
    setRenderWidthOverride(side);
    buildShow(options);
    if (options.targetFps > 0) {
        static AdaptiveResolution adaptive(options.targetFps, side > 0 ? side : kRenderWidth);
        adaptiveResolution = &adaptive;
        printf("Adapting the ray-traced side to hold %d frames per second\n", options.targetFps);
    }
    startShow();
    if (options.fromGiven)
        startFrom((float)options.from);
    if (options.watch)
        startLiveEditing();
    if (options.edit)
        startAuthoring();
}

void startFrom(float seconds) {
    float length = trackSeconds();
    if (seconds >= length) {
        reportError("--from %.2f is not before the end of the track (%.2f s)\n", seconds, length);
        shutDownShow();
        exit(2);
    }
    // A scene of the show previewed alone has no part of the music before its start.
    float first = timeline.size() > 0 ? sceneStartSeconds(timeline.startBeat(0)) : 0.0f;
    printf("Starting at t=%.2f\n", seekMusic(seconds > first ? seconds : first));
}

void openMusic() {
    if (!audio->init(kAudioFrequency))
        printf("Can't initialize device\n");
    std::string path = dataPath(musicFile.c_str());
    music = audio->streamCreateFile(path.c_str());
    if (music == 0) {
        printf("Error loading sound\n");
        fflush(stdout);
        reportError("%s: %s\n", path.c_str(), audio->lastError());
    } else {
        printf("Sound loaded\n");
    }
}

void buildShow(const Options& options) {
    if (loadedShow())
        createShowScenes(*loadedShow());
    else if (options.scene.chosen())
        createPreviewScene(options.scene);
    else
        createScenes();
    createVBO();
    glClearColor(0, 0, 0, 0);
}

void startShow() {
    if (!audio->play(music, true))
        printf("Error playing sound\n");
    // A scene previewed alone plays over its own part of the music; a show file's
    // show plays it from the start, whatever beat its first entry names.
    float from = timeline.size() > 0 && !loadedShow() ? sceneStartSeconds(timeline.startBeat(0)) : 0.0f;
    if (from > 0)
        audio->setPosition(music, audio->secondsToBytes(music, from));
    activateScene(currentScene);
}
