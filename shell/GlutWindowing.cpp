#include "shell/GlutWindowing.h"
#include "core/ErrorReport.h"

#include <GL/freeglut.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "shell/Callbacks.h"

Windowing* windowing = nullptr;

namespace {

bool windowCreated = false;

// freeglut ends the process inside glutInit with its own text when there is no
// display; route that through our message and exit status instead.
void onToolkitError(const char* format, va_list args) {
    if (!windowCreated)
        reportError("Could not create a new rendering window.\n");
    char reason[512];
    vsnprintf(reason, sizeof reason, format, args);
    reportError("freeglut: %s\n", reason);
    exit(1);
}

} // namespace

void GlutWindowing::init(int* argc, char** argv) {
    glutInitErrorFunc(onToolkitError);
    glutInit(argc, argv);
}

void GlutWindowing::setOption(int option, int value) {
    glutSetOption((GLenum)option, value);
}
void GlutWindowing::initWindowSize(int width, int height) {
    glutInitWindowSize(width, height);
}
void GlutWindowing::initDisplayMode(unsigned mode) {
    glutInitDisplayMode(mode);
}

int GlutWindowing::createWindow(const char* title) {
    int id = glutCreateWindow(title);
    windowCreated = id >= 1;
    return id;
}

void GlutWindowing::gameModeString(const char* mode) {
    glutGameModeString(mode);
}
int GlutWindowing::gameModeGet(int query) {
    return glutGameModeGet((GLenum)query);
}
void GlutWindowing::destroyWindow(int window) {
    glutDestroyWindow(window);
}
int GlutWindowing::enterGameMode() {
    return glutEnterGameMode();
}

void GlutWindowing::leaveGameMode() {
    // After the main loop returns freeglut may already have shut down (and left
    // the game mode with it); it must not be called then.
    if (glutGet(GLUT_INIT_STATE) && glutGameModeGet(GLUT_GAME_MODE_ACTIVE))
        glutLeaveGameMode();
}

void GlutWindowing::setCursor(int cursor) {
    glutSetCursor(cursor);
}

void GlutWindowing::registerCallbacks() {
    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard);
    glutIdleFunc(idle);
    glutTimerFunc(0, fpsTimer, 0);
    glutCloseFunc(onClose);
}

void GlutWindowing::swapBuffers() {
    glutSwapBuffers();
}
void GlutWindowing::postRedisplay() {
    glutPostRedisplay();
}
void GlutWindowing::setWindowTitle(const char* title) {
    // A timer can still fire after the window was closed, before the main loop returns.
    if (glutGetWindow())
        glutSetWindowTitle(title);
}

void GlutWindowing::timerFunc(unsigned milliseconds, void (*callback)(int), int value) {
    glutTimerFunc(milliseconds, callback, value);
}

void GlutWindowing::fullScreen() {
    glutFullScreen();
}
// glutExit tears freeglut down under the running main loop, which then crashes;
// leaving the loop lets main end the show the same way a closed window does.
void GlutWindowing::exitMainLoop() {
    glutLeaveMainLoop();
}
