// Rewrites a 3D Studio file with each mesh's faces in meshoptimizer's spatial
// order, so that the ray tracer's groups of 26 faces have small boxes:
//   optimize3ds <in.3ds> <out.3ds>
// Everything else in the file is kept byte for byte. Per mesh it prints the groups
// and the tests a ray makes before and after. The output is written to a temporary
// file beside it and renamed into place once complete.
#include "core/ErrorReport.h"
#include "core/ReadWholeFile.h"
#include "tools/optimizer/Optimize.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The 3D Studio format's chunk lengths are 32-bit, but no model of ours comes near this.
constexpr size_t kMaxFileBytes = size_t(512) << 20;

bool writeComplete(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::string temporary = path + ".partial-XXXXXX";
    int fd = mkstemp(&temporary[0]);
    if (fd < 0) {
        reportError("Could not create a file beside %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    // mkstemp makes the file private; the output gets the mode any new file would.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    int error = done == bytes.size() ? 0 : errno;
    if (close(fd) != 0 && !error)
        error = errno;
    if (!error && rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error) {
        unlink(temporary.c_str());
        reportError("Could not write %s: %s\n", path.c_str(), strerror(error ? error : EIO));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        reportError("Expected two arguments, the 3D Studio file to read and the file to write\n");
        fprintf(stderr, "usage: %s <in.3ds> <out.3ds>\n", argv[0]);
        return 2;
    }
    const char* in = argv[1];
    const std::string out = argv[2];
    size_t length = 0;
    char* text = readWholeFile(in, kMaxFileBytes, &length, allocateCharArray);
    if (!text) {
        reportError("Could not read %s: not a readable file of at most %zu MiB\n", in, kMaxFileBytes >> 20);
        return 1;
    }
    std::vector<unsigned char> file(text, text + length);
    delete[] text;

    optimizer::OptimizeResult result = optimizer::optimizeFaceOrder(file);
    if (!result.fault.empty()) {
        reportError("%s: %s; nothing written\n", in, result.fault.c_str());
        return 1;
    }
    double before = 0, after = 0;
    for (const optimizer::MeshReport& m : result.meshes) {
        printf("%s: %d faces in %d groups; tests per ray: %.1f box + %.1f triangle before, %.1f box + %.1f "
               "triangle after; %s%s\n",
               m.name.c_str(), m.faces, m.before.groups, m.before.boxTests, m.before.triangleTests,
               m.after.boxTests, m.after.triangleTests, m.reordered ? "reordered" : "kept: ", m.keptBecause);
        before += m.before.tests();
        after += m.after.tests();
    }
    if (!writeComplete(out, file))
        return 1;
    printf("%s: %zu meshes, tests per ray summed over them %.1f before, %.1f after; written to %s\n", in,
           result.meshes.size(), before, after, out.c_str());
    return 0;
}
