#include "app/scene_file.h"

#include <array>
#include <cstring>
#include <limits>

#include "app/whole_file.h"
#include "effects/fountain.h"
#include "sim/types.h"

namespace {

using namespace scene_layout;

static_assert(std::numeric_limits<double>::is_iec559, "records hold IEEE 754 doubles");

constexpr std::uint32_t GRID_CELLS = std::uint32_t{GRID_X} * GRID_Y * GRID_Z;

// The CRC-32 that zlib and PNG use (reflected polynomial 0xEDB88320), a
// byte at a time. Kept here, not taken from zlib, so that the Windows
// programs, linked statically, need no library more.
constexpr std::uint32_t CRC_POLYNOMIAL = 0xEDB88320u;
constexpr std::uint32_t CRC_START = 0xFFFFFFFFu;

constexpr std::array<std::uint32_t, 256> crc_table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1u) ? CRC_POLYNOMIAL ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> CRC_TABLE = crc_table();

// Little-endian fields.
void put_u32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t get_u32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{at[i]} << (8 * i);
    return value;
}
void put_i32(std::uint8_t* at, std::int32_t value) { put_u32(at, static_cast<std::uint32_t>(value)); }
std::int32_t get_i32(const std::uint8_t* at) { return static_cast<std::int32_t>(get_u32(at)); }
void put_double(std::uint8_t* at, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put_u32(at, static_cast<std::uint32_t>(bits));
    put_u32(at + 4, static_cast<std::uint32_t>(bits >> 32));
}
double get_double(const std::uint8_t* at) {
    const std::uint64_t bits = get_u32(at) | std::uint64_t{get_u32(at + 4)} << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

static_assert(sizeof GRAINVOX_VERSION - 1 <= STAGE_BYTES, "the stage fits its field");

// The program stage as the header holds it: its version, NUL-padded.
void put_stage(std::uint8_t* at) {
    std::memset(at, 0, STAGE_BYTES);
    std::memcpy(at, GRAINVOX_VERSION, sizeof GRAINVOX_VERSION - 1);
}

void put_record(std::uint8_t* at, const ParticleType& cell) {
    std::memcpy(at + NAME_AT, cell.name, sizeof cell.name);
    put_i32(at + FOUNTAIN_INDEX_AT, cell.fountain_index);
    put_double(at + DENSITY_AT, cell.density);
    put_i32(at + ID_AT, cell.id);
    put_double(at + RED_AT, cell.red);
    put_double(at + GREEN_AT, cell.green);
    put_double(at + BLUE_AT, cell.blue);
    put_i32(at + BURN_TIME_AT, cell.burn_time);
    put_double(at + ALPHA_AT, cell.alpha);
    at[EXTINGUISHES_AT] = cell.extinguishes ? 1 : 0;
    put_i32(at + IGNITION_DELAY_AT, cell.ignition_delay);
    put_i32(at + PHASE_AT, cell.phase);
    at[PRESSURED_AT] = cell.pressured ? 1 : 0;
}

// Cells are numbered in the order the file holds them: x outermost, z innermost.
struct grid_cell {
    int x, y, z;
};

grid_cell cell_of(std::uint32_t index) {
    return {static_cast<int>(index / (GRID_Y * GRID_Z)), static_cast<int>(index / GRID_Z % GRID_Y),
            static_cast<int>(index % GRID_Z)};
}

template <class World>
auto& cell_at(World& w, std::uint32_t index) {
    const grid_cell c = cell_of(index);
    return w.grid[c.x][c.y][c.z];
}

std::string cell_name(std::uint32_t index) {
    const grid_cell c = cell_of(index);
    return "cell (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " + std::to_string(c.z) + ")";
}

// An empty cell exactly as the table has it goes into an empty run; one that
// kept a renderer's pick from a fire that left it is stored as a record.
bool is_plain_empty(const ParticleType& cell, const ParticleType& eraser) {
    return cell.id == TYPE_ERASER && cell.fountain_index == eraser.fountain_index && cell.density == eraser.density &&
           cell.red == eraser.red && cell.green == eraser.green && cell.blue == eraser.blue &&
           cell.burn_time == eraser.burn_time && cell.alpha == eraser.alpha &&
           cell.extinguishes == eraser.extinguishes && cell.ignition_delay == eraser.ignition_delay &&
           cell.phase == eraser.phase && cell.pressured == eraser.pressured &&
           std::memcmp(cell.name, eraser.name, sizeof cell.name) == 0;
}

bool is_fraction(double value) { return value >= 0.0 && value <= 1.0; }  // false for NaN

// The first field of a decoded record that the program could never have
// given a cell of its material, or nullptr when there is none.
const char* field_out_of_range(const ParticleType& cell, const ParticleType& material) {
    if (std::memcmp(cell.name, material.name, sizeof cell.name) != 0) return "name";
    if (cell.fountain_index < 0 || cell.fountain_index >= FOUNTAIN_COUNT) return "fountain index";
    if (cell.density != material.density) return "density";
    if (!is_fraction(cell.red)) return "red";
    if (!is_fraction(cell.green)) return "green";
    if (!is_fraction(cell.blue)) return "blue";
    if (cell.burn_time < NEVER || cell.burn_time > material.burn_time) return "burn time";
    if (!is_fraction(cell.alpha)) return "alpha";
    if (cell.extinguishes != material.extinguishes) return "extinguishes";
    const bool delay_in_range = material.ignition_delay == NEVER
                                    ? cell.ignition_delay == NEVER
                                    : cell.ignition_delay >= 0 && cell.ignition_delay <= material.ignition_delay;
    if (!delay_in_range) return "ignition delay";
    if (cell.phase != material.phase) return "phase";
    return nullptr;
}

// Reads one cell record; says what is wrong with it, or returns "".
std::string get_record(const std::uint8_t* at, const world& w, ParticleType& cell) {
    cell = ParticleType{};
    const std::int32_t id = get_i32(at + ID_AT);
    if (id < 0 || id >= TYPE_COUNT) return "unknown material id " + std::to_string(id);
    if (at[EXTINGUISHES_AT] > 1) return "extinguishes is neither 0 nor 1";
    if (at[PRESSURED_AT] > 1) return "pressured is neither 0 nor 1";
    std::memcpy(cell.name, at + NAME_AT, sizeof cell.name);
    cell.fountain_index = get_i32(at + FOUNTAIN_INDEX_AT);
    cell.density = get_double(at + DENSITY_AT);
    cell.id = id;
    cell.red = get_double(at + RED_AT);
    cell.green = get_double(at + GREEN_AT);
    cell.blue = get_double(at + BLUE_AT);
    cell.burn_time = get_i32(at + BURN_TIME_AT);
    cell.alpha = get_double(at + ALPHA_AT);
    cell.extinguishes = at[EXTINGUISHES_AT] == 1;
    cell.ignition_delay = get_i32(at + IGNITION_DELAY_AT);
    cell.phase = get_i32(at + PHASE_AT);
    cell.pressured = at[PRESSURED_AT] == 1;
    if (const char* field = field_out_of_range(cell, w.types[id]))
        return std::string(field) + " out of range for " + w.types[id].name;
    return "";
}

// "Grainvox 0.36" for another stage's field, if it reads as one.
std::string stage_name(const std::uint8_t* field) {
    std::string version;
    for (std::size_t i = 0; i < STAGE_BYTES && field[i] != 0; ++i) {
        if (field[i] < ' ' || field[i] > '~') return "an unknown stage of Grainvox";
        version += static_cast<char>(field[i]);
    }
    return "Grainvox " + version + ", not " GRAINVOX_TITLE;
}

// Says what is wrong with the header of a scene of `size` bytes, or returns "".
std::string header_fault(const std::uint8_t* bytes, std::size_t size) {
    if (size < sizeof MAGIC || std::memcmp(bytes + MAGIC_AT, MAGIC, sizeof MAGIC) != 0)
        return "not a Grainvox scene (wrong magic)";
    if (size < HEADER_BYTES + CHECKSUM_BYTES) return "truncated: " + std::to_string(size) + " bytes";
    const std::uint32_t version = get_u32(bytes + VERSION_AT);
    if (version != FORMAT_VERSION)
        return "format version " + std::to_string(version) + ", this program reads version " +
               std::to_string(FORMAT_VERSION);
    std::uint8_t stage[STAGE_BYTES];
    put_stage(stage);
    if (std::memcmp(bytes + STAGE_AT, stage, STAGE_BYTES) != 0) return "saved by " + stage_name(bytes + STAGE_AT);
    const std::uint32_t x = get_u32(bytes + GRID_AT), y = get_u32(bytes + GRID_AT + 4), z = get_u32(bytes + GRID_AT + 8);
    if (x != GRID_X || y != GRID_Y || z != GRID_Z)
        return "made for a " + std::to_string(x) + " x " + std::to_string(y) + " x " + std::to_string(z) + " box";
    const std::uint64_t expected = HEADER_BYTES + std::uint64_t{get_u32(bytes + BODY_BYTES_AT)} + CHECKSUM_BYTES;
    if (size < expected) return "truncated: " + std::to_string(size) + " of " + std::to_string(expected) + " bytes";
    if (size > expected) return "over-long: " + std::to_string(size - expected) + " bytes after its end";
    if (get_u32(bytes + size - CHECKSUM_BYTES) != scene_checksum(bytes, size - CHECKSUM_BYTES))
        return "bad checksum: the file is damaged";
    return "";
}

// Walks the runs of the body, checking each, and hands every cell to
// place(index, cell), empty ones included. Says what is wrong, or returns "".
template <class Place>
std::string walk_body(const std::uint8_t* body, std::size_t body_bytes, std::uint32_t stated_records,
                      const world& w, Place&& place) {
    std::size_t at = 0;
    std::uint32_t index = 0, records = 0;
    while (index < GRID_CELLS) {
        if (body_bytes - at < RUN_BYTES) return "the cells end before the box is full";
        const std::uint32_t empty = get_u32(body + at), recorded = get_u32(body + at + 4);
        at += RUN_BYTES;
        if (empty == 0 && recorded == 0) return "a run of no cells";
        if (empty > GRID_CELLS - index || recorded > GRID_CELLS - index - empty) return "the cells run past the box";
        for (const std::uint32_t end = index + empty; index < end; ++index) place(index, w.types[TYPE_ERASER]);
        if ((body_bytes - at) / RECORD_BYTES < recorded) return "the cells end before the box is full";
        for (const std::uint32_t end = index + recorded; index < end; ++index, at += RECORD_BYTES) {
            ParticleType cell;
            const std::string fault = get_record(body + at, w, cell);
            if (!fault.empty()) return cell_name(index) + ": " + fault;
            place(index, cell);
        }
        records += recorded;
    }
    if (at != body_bytes) return std::to_string(body_bytes - at) + " bytes after the last cell";
    if (records != stated_records)
        return std::to_string(records) + " cell records where the header says " + std::to_string(stated_records);
    return "";
}

std::string live_cells_text(int cells) { return std::to_string(cells) + (cells == 1 ? " live cell" : " live cells"); }

int live_cells(const world& w) {
    int live = 0;
    for (std::uint32_t index = 0; index < GRID_CELLS; ++index) live += cell_at(w, index).id != TYPE_ERASER;
    return live;
}

}  // namespace

