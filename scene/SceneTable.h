#pragma once

class Scene;

// Scene objects by scene number (1 to 20). Operations on an empty or out-of-range
// slot do nothing, so a number key naming an unused slot cannot crash the show.
class SceneTable {
  public:
    static const int kSlots = 20;

    Scene* get(int sceneNumber) const;
    void set(int sceneNumber, Scene* scene);

    void render(int sceneNumber, float time, float sceneTime) const;
    void init(int sceneNumber) const;
    void activate(int sceneNumber) const;

  private:
    Scene* slots[kSlots] = {};
};
