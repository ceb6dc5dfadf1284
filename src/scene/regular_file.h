#pragma once

#include <cstdio>
#include <memory>
#include <string>

// Opening files that hold data: the bitmap readers and the scene files both
// refuse a FIFO, a device or a folder rather than wait on it or read it.

struct fileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
// Closes the file on every path out of a reader.
using ownedFile = std::unique_ptr<std::FILE, fileCloser>;

// Why open_regular_file gave null, beside the errno values of a failed open.
constexpr int NOT_A_REGULAR_FILE = -1;

// Opens `path` only if it names a regular file (or a link to one), without
// blocking on anything else: a FIFO, a device, a socket or a folder gives
// null at once. On null, `why` (when given) gets the open's errno, or
// NOT_A_REGULAR_FILE.
ownedFile open_regular_file(const char* path, const char* mode, int* why = nullptr);

// Whether `path` names a regular file (or a link to one).
bool is_regular_file(const std::string& path);

// What open_regular_file's `why` means, for a message.
std::string regular_file_fault(int why);
