#include "scene/scene_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "scene/little_endian.h"
#include "scene/whole_file.h"

namespace {

using namespace scene_layout;

constexpr std::uint32_t CELLS = static_cast<std::uint32_t>(GRID_CELLS);

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

// LEB128: seven bits a byte, low bits first, the top bit set on all but the last.
constexpr std::uint8_t VARINT_MORE = 0x80;
constexpr std::uint8_t VARINT_BITS = 0x7f;
constexpr unsigned VARINT_SHIFT = 7;
constexpr std::uint8_t VARINT_LAST_BYTE_MOST = 0x0f;  // the fifth byte holds the top four bits

void put_varint(std::vector<std::uint8_t>& out, std::uint32_t value) {
    while (value > VARINT_BITS) {
        out.push_back(static_cast<std::uint8_t>(value | VARINT_MORE));
        value >>= VARINT_SHIFT;
    }
    out.push_back(static_cast<std::uint8_t>(value));
}

constexpr const char* CELLS_END_EARLY = "the cells end before the box is full";

// Reads a varint at `at`, moving it on; says what is wrong with it, or returns nullptr.
const char* get_varint(const std::uint8_t*& at, const std::uint8_t* end, std::uint32_t& value) {
    value = 0;
    for (std::size_t i = 0; i < MOST_VARINT_BYTES; ++i) {
        if (at == end) return CELLS_END_EARLY;
        const std::uint8_t byte = *at++;
        if (i + 1 == MOST_VARINT_BYTES && byte > VARINT_LAST_BYTE_MOST) return "a number too large for 32 bits";
        value |= static_cast<std::uint32_t>(byte & VARINT_BITS) << (VARINT_SHIFT * i);
        if ((byte & VARINT_MORE) == 0) return nullptr;
    }
    return "a number too large for 32 bits";
}

static_assert(sizeof GRAINVOX_VERSION - 1 <= STAGE_BYTES, "the stage fits its field");

// The program stage as the header holds it: its version, NUL-padded.
void put_stage(std::uint8_t* at) {
    std::memset(at, 0, STAGE_BYTES);
    std::memcpy(at, GRAINVOX_VERSION, sizeof GRAINVOX_VERSION - 1);
}

// Cells are numbered in the order the file holds them, x outermost and z
// innermost: the grid's own order in memory.
const ParticleType* first_cell(const world& w) { return &w.grid[0][0][0]; }
ParticleType* first_cell(world& w) { return &w.grid[0][0][0]; }

std::string cell_name(std::uint32_t index) {
    const int x = static_cast<int>(index / (GRID_Y * GRID_Z)), y = static_cast<int>(index / GRID_Z % GRID_Y),
              z = static_cast<int>(index % GRID_Z);
    return "cell (" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) + ")";
}

