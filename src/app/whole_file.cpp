#include "app/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "effects/bmp_format.h"  // open_regular_file

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
constexpr int WRITE_FLAGS = O_WRONLY | O_CREAT | O_EXCL | O_BINARY;
int flush_to_disk(int fd) { return _commit(fd); }
int move_over(const char* from, const char* to) {
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    errno = EACCES;
    return -1;
}
void flush_folder_to_disk(const std::string&) {}
#else
constexpr int WRITE_FLAGS = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
int flush_to_disk(int fd) { return fsync(fd); }
int move_over(const char* from, const char* to) { return std::rename(from, to); }
// Makes the rename itself last; some file systems cannot, and the file is in place anyway.
void flush_folder_to_disk(const std::string& path) {
    const std::size_t last_separator = path.find_last_of('/');
    const std::string folder = last_separator == std::string::npos ? "." : path.substr(0, last_separator + 1);
    const int fd = open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}
#endif

constexpr int TEMPORARY_NAME_TRIES = 100;
constexpr mode_t NEW_FILE_MODE = 0666;  // narrowed by the umask, as for any new file

std::string failure(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

// Creates a file of our own beside `path`, never one that is already there.
int create_temporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < TEMPORARY_NAME_TRIES; ++attempt) {
        temporary = path + ".saving-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd = open(temporary.c_str(), WRITE_FLAGS, NEW_FILE_MODE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool write_all(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const auto written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool read_whole_file(const std::string& path, std::size_t most_bytes, std::vector<std::uint8_t>& bytes,
                     std::string& error) {
    const ownedFile file = open_regular_file(path.c_str(), "rb");
    if (!file) {
        struct stat info;
        error = stat(path.c_str(), &info) == 0 ? path + " is not a regular file" : failure("cannot open", path);
        return false;
    }
    long size = -1;
    if (std::fseek(file.get(), 0, SEEK_END) == 0) size = std::ftell(file.get());
    if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        error = failure("cannot read", path);
        return false;
    }
    if (static_cast<unsigned long>(size) > most_bytes) {
        error = path + " is over-long: " + std::to_string(size) + " bytes, more than the " +
                std::to_string(most_bytes) + " it can hold";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    const bool whole = std::fread(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                       std::fgetc(file.get()) == EOF && !std::ferror(file.get());
    if (!whole) error = "cannot read " + path + ": it changed while it was read";
    return whole;
}

bool replace_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    std::string temporary;
    const int fd = create_temporary(path, temporary);
    if (fd < 0) {
        error = failure("cannot create a file beside", path);
        return false;
    }
    const char* step = nullptr;
    if (!write_all(fd, bytes.data(), bytes.size()))
        step = "cannot write";
    else if (flush_to_disk(fd) != 0)
        step = "cannot flush";
    if (step != nullptr) {
        error = failure(step, temporary);
        close(fd);
        std::remove(temporary.c_str());
        return false;
    }
    if (close(fd) != 0) {
        error = failure("cannot close", temporary);
        std::remove(temporary.c_str());
        return false;
    }
    if (move_over(temporary.c_str(), path.c_str()) != 0) {
        error = failure("cannot rename the new file over", path);
        std::remove(temporary.c_str());
        return false;
    }
    flush_folder_to_disk(path);
    return true;
}
