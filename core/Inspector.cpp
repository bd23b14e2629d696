#include "core/Inspector.h"
#include "core/InspectorSummary.h"

#include "core/PrimitiveLayout.h"
#include "core/PrimitiveWriter.h"
#include "core/Studio3dsFile.h"

#include <cstdio>
#include <memory>
#include <vector>

int runInspector(const char* path, int frame, bool summary, const ShowPace& pace) {
    std::unique_ptr<Studio3dsFile> file = Studio3dsFile::open(path);
    if (!file)
        return 1; // open has said why

    file->eval(float(frame));
    // The buffer as the scene holds it before its first flattening, so texels the
    // records leave partly unwritten print what the GPU would hold.
    std::vector<float> texels(size_t(primitive::kTexels) * primitive::kFloatsPerTexel);
    PrimitiveWriter::resetTexels(texels.data());
    PrimitiveWriter writer;
    writer.setNoteStream(stderr); // standard output is for the lines below alone
    writer.reset(path);
    FlattenReport report = writer.write(*file, 0.0f, texels.data());
    if (summary) {
        printInspectorSummary(stdout, *file, report, pace);
        return 0;
    }
    for (const TexelRange& range : report.ranges)
        for (int t = range.first; t < range.first + range.count; ++t) {
            const float* v = &texels[size_t(t) * primitive::kFloatsPerTexel];
            printf("%d %s %.9g %.9g %.9g %.9g\n", t, primitive::regionName(t), v[0], v[1], v[2], v[3]);
        }
    const FlattenCamera& c = report.camera;
    printf("camera %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g\n", c.position[0], c.position[1], c.position[2],
           c.target[0], c.target[1], c.target[2], c.roll, c.fov);
    return 0;
}