// The cell as a file holds it: an empty cell without the fountain a fire
// picked for it, which no frame reads again.
ParticleType saved_form(const ParticleType& cell, const ParticleType& eraser) {
    ParticleType saved = cell;
    if (saved.id == TYPE_ERASER) saved.fountain_index = eraser.fountain_index;
    return saved;
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
    if (size == 0) return "empty: the file has no bytes at all";
    if (!starts_as_scene(bytes, size)) return "not a Grainvox scene (wrong magic)";
    if (size < HEADER_BYTES + CHECKSUM_BYTES) return "truncated: " + std::to_string(size) + " bytes";
    const std::uint32_t version = get_u32(bytes + VERSION_AT);
    if (version != RUNS_OF_RECORDS_VERSION && version != DISTINCT_RECORDS_VERSION)
        return "format version " + std::to_string(version) + ", this program reads versions " +
               std::to_string(RUNS_OF_RECORDS_VERSION) + " and " + std::to_string(DISTINCT_RECORDS_VERSION);
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

// The body of a file, and the header's count of its cell records.
struct scene_body {
    const std::uint8_t* bytes;
    std::size_t size;
    std::uint32_t records;
};

// Walks a version-1 body, checking each run, and hands every cell to
// place(first, count, cell), empty ones included. Says what is wrong, or returns "".
template <class Place>
std::string walk_runs_of_records(const scene_body& body, const world& w, Place&& place) {
    std::size_t at = 0;
    std::uint32_t index = 0, records = 0;
    while (index < CELLS) {
        if (body.size - at < RUN_BYTES) return CELLS_END_EARLY;
        const std::uint32_t empty = get_u32(body.bytes + at), recorded = get_u32(body.bytes + at + 4);
        at += RUN_BYTES;
        if (empty == 0 && recorded == 0) return "a run of no cells";
        if (empty > CELLS - index || recorded > CELLS - index - empty) return "the cells run past the box";
        place(index, empty, w.types[TYPE_ERASER]);
        index += empty;
        if ((body.size - at) / RECORD_BYTES < recorded) return CELLS_END_EARLY;
        for (const std::uint32_t end = index + recorded; index < end; ++index, at += RECORD_BYTES) {
            ParticleType cell;
            const std::string fault = get_cell_record(body.bytes + at, w, cell);
            if (!fault.empty()) return cell_name(index) + ": " + fault;
            place(index, 1, cell);
        }
        records += recorded;
    }
    if (at != body.size) return std::to_string(body.size - at) + " bytes after the last cell";
    if (records != body.records)
        return std::to_string(records) + " cell records where the header says " + std::to_string(body.records);
    return "";
}

// Reads the distinct records that open a version-2 body.
std::string read_distinct_records(const scene_body& body, const world& w, std::vector<ParticleType>& records) {
    if (body.records == 0 || body.records > CELLS || body.size / RECORD_BYTES < body.records)
        return std::to_string(body.records) + " cell records, which the body cannot hold";
    records.resize(body.records);
    for (std::uint32_t i = 0; i < body.records; ++i) {
        const std::string fault = get_cell_record(body.bytes + std::size_t{i} * RECORD_BYTES, w, records[i]);
        if (!fault.empty()) return "cell record " + std::to_string(i) + ": " + fault;
    }
    return "";
}

// Walks the runs of a version-2 body after its records, as walk_runs_of_records does.
template <class Place>
std::string walk_distinct_records(const scene_body& body, const std::vector<ParticleType>& records, Place&& place) {
    const std::uint8_t* at = body.bytes + std::size_t{body.records} * RECORD_BYTES;
    const std::uint8_t* const end = body.bytes + body.size;
    std::uint32_t index = 0;
    while (index < CELLS) {
        std::uint32_t record = 0, count = 0;
        const char* fault = get_varint(at, end, record);
        if (fault == nullptr) fault = get_varint(at, end, count);
        if (fault != nullptr) return fault;
        if (record >= records.size())
            return "cell record " + std::to_string(record) + " of " + std::to_string(records.size());
        if (count == 0) return "a run of no cells";
        if (count > CELLS - index) return "the cells run past the box";
        place(index, count, records[record]);
        index += count;
    }
    if (at != end) return std::to_string(end - at) + " bytes after the last cell";
    return "";
}

// Checks the whole body, then, only if it is sound, hands its cells to place.
template <class Place>
std::string read_body(std::uint32_t version, const scene_body& body, const world& w, Place&& place) {
    const auto nowhere = [](std::uint32_t, std::uint32_t, const ParticleType&) {};
    if (version == RUNS_OF_RECORDS_VERSION) {
        std::string fault = walk_runs_of_records(body, w, nowhere);
        if (fault.empty()) walk_runs_of_records(body, w, place);
        return fault;
    }
    std::vector<ParticleType> records;
    std::string fault = read_distinct_records(body, w, records);
    if (fault.empty()) fault = walk_distinct_records(body, records, nowhere);
    if (fault.empty()) walk_distinct_records(body, records, place);
    return fault;
}

std::string live_cells_text(int cells) { return std::to_string(cells) + (cells == 1 ? " live cell" : " live cells"); }

bool name_taken(const std::string& path) {
    struct stat info;
#ifdef _WIN32
    return stat(path.c_str(), &info) == 0;
#else
    return lstat(path.c_str(), &info) == 0;  // a dangling link is taken too
#endif
}

constexpr const char* SCENE_EXTENSION = ".gvx";
constexpr int FIRST_OTHER_NAME = 2;

}  // namespace

int count_live_cells(const world& w) {
    int live = 0;
    const ParticleType* cell = first_cell(w);
    for (std::uint32_t index = 0; index < CELLS; ++index) live += cell[index].id != TYPE_ERASER;
    return live;
}

std::uint32_t scene_checksum(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t crc = CRC_START;
    for (std::size_t i = 0; i < size; ++i) crc = CRC_TABLE[(crc ^ bytes[i]) & 0xffu] ^ (crc >> 8);
    return crc ^ CRC_START;
}

bool starts_as_scene(const std::uint8_t* head, std::size_t size) {
    return size >= sizeof MAGIC && std::memcmp(head + MAGIC_AT, MAGIC, sizeof MAGIC) == 0;
}

