#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/cell_record.h"
#include "sim/world.h"

// Grainvox's own file of a whole box. Little-endian throughout:
//   header:  magic, format version, program stage, grid size, a count of
//            cell records, the length of the body;
//   body:    version 2 (written): the distinct cell records, then the box
//            as runs, each a record's number and a cell count (both LEB128),
//            x outermost and z innermost, until the runs cover the box;
//            version 1 (still read): runs, each an empty count and a record
//            count (u32, u32) followed by that many cell records;
//   trailer: the CRC-32 (as zlib and PNG have it) of the header and the body.
// A cell record holds every field of the cell (see cell_record.h), so that a
// burning cell keeps its burn time and a tinted one its colour. An empty
// cell is saved as the table's empty cell: the fountain a fire picked for
// it is never read again (the drawing picks afresh each frame).
namespace scene_layout {

constexpr char MAGIC[8] = {'G', 'V', 'X', 'S', 'C', 'E', 'N', 'E'};
constexpr std::uint32_t RUNS_OF_RECORDS_VERSION = 1;
constexpr std::uint32_t DISTINCT_RECORDS_VERSION = 2;
constexpr std::uint32_t FORMAT_VERSION = DISTINCT_RECORDS_VERSION;  // the one written
constexpr std::size_t STAGE_BYTES = 8;  // the program's version, NUL-padded

// Header fields.
constexpr std::size_t MAGIC_AT = 0;
constexpr std::size_t VERSION_AT = 8;
constexpr std::size_t STAGE_AT = 12;
constexpr std::size_t GRID_AT = 20;  // x, y, z
constexpr std::size_t RECORDS_AT = 32;
constexpr std::size_t BODY_BYTES_AT = 36;
constexpr std::size_t HEADER_BYTES = 40;

constexpr std::size_t RUN_BYTES = 8;  // version 1
constexpr std::size_t MOST_VARINT_BYTES = 5;  // a u32 in LEB128
constexpr std::size_t CHECKSUM_BYTES = 4;
constexpr std::size_t RECORD_BYTES = CELL_RECORD_BYTES;

// The largest file the reader takes, of either version: every cell a record of its own.
constexpr std::size_t MOST_BYTES =
    HEADER_BYTES + GRID_CELLS * (RECORD_BYTES + 2 * MOST_VARINT_BYTES) + CHECKSUM_BYTES;
static_assert(MOST_BYTES >= HEADER_BYTES + GRID_CELLS * (RUN_BYTES + RECORD_BYTES) + CHECKSUM_BYTES,
              "the limit holds the largest file of version 1 too");

}  // namespace scene_layout

struct scene_outcome {
    bool ok;
    std::string message;  // what happened, for the user
    bool kept_other_file = false;  // a save found a file that is not a scene there, and kept it
};

// The box as the bytes of a scene file of the current version.
std::vector<std::uint8_t> encode_scene(const world& w);

// Checks every byte of a scene (of either version) and only then writes it
// into the world; a refused scene leaves the world as it was, and the
// message says what is wrong.
scene_outcome decode_scene(const std::uint8_t* bytes, std::size_t size, world& into);

// Says what is wrong with a scene, as decode_scene would, without loading
// it; "" when it would load. `w` gives the material table.
std::string scene_fault(const std::uint8_t* bytes, std::size_t size, const world& w);

// The cells of the box that are not empty.
int count_live_cells(const world& w);

// The CRC-32 a scene's trailer holds for its first `size` bytes.
std::uint32_t scene_checksum(const std::uint8_t* bytes, std::size_t size);

// Whether a file that starts with these bytes says it is a scene.
bool starts_as_scene(const std::uint8_t* head, std::size_t size);

// Saves the box to `path` without ever leaving a half-written file there,
// and only over a scene file: anything else there is kept, and the outcome
// says so.
scene_outcome save_scene_file(const world& w, const std::string& path);

// Loads the scene at `path` into the world, which is untouched when the file is refused.
scene_outcome load_scene_file(world& into, const std::string& path);

// A name beside `path` that nothing has yet, for a save that may not go to
// `path`: "notes.gvx" gives "notes-2.gvx", or "-3" on if that is taken.
std::string free_scene_name_beside(const std::string& path);
