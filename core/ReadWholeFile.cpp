#include "core/ReadWholeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads up to `size` bytes; a file that shrank meanwhile gives fewer.
size_t readUpTo(int fd, char* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t got = read(fd, buffer + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}

} // namespace

char* readWholeFile(const char* path, size_t maxBytes, size_t* length, void* (*allocate)(size_t)) {
    if (!path)
        return nullptr;
    // O_NONBLOCK: opening a FIFO without a writer would otherwise hang the show.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    char* buffer = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
        static_cast<unsigned long long>(info.st_size) <= maxBytes) {
        size_t size = static_cast<size_t>(info.st_size);
        buffer = static_cast<char*>(allocate(size + 1));
        if (buffer) {
            size_t got = readUpTo(fd, buffer, size);
            buffer[got] = '\0';
            *length = got;
        }
    }
    close(fd);
    return buffer;
}

void* allocateCharArray(size_t bytes) {
    return new (std::nothrow) char[bytes];
}
