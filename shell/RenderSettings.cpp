#include "shell/RenderSettings.h"

namespace {
int renderWidthOverride = 0;
}

void setRenderWidthOverride(int side) {
    renderWidthOverride = side > 0 ? side : 0;
}

int effectiveRenderWidth(int requested) {
    return renderWidthOverride > 0 ? renderWidthOverride : requested;
}
