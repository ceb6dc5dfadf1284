#include "scene/whole_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scene/regular_file.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

namespace {

constexpr int TEMPORARY_NAME_TRIES = 100;
constexpr mode_t NEW_FILE_MODE = 0666;  // narrowed by the umask, as for any new file
constexpr mode_t WRITE_PERMISSIONS = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr std::size_t USUAL_NAME_LIMIT = 255;  // bytes of one name, where the system cannot tell
constexpr unsigned char UTF8_CONTINUATION_MASK = 0xC0;
constexpr unsigned char UTF8_CONTINUATION = 0x80;
constexpr char TEMPORARY_MARK[] = ".saving-";  // then the process id, '-' and the attempt
constexpr std::size_t MOST_NUMBER_DIGITS = 9;      // a process id or an attempt, in a temporary's name

// What is at the target before the write.
struct existing_file {
    bool exists = false;
    struct stat info {};
};

#ifdef _WIN32
constexpr char FOLDER_SEPARATORS[] = "\\/";
constexpr int WRITE_FLAGS = O_WRONLY | O_CREAT | O_EXCL | O_BINARY;
int flush_to_disk(int fd) { return _commit(fd); }
void flush_folder_to_disk(const std::string&) {}
std::size_t name_limit(const std::string&) { return USUAL_NAME_LIMIT; }
// Attributes, owner and access list go with the file on Windows: ReplaceFile keeps them.
int keep_mode_and_owner(int, const existing_file&) { return 0; }

// A symbolic link or junction stands for the file it leads to.
std::string resolve_links(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
    const HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return path;
    char final_path[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(handle, final_path, sizeof final_path, FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    if (length == 0 || length >= sizeof final_path) return path;
    return std::string(final_path, length);
}

// ReplaceFile keeps the old file's attributes, owner and access list. Where
// it cannot (Wine cannot, for one), the attributes go to the new file
// before a plain move over the old one.
int move_over(const char* from, const char* to, const existing_file& old) {
    BOOL moved = FALSE;
    if (old.exists) {
        moved = ReplaceFileA(to, from, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
        const DWORD attributes = GetFileAttributesA(to);
        if (!moved && attributes != INVALID_FILE_ATTRIBUTES && SetFileAttributesA(from, attributes))
            moved = MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    } else {
        moved = MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH);
    }
    if (moved) return 0;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return -1;
}

// Whether the process that made a temporary file may still be writing it.
bool is_plain_file(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool process_may_run(long process) {
    const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(process));
    if (handle == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
    CloseHandle(handle);
    return running;
}
#else
constexpr char FOLDER_SEPARATORS[] = "/";
bool is_plain_file(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool process_may_run(long process) { return kill(static_cast<pid_t>(process), 0) == 0 || errno != ESRCH; }
constexpr int WRITE_FLAGS = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
constexpr int MOST_LINK_HOPS = 40;  // as the kernel allows
int flush_to_disk(int fd) { return fsync(fd); }
int move_over(const char* from, const char* to, const existing_file&) { return std::rename(from, to); }

std::string folder_of(const std::string& path);

// Makes the rename itself last; some file systems cannot, and the file is in place anyway.
void flush_folder_to_disk(const std::string& path) {
    const std::string folder = folder_of(path);
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

std::size_t name_limit(const std::string& folder) {
    const long limit = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : USUAL_NAME_LIMIT;
}

// The mode of the file replaced, and its owner where we may give it.
int keep_mode_and_owner(int fd, const existing_file& old) {
    if (!old.exists) return 0;
    if (fchown(fd, old.info.st_uid, old.info.st_gid) != 0) {
        // Only the owner's group may then fail too; the mode is kept either way.
        if (fchown(fd, static_cast<uid_t>(-1), old.info.st_gid) != 0) errno = 0;
    }
    return fchmod(fd, old.info.st_mode & 07777);
}

// The file a chain of symbolic links ends at, there or not.
std::string resolve_links(std::string path) {
    for (int hop = 0; hop < MOST_LINK_HOPS; ++hop) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target);
        if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) return path;
        const std::string leads_to(target, static_cast<std::size_t>(length));
        path = leads_to.front() == '/' ? leads_to : folder_of(path) + leads_to;
    }
    return path;  // a loop: opening it will say so
}
#endif

// The folder part of a path, with its last separator; "" for the working directory.
std::string folder_of(const std::string& path) {
    const std::size_t last_separator = path.find_last_of(FOLDER_SEPARATORS);
    return last_separator == std::string::npos ? "" : path.substr(0, last_separator + 1);
}

std::string failure(const char* what, const std::string& path) {
    return std::string(what) + " " + path + ": " + std::strerror(errno);
}

// A name beside `name` for the file being written: the name with a suffix
// when that fits the folder's limit, else the name shortened by the suffix
// (never through a character), so it fits wherever the name itself does.
std::string temporary_name(const std::string& name, std::size_t limit, long process, int attempt) {
    const std::string suffix = TEMPORARY_MARK + std::to_string(process) + "-" + std::to_string(attempt);
    std::size_t keep = name.size();
    if (keep + suffix.size() > limit) {
        keep = keep > suffix.size() ? keep - suffix.size() : 0;
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & UTF8_CONTINUATION_MASK) == UTF8_CONTINUATION)
            --keep;
    }
    return name.substr(0, keep) + suffix;
}

// A plain decimal number of a few digits, as a temporary's name holds it.
bool read_number(const std::string& text, long& value) {
    if (text.empty() || text.size() > MOST_NUMBER_DIGITS) return false;
    for (const char digit : text)
        if (digit < '0' || digit > '9') return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

// Whether `entry` is exactly the name a save of `name` gives its temporary
// file, made by a process that has ended: a save killed before it could
// remove it. A temporary of a save still running is left to it.
bool is_left_temporary(const std::string& entry, const std::string& name, std::size_t limit) {
    const std::size_t mark = entry.rfind(TEMPORARY_MARK);
    if (mark == std::string::npos) return false;
    const std::string numbers = entry.substr(mark + std::strlen(TEMPORARY_MARK));
    const std::size_t dash = numbers.find('-');
    long process = 0, attempt = 0;
    if (dash == std::string::npos || !read_number(numbers.substr(0, dash), process) ||
        !read_number(numbers.substr(dash + 1), attempt) || attempt >= TEMPORARY_NAME_TRIES)
        return false;
    return entry == temporary_name(name, limit, process, static_cast<int>(attempt)) && process != getpid() &&
           !process_may_run(process);
}

// Removes the temporary files that killed saves of `target` left beside it.
void remove_left_temporaries(const std::string& target) {
    const std::string folder = folder_of(target);
    const std::string name = target.substr(folder.size());
    const std::size_t limit = name_limit(folder);
    DIR* listing = opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = readdir(listing)) {
        const std::string path = folder + entry->d_name;
        if (is_left_temporary(entry->d_name, name, limit) && is_plain_file(path)) std::remove(path.c_str());
    }
    closedir(listing);
}

// Creates a file of our own beside `target`, never one that is already there.
int create_temporary(const std::string& target, std::string& temporary) {
    const std::string folder = folder_of(target);
    const std::string name = target.substr(folder.size());
    const std::size_t limit = name_limit(folder);
    for (int attempt = 0; attempt < TEMPORARY_NAME_TRIES; ++attempt) {
        temporary = folder + temporary_name(name, limit, getpid(), attempt);
        const int fd = open(temporary.c_str(), WRITE_FLAGS, NEW_FILE_MODE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool write_all(int fd, const std::uint8_t* bytes, std::size_t size) {
    while (size > 0) {
        const auto written = write(fd, bytes, static_cast<unsigned>(size));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Looks at what the write would replace: nothing, a file the guard takes as
// ours, or something to keep (then says why in `error`).
bool may_replace(const std::string& target, const replace_guard& guard, existing_file& old, std::string& error) {
    int why = 0;
    const ownedFile file = open_regular_file(target.c_str(), "rb", &why);
    if (!file) {
        // Nothing there: the file is made. A missing folder fails at that point.
        if (why == ENOENT || why == ENOTDIR) return true;
        error = target + (why == NOT_A_REGULAR_FILE ? " is not a regular file"
                                                    : " cannot be read to tell what it is: " + regular_file_fault(why));
        return false;
    }
    old.exists = true;
    if (fstat(fileno(file.get()), &old.info) != 0) {
        error = failure("cannot look at", target);
        return false;
    }
    // A file made read-only is kept from changes, as Windows keeps it.
    if ((old.info.st_mode & WRITE_PERMISSIONS) == 0) {
        error = target + " is read-only";
        return false;
    }
    std::vector<std::uint8_t> head(guard.head_bytes);
    head.resize(std::fread(head.data(), 1, head.size(), file.get()));
    if (!guard.is_ours(head.data(), head.size())) {
        error = target + " is not " + guard.kind;
        return false;
    }
    return true;
}

}  // namespace

bool read_whole_file(const std::string& path, std::size_t most_bytes, std::vector<std::uint8_t>& bytes,
                     std::string& error) {
    int why = 0;
    const ownedFile file = open_regular_file(path.c_str(), "rb", &why);
    if (!file) {
        error = why == NOT_A_REGULAR_FILE ? path + " is not a regular file"
                                          : "cannot open " + path + ": " + regular_file_fault(why);
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

replace_result replace_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                  const replace_guard& guard, std::string& error) {
    const std::string target = resolve_links(path);
    existing_file old;
    if (!may_replace(target, guard, old, error)) return replace_result::refused;

    std::string temporary;
    const int fd = create_temporary(target, temporary);
    if (fd < 0) {
        const std::string folder = folder_of(target);
        if (errno == ENOENT)
            error = folder.empty() ? "the working folder is gone" : "the folder " + folder + " is gone";
        else
            error = failure("cannot create a file beside", target);
        return replace_result::failed;
    }
    const char* step = nullptr;
    if (!write_all(fd, bytes.data(), bytes.size()))
        step = "cannot write";
    else if (keep_mode_and_owner(fd, old) != 0)
        step = "cannot give the mode of the old file to";
    else if (flush_to_disk(fd) != 0)
        step = "cannot flush";
    if (step != nullptr) {
        error = failure(step, temporary);
        close(fd);
        std::remove(temporary.c_str());
        return replace_result::failed;
    }
    if (close(fd) != 0) {
        error = failure("cannot close", temporary);
        std::remove(temporary.c_str());
        return replace_result::failed;
    }
    if (move_over(temporary.c_str(), target.c_str(), old) != 0) {
        error = failure("cannot rename the new file over", target);
        std::remove(temporary.c_str());
        return replace_result::failed;
    }
    flush_folder_to_disk(target);
    remove_left_temporaries(target);
    return replace_result::replaced;
}
