#include "shell/HeadlessStart.h"

#include "core/MusicTime.h"
#include "shell/LineUp.h"
#include "shell/RenderSettings.h"
#include "shell/ShellState.h"
#include "shell/ShowLineUp.h"
#include "shell/Startup.h"

HeadlessStart::~HeadlessStart() {
    if (audio == music.get())
        audio = nullptr;
}

bool HeadlessStart::start(int width, int height, int renderSide, bool glDebug) {
    runContext.screenWidth = width;
    runContext.screenHeight = height;
    setRenderWidthOverride(renderSide);
    if (!glContext.create(runContext.screenWidth, runContext.screenHeight, glDebug))
        return false;
    setInitialGlState();
    printGlVersion();
    music.reset(new OpenAlMusic(showEndSeconds(), OpenAlMusic::Clock::Manual));
    audio = music.get();
    return true;
}