std::uint32_t scene_checksum(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t crc = CRC_START;
    for (std::size_t i = 0; i < size; ++i) crc = CRC_TABLE[(crc ^ bytes[i]) & 0xffu] ^ (crc >> 8);
    return crc ^ CRC_START;
}

std::vector<std::uint8_t> encode_scene(const world& w) {
    std::vector<std::uint8_t> bytes(HEADER_BYTES);
    // Room for the largest file from the start: a full box is tens of
    // megabytes, too many to copy as the buffer grows; unused room costs nothing.
    bytes.reserve(MOST_BYTES);
    std::memcpy(bytes.data() + MAGIC_AT, MAGIC, sizeof MAGIC);
    put_u32(bytes.data() + VERSION_AT, FORMAT_VERSION);
    put_stage(bytes.data() + STAGE_AT);
    put_u32(bytes.data() + GRID_AT, GRID_X);
    put_u32(bytes.data() + GRID_AT + 4, GRID_Y);
    put_u32(bytes.data() + GRID_AT + 8, GRID_Z);

    const ParticleType& eraser = w.types[TYPE_ERASER];
    std::uint32_t index = 0, records = 0;
    while (index < GRID_CELLS) {
        std::uint32_t empty = 0, recorded = 0;
        while (index + empty < GRID_CELLS && is_plain_empty(cell_at(w, index + empty), eraser)) ++empty;
        while (index + empty + recorded < GRID_CELLS && !is_plain_empty(cell_at(w, index + empty + recorded), eraser))
            ++recorded;
        const std::size_t run_at = bytes.size();
        bytes.resize(run_at + RUN_BYTES + std::size_t{recorded} * RECORD_BYTES);
        put_u32(bytes.data() + run_at, empty);
        put_u32(bytes.data() + run_at + 4, recorded);
        index += empty;
        for (std::uint32_t i = 0; i < recorded; ++i, ++index)
            put_record(bytes.data() + run_at + RUN_BYTES + std::size_t{i} * RECORD_BYTES, cell_at(w, index));
        records += recorded;
    }
    put_u32(bytes.data() + RECORDS_AT, records);
    put_u32(bytes.data() + BODY_BYTES_AT, static_cast<std::uint32_t>(bytes.size() - HEADER_BYTES));
    const std::uint32_t checksum = scene_checksum(bytes.data(), bytes.size());
    bytes.resize(bytes.size() + CHECKSUM_BYTES);
    put_u32(bytes.data() + bytes.size() - CHECKSUM_BYTES, checksum);
    return bytes;
}

