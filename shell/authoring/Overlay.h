#pragma once
#include "shell/authoring/OverlayFacts.h"

// The authoring overlay drawn over the frame with Dear ImGui: a panel of facts
// (time, beat and bar, entry, scene, frame rate, sizes, transport state, the
// scene's last reload errors) and a strip of the timeline entries along the
// bottom, where a click or a drag asks for a seek. Owns the ImGui context and the
// GL objects of its renderer; one at a time. Needs a current GL context.
class Overlay {
  public:
    Overlay();
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    bool ok() const { return ready; }

    // Draws on framebuffer 0 over what the scene drew; GL state is left as it
    // was. `deltaSeconds`: time since the last overlay frame. Returns true and sets
    // *seekSeconds when the strip was clicked or dragged.
    bool draw(const OverlayFacts& facts, float deltaSeconds, float* seekSeconds);
    // Lays out one frame without drawing it: windows that size themselves to
    // their content take a frame to appear, and a capture must show the same
    // overlay on its first frame as on any other.
    void settle(const OverlayFacts& facts, float deltaSeconds);

  private:
    bool build(const OverlayFacts& facts, float deltaSeconds, float* seekSeconds);
    bool ready = false;
};
