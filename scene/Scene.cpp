#include "scene/Scene.h"

#include "scene/PassTimer.h"
#include "scene/QuadBuffers.h"

#include <utility>

void Scene::createQuad() {
    if (quadVertexArray)
        destroyQuad();
    QuadBuffers quad = createQuadBuffers();
    quadVertexArray = std::move(quad.vertexArray);
    quadPositionBuffer = std::move(quad.positionBuffer);
    quadColorBuffer = std::move(quad.colorBuffer);
    quadTexCoordBuffer = std::move(quad.texCoordBuffer);
}

void Scene::destroyQuad() {
    QuadBuffers quad{std::move(quadVertexArray), std::move(quadPositionBuffer), std::move(quadColorBuffer),
                     std::move(quadTexCoordBuffer)};
    destroyQuadBuffers(quad);
}

void Scene::drawQuad() {
    // Resetting the matrix makes repeated draws give the same picture. The corners
    // sit at z = -1, on the near plane of the projection reshape sets; our vertex
    // shaders pass them through untransformed.
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex3f(1, 1, -1);
    glVertex3f(1, -1, -1);
    glVertex3f(-1, -1, -1);
    glVertex3f(-1, 1, -1);
    glEnd();
}

void Scene::markPass(const char* name) {
    if (passTimer)
        passTimer->mark(name);
}
