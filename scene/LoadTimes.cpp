#include "scene/LoadTimes.h"

LoadTimes& loadTimes() {
    static LoadTimes times;
    return times;
}