scene_outcome decode_scene(const std::uint8_t* bytes, std::size_t size, world& into) {
    const std::string header = header_fault(bytes, size);
    if (!header.empty()) return {false, header};
    const std::uint8_t* body = bytes + HEADER_BYTES;
    const std::size_t body_bytes = size - HEADER_BYTES - CHECKSUM_BYTES;
    const std::uint32_t records = get_u32(bytes + RECORDS_AT);
    // The whole body is checked before the first cell is written.
    const std::string fault = walk_body(body, body_bytes, records, into, [](std::uint32_t, const ParticleType&) {});
    if (!fault.empty()) return {false, fault};
    int live = 0;
    walk_body(body, body_bytes, records, into, [&](std::uint32_t index, const ParticleType& cell) {
        cell_at(into, index) = cell;
        live += cell.id != TYPE_ERASER;
    });
    return {true, live_cells_text(live)};
}

scene_outcome save_scene_file(const world& w, const std::string& path) {
    const std::vector<std::uint8_t> bytes = encode_scene(w);
    std::string error;
    if (!replace_whole_file(path, bytes, error)) return {false, "not saved, " + path + " is as it was: " + error};
    return {true, "saved " + path + ": " + live_cells_text(live_cells(w)) + ", " + std::to_string(bytes.size()) +
                      " bytes"};
}

scene_outcome load_scene_file(world& into, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!read_whole_file(path, MOST_BYTES, bytes, error)) return {false, "not loaded: " + error};
    const scene_outcome decoded = decode_scene(bytes.data(), bytes.size(), into);
    if (!decoded.ok) return {false, "not loaded, " + path + " is refused: " + decoded.message};
    return {true, "loaded " + path + ": " + decoded.message};
}
