#pragma once
#include <vector>

// The CPU array every flattening writes into before its ranges are uploaded
// (primitive::kTexels * 4 floats, 16 MiB). One is enough for all polygon scenes
// of a show, since flattening is synchronous and one scene at a time: whoever
// builds the show makes one and hands it to each scene. It starts as the reset content and is
// allocated on first use; writers only write the components their records define,
// at positions fixed by the layout, so the rest always equals what the GPU
// buffers hold.
class FlattenStaging {
  public:
    float* texels();

  private:
    std::vector<float> array;
};
