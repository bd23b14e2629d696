#include <cstdint>
#include <cstdio>
#include <vector>

// Runs a fuzz target once over each file named, without libFuzzer: the build that
// valgrind watches, where the code inside uninstrumented libraries is seen too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        FILE* f = fopen(argv[i], "rb");
        if (!f) {
            fprintf(stderr, "ERROR: Could not open %s\n", argv[i]);
            return 1;
        }
        std::vector<uint8_t> bytes;
        uint8_t buffer[65536];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        fclose(f);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("replayed %d inputs\n", argc - 1);
    return 0;
}
