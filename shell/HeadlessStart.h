#pragma once
#include "scene/HeadlessContext.h"
#include "shell/OpenAlMusic.h"

#include <memory>

// The start-up that the capture and the benchmark share, the window's without a
// window: the window size the scenes see, the run's render-width override, a
// headless context of that size with the window's GL state, and the manual music
// clock behind `audio`. The music file is not opened yet (openMusic), nor the show
// built. What it made goes with it, the context last.
class HeadlessStart {
  public:
    HeadlessStart() = default;
    ~HeadlessStart();
    HeadlessStart(const HeadlessStart&) = delete;
    HeadlessStart& operator=(const HeadlessStart&) = delete;

    // False, after an "ERROR: " line, when no context can be had. `renderSide` 0
    // keeps the line-up's own; `glDebug` asks for a GL debug context.
    bool start(int width, int height, int renderSide, bool glDebug);

    HeadlessContext& context() { return glContext; }
    OpenAlMusic& manualMusic() { return *music; }

  private:
    HeadlessContext glContext;
    std::unique_ptr<OpenAlMusic> music;
};
