#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken invariant is a finding like a crash: abort so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                    \
            abort();                                                                                         \
        }                                                                                                    \
    } while (0)

// For readers that take a path: the input written to one scratch file per process.
class ScratchFile {
  public:
    explicit ScratchFile(const char* suffix);
    ~ScratchFile();
    bool write(const unsigned char* data, size_t size);
    const char* path() const { return name.c_str(); }

  private:
    std::string name;
};
