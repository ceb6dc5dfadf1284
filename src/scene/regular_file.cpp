#include "scene/regular_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

ownedFile refused(int* why, int reason) {
    if (why != nullptr) *why = reason;
    return nullptr;
}

}  // namespace

ownedFile open_regular_file(const char* path, const char* mode, int* why) {
#ifdef _WIN32
    // No FIFOs to wait on here: open, then look at what was opened.
    ownedFile file(std::fopen(path, mode));
    if (!file) return refused(why, errno);
    struct _stat64 info;
    if (_fstat64(_fileno(file.get()), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)
        return refused(why, NOT_A_REGULAR_FILE);
    return file;
#else
    // Opening a FIFO for reading waits for a writer, unless asked not to
    // block; a regular file reads the same either way.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return refused(why, errno);
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        return refused(why, NOT_A_REGULAR_FILE);
    }
    std::FILE* file = fdopen(descriptor, mode);
    if (file == nullptr) {
        const int error = errno;
        close(descriptor);
        return refused(why, error);
    }
    return ownedFile(file);
#endif
}

bool is_regular_file(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFREG;
}

std::string regular_file_fault(int why) {
    return why == NOT_A_REGULAR_FILE ? "not a regular file" : std::strerror(why);
}
