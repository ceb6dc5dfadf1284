#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/world.h"

// A cell as a scene file holds it: every field of ParticleType in its own
// order, little-endian, doubles as IEEE 754, flags as one byte of 0 or 1.
// The fields are listed once, in CELL_FIELDS, which writing, reading, the
// range checks and the comparison of cells all walk; a field of ParticleType
// left out of the list fails to compile (see cell_record.cpp).

enum class field_kind { text, int32, float64, flag };

// What a read field may hold, given the table row of its material.
enum class field_rule {
    as_material,     // the row's value, exactly
    material_id,     // a type id of the table
    fountain,        // 0 .. FOUNTAIN_COUNT - 1
    fraction,        // 0 .. 1
    burn_time,       // NEVER .. the row's burn time
    ignition_delay,  // NEVER for a material that never ignites, else 0 .. the row's delay
    any_flag,        // either value
};

struct cell_field {
    const char* name;        // for messages
    field_kind kind;
    field_rule rule;
    std::size_t in_cell;     // offset in ParticleType
    std::size_t cell_bytes;  // its size there
    std::size_t alignment;   // its alignment there
};

#define GRAINVOX_CELL_FIELD(member, text, kind, rule)                                                          \
    cell_field {                                                                                              \
        text, kind, rule, offsetof(ParticleType, member), sizeof ParticleType::member,                      \
            alignof(decltype(ParticleType::member))                                                           \
    }

// Every field of the cell, in ParticleType's order.
inline constexpr cell_field CELL_FIELDS[] = {
    GRAINVOX_CELL_FIELD(name, "name", field_kind::text, field_rule::as_material),
    GRAINVOX_CELL_FIELD(fountain_index, "fountain index", field_kind::int32, field_rule::fountain),
    GRAINVOX_CELL_FIELD(density, "density", field_kind::float64, field_rule::as_material),
    GRAINVOX_CELL_FIELD(id, "material id", field_kind::int32, field_rule::material_id),
    GRAINVOX_CELL_FIELD(red, "red", field_kind::float64, field_rule::fraction),
    GRAINVOX_CELL_FIELD(green, "green", field_kind::float64, field_rule::fraction),
    GRAINVOX_CELL_FIELD(blue, "blue", field_kind::float64, field_rule::fraction),
    GRAINVOX_CELL_FIELD(burn_time, "burn time", field_kind::int32, field_rule::burn_time),
    GRAINVOX_CELL_FIELD(alpha, "alpha", field_kind::float64, field_rule::fraction),
    GRAINVOX_CELL_FIELD(extinguishes, "extinguishes", field_kind::flag, field_rule::as_material),
    GRAINVOX_CELL_FIELD(ignition_delay, "ignition delay", field_kind::int32, field_rule::ignition_delay),
    GRAINVOX_CELL_FIELD(phase, "phase", field_kind::int32, field_rule::as_material),
    GRAINVOX_CELL_FIELD(pressured, "pressured", field_kind::flag, field_rule::any_flag),
};

#undef GRAINVOX_CELL_FIELD

constexpr std::size_t CELL_FIELD_COUNT = sizeof CELL_FIELDS / sizeof CELL_FIELDS[0];

// Bytes of a field of each kind in the record.
constexpr std::size_t record_bytes_of(field_kind kind) {
    switch (kind) {
    case field_kind::text: return sizeof ParticleType::name;
    case field_kind::int32: return 4;
    case field_kind::float64: return 8;
    case field_kind::flag: return 1;
    }
    return 0;
}

constexpr std::size_t CELL_RECORD_BYTES = 86;

// Offset of field `index` of CELL_FIELDS in the record.
std::size_t record_offset(std::size_t index);

void put_cell_record(std::uint8_t* at, const ParticleType& cell);

// Reads one cell record and checks every field against its material's row;
// says what is wrong with it, or returns "".
std::string get_cell_record(const std::uint8_t* at, const world& w, ParticleType& cell);

// Whether two cells hold the same value in every field.
bool same_cell(const ParticleType& a, const ParticleType& b);

// The same, but for the fountain an empty cell keeps, which a save drops.
bool saved_alike(const ParticleType& a, const ParticleType& b);
