#include "scene/ScreenSize.h"

int screenWidth = 1024;
int screenHeight = 768;
