#include "shell/RenderSide.h"

#include <algorithm>

#include "shell/AdaptiveResolution.h"
#include "shell/LineUp.h"

int renderSideForFrame(int asked, int width, int height) {
    if (asked > 0)
        return asked;
    if (width >= kRenderWidth || height >= kRenderWidth)
        return 0;
    return std::max({width, height, AdaptiveResolution::kMinSide});
}
