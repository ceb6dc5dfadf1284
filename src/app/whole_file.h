#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Whole files, read and written at once. Each says what went wrong in `error`.

// Reads a regular file of at most `most_bytes` bytes; refuses anything else
// (a folder, a device, a pipe) without waiting on it.
bool read_whole_file(const std::string& path, std::size_t most_bytes, std::vector<std::uint8_t>& bytes,
                     std::string& error);

// Replaces the file at `path` by `bytes` so that it is never half written: a
// temporary file beside it is written, flushed to the disk and renamed over
// it. On failure the old file is as it was and no temporary file is left.
bool replace_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