std::vector<std::uint8_t> encode_scene(const world& w) {
    const ParticleType& eraser = w.types[TYPE_ERASER];
    const ParticleType* cells = first_cell(w);
    // Each distinct cell is written once, numbered in the order it is met.
    std::unordered_map<std::string, std::uint32_t> numbers;
    std::vector<std::uint8_t> records, runs;
    std::string record(RECORD_BYTES, '\0');
    for (std::uint32_t index = 0; index < CELLS;) {
        const ParticleType saved = saved_form(cells[index], eraser);
        std::uint32_t count = 1;
        while (index + count < CELLS && saved_alike(cells[index + count], saved)) ++count;
        put_cell_record(reinterpret_cast<std::uint8_t*>(record.data()), saved);
        const auto [found, added] = numbers.emplace(record, static_cast<std::uint32_t>(numbers.size()));
        if (added) records.insert(records.end(), record.begin(), record.end());
        put_varint(runs, found->second);
        put_varint(runs, count);
        index += count;
    }

    std::vector<std::uint8_t> bytes(HEADER_BYTES);
    std::memcpy(bytes.data() + MAGIC_AT, MAGIC, sizeof MAGIC);
    put_u32(bytes.data() + VERSION_AT, FORMAT_VERSION);
    put_stage(bytes.data() + STAGE_AT);
    put_u32(bytes.data() + GRID_AT, GRID_X);
    put_u32(bytes.data() + GRID_AT + 4, GRID_Y);
    put_u32(bytes.data() + GRID_AT + 8, GRID_Z);
    put_u32(bytes.data() + RECORDS_AT, static_cast<std::uint32_t>(numbers.size()));
    put_u32(bytes.data() + BODY_BYTES_AT, static_cast<std::uint32_t>(records.size() + runs.size()));
    bytes.reserve(HEADER_BYTES + records.size() + runs.size() + CHECKSUM_BYTES);
    bytes.insert(bytes.end(), records.begin(), records.end());
    bytes.insert(bytes.end(), runs.begin(), runs.end());
    const std::uint32_t checksum = scene_checksum(bytes.data(), bytes.size());
    bytes.resize(bytes.size() + CHECKSUM_BYTES);
    put_u32(bytes.data() + bytes.size() - CHECKSUM_BYTES, checksum);
    return bytes;
}

scene_outcome decode_scene(const std::uint8_t* bytes, std::size_t size, world& into) {
    const std::string header = header_fault(bytes, size);
    if (!header.empty()) return {false, header};
    const scene_body body{bytes + HEADER_BYTES, size - HEADER_BYTES - CHECKSUM_BYTES, get_u32(bytes + RECORDS_AT)};
    ParticleType* cells = first_cell(into);
    int live = 0;
    const std::string fault = read_body(get_u32(bytes + VERSION_AT), body, into,
                                        [&](std::uint32_t first, std::uint32_t count, const ParticleType& cell) {
                                            std::fill(cells + first, cells + first + count, cell);
                                            if (cell.id != TYPE_ERASER) live += static_cast<int>(count);
                                        });
    if (!fault.empty()) return {false, fault};
    into.wake_all();  // the cells were written behind the world's back
    return {true, live_cells_text(live)};
}

std::string scene_fault(const std::uint8_t* bytes, std::size_t size, const world& w) {
    const std::string header = header_fault(bytes, size);
    if (!header.empty()) return header;
    const scene_body body{bytes + HEADER_BYTES, size - HEADER_BYTES - CHECKSUM_BYTES, get_u32(bytes + RECORDS_AT)};
    return read_body(get_u32(bytes + VERSION_AT), body, w, [](std::uint32_t, std::uint32_t, const ParticleType&) {});
}

scene_outcome save_scene_file(const world& w, const std::string& path) {
    const std::vector<std::uint8_t> bytes = encode_scene(w);
    const replace_guard scenes_only{sizeof MAGIC, starts_as_scene, "a Grainvox scene"};
    std::string error;
    switch (replace_whole_file(path, bytes, scenes_only, error)) {
    case replace_result::replaced: break;
    case replace_result::refused: return {false, "not saved: " + error + ", and it is kept as it was", true};
    case replace_result::failed:
        // Say "as it was" only of a file that is there.
        return {false, (name_taken(path) ? "not saved, " + path + " is as it was: " : "not saved to " + path + ": ") +
                           error};
    }
    return {true, "saved " + path + ": " + live_cells_text(count_live_cells(w)) + ", " + std::to_string(bytes.size()) +
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

std::string free_scene_name_beside(const std::string& path) {
    const std::size_t extension = std::strlen(SCENE_EXTENSION);
    const bool has_extension = path.size() > extension && path.compare(path.size() - extension, extension, SCENE_EXTENSION) == 0;
    const std::string stem = has_extension ? path.substr(0, path.size() - extension) : path;
    for (int n = FIRST_OTHER_NAME;; ++n) {
        const std::string name = stem + "-" + std::to_string(n) + SCENE_EXTENSION;
        if (!name_taken(name)) return name;
    }
}
