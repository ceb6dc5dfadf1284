#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/world.h"

// Grainvox's own file of a whole box. Little-endian throughout:
//   header: magic, format version, program stage, grid size, the number of
//           cell records, the length of the body;
//   body:   runs, each an empty count and a record count (u32, u32) followed
//           by that many cell records, x outermost and z innermost, until the
//           runs cover the box;
//   trailer: the CRC-32 (as zlib and PNG have it) of the header and the body.
// A cell record holds every field of the cell, so that a burning cell keeps
// its burn time and a tinted one its colour. Every non-empty cell has one;
// so has an empty cell that differs from the table's (it kept the fountain
// picked for a fire that has left it), so that the box comes back exactly.
namespace scene_layout {

constexpr char MAGIC[8] = {'G', 'V', 'X', 'S', 'C', 'E', 'N', 'E'};
constexpr std::uint32_t FORMAT_VERSION = 1;
constexpr std::size_t STAGE_BYTES = 8;  // the program's version, NUL-padded

// Header fields.
constexpr std::size_t MAGIC_AT = 0;
constexpr std::size_t VERSION_AT = 8;
constexpr std::size_t STAGE_AT = 12;
constexpr std::size_t GRID_AT = 20;  // x, y, z
constexpr std::size_t RECORDS_AT = 32;
constexpr std::size_t BODY_BYTES_AT = 36;
constexpr std::size_t HEADER_BYTES = 40;

constexpr std::size_t RUN_BYTES = 8;
constexpr std::size_t CHECKSUM_BYTES = 4;

// Cell record fields, in the record's own order; doubles are IEEE 754.
constexpr std::size_t NAME_AT = 0;
constexpr std::size_t FOUNTAIN_INDEX_AT = 24;
constexpr std::size_t DENSITY_AT = 28;
constexpr std::size_t ID_AT = 36;
constexpr std::size_t RED_AT = 40;
constexpr std::size_t GREEN_AT = 48;
constexpr std::size_t BLUE_AT = 56;
constexpr std::size_t BURN_TIME_AT = 64;
constexpr std::size_t ALPHA_AT = 68;
constexpr std::size_t EXTINGUISHES_AT = 76;
constexpr std::size_t IGNITION_DELAY_AT = 77;
constexpr std::size_t PHASE_AT = 81;
constexpr std::size_t PRESSURED_AT = 85;
constexpr std::size_t RECORD_BYTES = 86;

// The largest file the reader takes: every cell in a run of its own.
constexpr std::size_t MOST_BYTES =
    HEADER_BYTES + std::size_t{GRID_X} * GRID_Y * GRID_Z * (RUN_BYTES + RECORD_BYTES) + CHECKSUM_BYTES;

}  // namespace scene_layout

struct scene_outcome {
    bool ok;
    std::string message;  // what happened, for the user
};

// The box as the bytes of a scene file.
std::vector<std::uint8_t> encode_scene(const world& w);

// Checks every byte of a scene and only then writes it into the world; a
// refused scene leaves the world as it was, and the message says what is wrong.
scene_outcome decode_scene(const std::uint8_t* bytes, std::size_t size, world& into);

// The CRC-32 a scene's trailer holds for its first `size` bytes.
std::uint32_t scene_checksum(const std::uint8_t* bytes, std::size_t size);

// Saves the box to `path` without ever leaving a half-written file there.
scene_outcome save_scene_file(const world& w, const std::string& path);

// Loads the scene at `path` into the world, which is untouched when the file is refused.
scene_outcome load_scene_file(world& into, const std::string& path);
