#include "support/GuardedBuffer.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

GuardedBuffer::GuardedBuffer(const std::string& bytes) : length(bytes.size()) {
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t dataPages = (length + page - 1) / page;
    mappingBytes = (dataPages + 1) * page;
    void* m = mmap(nullptr, mappingBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED) {
        mappingBytes = length = 0;
        return;
    }
    mapping = static_cast<unsigned char*>(m);
    mprotect(mapping + dataPages * page, page, PROT_NONE);
    start = mapping + dataPages * page - length;
    memcpy(start, bytes.data(), length);
}

GuardedBuffer::~GuardedBuffer() {
    if (mapping)
        munmap(mapping, mappingBytes);
}
