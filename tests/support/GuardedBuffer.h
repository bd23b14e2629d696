#pragma once
#include <cstddef>
#include <string>

// A copy of some bytes placed so that they end exactly where an inaccessible page
// begins: a read one byte beyond them crashes the test in any build, not only
// under AddressSanitizer.
class GuardedBuffer {
  public:
    explicit GuardedBuffer(const std::string& bytes);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    const unsigned char* data() const { return start; }
    const char* text() const { return reinterpret_cast<const char*>(start); }
    size_t size() const { return length; }

  private:
    unsigned char* mapping = nullptr;
    size_t mappingBytes = 0;
    unsigned char* start = nullptr;
    size_t length = 0;
};
