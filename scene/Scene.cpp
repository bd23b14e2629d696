#include "scene/Scene.h"

#include "scene/QuadBuffers.h"

void Scene::createQuad() {
    createQuadBuffers(&quadVertexArray, &quadPositionBuffer, &quadColorBuffer, &quadTexCoordBuffer);
}

void Scene::destroyQuad() {
    destroyQuadBuffers(&quadVertexArray, &quadPositionBuffer, &quadColorBuffer, &quadTexCoordBuffer);
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
