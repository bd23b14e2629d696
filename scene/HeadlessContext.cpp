#include "scene/HeadlessContext.h"
#include "core/ErrorReport.h"
#include "scene/GlDebugOutput.h"

#include <GL/glew.h>
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <cstdio>
#include <cstring>

namespace {

bool hasExtension(const char* list, const char* name) {
    if (!list)
        return false;
    size_t n = strlen(name);
    for (const char* p = strstr(list, name); p; p = strstr(p + 1, name))
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0'))
            return true;
    return false;
}

EGLDisplay deviceDisplay() {
    auto queryDevices = (PFNEGLQUERYDEVICESEXTPROC)eglGetProcAddress("eglQueryDevicesEXT");
    auto getPlatformDisplay = (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!queryDevices || !getPlatformDisplay)
        return EGL_NO_DISPLAY;
    EGLDeviceEXT devices[8];
    EGLint count = 0;
    if (!queryDevices(8, devices, &count))
        return EGL_NO_DISPLAY;
    auto queryDeviceString = (PFNEGLQUERYDEVICESTRINGEXTPROC)eglGetProcAddress("eglQueryDeviceStringEXT");
    for (EGLint i = 0; i < count; ++i) {
        // Mesa lists its software device too; prefer a real driver and leave
        // software rendering to the surfaceless platform.
        const char* ext = queryDeviceString ? queryDeviceString(devices[i], EGL_EXTENSIONS) : nullptr;
        if (hasExtension(ext, "EGL_MESA_device_software"))
            continue;
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
            return display;
    }
    return EGL_NO_DISPLAY;
}

EGLDisplay surfacelessDisplay() {
    auto getPlatformDisplay = (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
    if (!getPlatformDisplay)
        return EGL_NO_DISPLAY;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    return EGL_NO_DISPLAY;
}

} // namespace

HeadlessContext::~HeadlessContext() {
    destroy();
}

bool HeadlessContext::create(int width, int height, bool debug) {
    debugRequested = debug || glDebugOutputFromEnvironment();
    destroy();
    // A GPU's EGL device that offers no usable configuration still leaves Mesa's
    // software renderer to try.
    if (createOn(deviceDisplay(), "device", width, height))
        return true;
    if (createOn(surfacelessDisplay(), "surfaceless", width, height))
        return true;
    reportError("No EGL display gives a headless desktop OpenGL context\n");
    return false;
}

bool HeadlessContext::createOn(void* dpy, const char* name, int width, int height) {
    if (dpy == EGL_NO_DISPLAY)
        return false;
    display = dpy;
    platformName = name;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_ALPHA_SIZE,
                                    8,
                                    EGL_DEPTH_SIZE,
                                    16,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_NONE};
    EGLConfig config;
    EGLint configs = 0;
    if (!eglChooseConfig(dpy, configAttribs, &config, 1, &configs) || configs < 1) {
        destroy();
        return false;
    }
    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(dpy, config, surfaceAttribs);
    eglBindAPI(EGL_OPENGL_API);
    const bool debug = debugRequested;
    // The debug flag (EGL 1.5) is named only when asked for, so older EGLs still serve.
    const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                     debug ? EGL_CONTEXT_OPENGL_DEBUG : EGL_NONE, EGL_TRUE, EGL_NONE};
    context = eglCreateContext(dpy, config, EGL_NO_CONTEXT, contextAttribs);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(dpy, (EGLSurface)surface, (EGLSurface)surface, (EGLContext)context)) {
        destroy();
        return false;
    }
    glewExperimental = GL_TRUE;
    // Under EGL GLEW answers "no GLX display" after it has loaded the GL entry
    // points; that answer is expected here.
    GLenum result = glewInit();
    if (result != GLEW_OK && result != GLEW_ERROR_NO_GLX_DISPLAY) {
        reportError("%s\n", reinterpret_cast<const char*>(glewGetErrorString(result)));
        destroy();
        return false;
    }
    glGetError(); // GLEW's probing may leave an error behind
    if (debug && !debugOutput.install()) {
        destroy();
        return false;
    }
    return true;
}

void HeadlessContext::swap() {
    if (display && surface)
        eglSwapBuffers((EGLDisplay)display, (EGLSurface)surface);
}

void HeadlessContext::destroy() {
    if (!display)
        return;
    eglMakeCurrent((EGLDisplay)display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context)
        eglDestroyContext((EGLDisplay)display, (EGLContext)context);
    if (surface)
        eglDestroySurface((EGLDisplay)display, (EGLSurface)surface);
    // The display is left initialised: EGL hands the same display to every
    // context of the process, and terminating it would pull it from under another.
    display = context = surface = nullptr;
    platformName = "";
}
