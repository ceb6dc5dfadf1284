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

// Which existing files a write may replace: those whose first `head_bytes`
// bytes pass `is_ours`; `kind` names them for the message ("a Grainvox scene").
struct replace_guard {
    std::size_t head_bytes;
    bool (*is_ours)(const std::uint8_t* head, std::size_t size);
    const char* kind;
};

enum class replace_result {
    replaced,  // the file holds `bytes` now
    refused,   // a file that is not ours is there, and is kept
    failed,    // the write failed; the old file is as it was
};

// Replaces the file at `path` by `bytes` so that it is never half written: a
// temporary file beside it is written, flushed to the disk and renamed over
// it. A symbolic link is followed and kept, its target written; the file's
// mode (and owner, where the system lets us) is kept. A file there that the
// guard does not take as ours, or cannot read to tell, or a read-only one,
// is refused. On
// failure or refusal the old file is as it was and no temporary file is left.
replace_result replace_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                  const replace_guard& guard, std::string& error);
