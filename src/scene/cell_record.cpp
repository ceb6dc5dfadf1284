#include "scene/cell_record.h"

#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "scene/little_endian.h"
#include "sim/types.h"

using kind = field_kind;
using rule = field_rule;

namespace {

static_assert(std::numeric_limits<double>::is_iec559, "records hold IEEE 754 doubles");

constexpr std::size_t aligned(std::size_t offset, std::size_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

// The listed fields, laid out as the compiler lays out a struct, make up
// ParticleType whole: a field left out leaves a gap or falls short of its size.
constexpr bool fields_make_up_the_cell() {
    std::size_t end = 0, record = 0;
    for (const cell_field& field : CELL_FIELDS) {
        if (field.in_cell != aligned(end, field.alignment)) return false;
        if (field.cell_bytes != record_bytes_of(field.kind)) return false;
        end = field.in_cell + field.cell_bytes;
        record += record_bytes_of(field.kind);
    }
    return aligned(end, alignof(ParticleType)) == sizeof(ParticleType) && record == CELL_RECORD_BYTES;
}
static_assert(fields_make_up_the_cell(), "CELL_FIELDS must list every field of ParticleType, in order");

// A field added at the end could hide in the struct's tail padding: the
// number of values ParticleType takes in braces (the name, then the rest) counts it.
struct any_value {
    template <class T>
    operator T() const;
};
template <class T, class Values, class = void>
struct initialised_by : std::false_type {};
template <class T, std::size_t... I>
struct initialised_by<T, std::index_sequence<I...>, std::void_t<decltype(T{{}, (void(I), any_value{})...})>>
    : std::true_type {};
static_assert(initialised_by<ParticleType, std::make_index_sequence<CELL_FIELD_COUNT - 1>>::value &&
                  !initialised_by<ParticleType, std::make_index_sequence<CELL_FIELD_COUNT>>::value,
              "ParticleType has a field that CELL_FIELDS does not list");

bool is_fraction(double value) { return value >= 0.0 && value <= 1.0; }  // false for NaN

const std::uint8_t* bytes_of(const ParticleType& cell, const cell_field& field) {
    return reinterpret_cast<const std::uint8_t*>(&cell) + field.in_cell;
}
std::uint8_t* bytes_of(ParticleType& cell, const cell_field& field) {
    return reinterpret_cast<std::uint8_t*>(&cell) + field.in_cell;
}

template <class T>
T value_of(const ParticleType& cell, const cell_field& field) {
    T value;
    std::memcpy(&value, bytes_of(cell, field), sizeof value);
    return value;
}

bool in_range(const ParticleType& cell, const ParticleType& material, const cell_field& field) {
    switch (field.rule) {
    case rule::as_material: return std::memcmp(bytes_of(cell, field), bytes_of(material, field), field.cell_bytes) == 0;
    case rule::material_id: return true;  // checked before the row is known
    case rule::fountain: {
        const std::int32_t index = value_of<std::int32_t>(cell, field);
        return index >= 0 && index < FOUNTAIN_COUNT;
    }
    case rule::fraction: return is_fraction(value_of<double>(cell, field));
    case rule::burn_time: {
        const std::int32_t time = value_of<std::int32_t>(cell, field);
        return time >= NEVER && time <= value_of<std::int32_t>(material, field);
    }
    case rule::ignition_delay: {
        const std::int32_t delay = value_of<std::int32_t>(cell, field);
        const std::int32_t most = value_of<std::int32_t>(material, field);
        return most == NEVER ? delay == NEVER : delay >= 0 && delay <= most;
    }
    case rule::any_flag: return true;
    }
    return false;
}

const cell_field& id_field() {
    for (const cell_field& field : CELL_FIELDS)
        if (field.rule == rule::material_id) return field;
    return CELL_FIELDS[0];
}

}  // namespace

std::size_t record_offset(std::size_t index) {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index; ++i) offset += record_bytes_of(CELL_FIELDS[i].kind);
    return offset;
}

void put_cell_record(std::uint8_t* at, const ParticleType& cell) {
    for (const cell_field& field : CELL_FIELDS) {
        switch (field.kind) {
        case kind::text: std::memcpy(at, bytes_of(cell, field), field.cell_bytes); break;
        case kind::int32: put_u32(at, static_cast<std::uint32_t>(value_of<std::int32_t>(cell, field))); break;
        case kind::float64: put_double(at, value_of<double>(cell, field)); break;
        case kind::flag: *at = value_of<bool>(cell, field) ? 1 : 0; break;
        }
        at += record_bytes_of(field.kind);
    }
}

std::string get_cell_record(const std::uint8_t* at, const world& w, ParticleType& cell) {
    cell = ParticleType{};
    for (const cell_field& field : CELL_FIELDS) {
        std::uint8_t* into = bytes_of(cell, field);
        switch (field.kind) {
        case kind::text: std::memcpy(into, at, field.cell_bytes); break;
        case kind::int32: {
            const std::int32_t value = static_cast<std::int32_t>(get_u32(at));
            std::memcpy(into, &value, sizeof value);
            break;
        }
        case kind::float64: {
            const double value = get_double(at);
            std::memcpy(into, &value, sizeof value);
            break;
        }
        case kind::flag: {
            if (*at > 1) return std::string(field.name) + " is neither 0 nor 1";
            const bool value = *at == 1;
            std::memcpy(into, &value, sizeof value);
            break;
        }
        }
        at += record_bytes_of(field.kind);
    }
    const std::int32_t id = value_of<std::int32_t>(cell, id_field());
    if (id < 0 || id >= TYPE_COUNT) return "unknown material id " + std::to_string(id);
    for (const cell_field& field : CELL_FIELDS)
        if (!in_range(cell, w.types[id], field)) return std::string(field.name) + " out of range for " + w.types[id].name;
    return "";
}

bool same_cell(const ParticleType& a, const ParticleType& b) {
    for (const cell_field& field : CELL_FIELDS)
        if (std::memcmp(bytes_of(a, field), bytes_of(b, field), field.cell_bytes) != 0) return false;
    return true;
}

bool saved_alike(const ParticleType& a, const ParticleType& b) {
    if (a.id != b.id) return false;  // tells most cells apart at once
    // Cells are copied whole, padding too: alike bytes are alike cells, at
    // the cost of one comparison.
    if (std::memcmp(&a, &b, sizeof a) == 0) return true;
    const bool empty = a.id == TYPE_ERASER;
    for (const cell_field& field : CELL_FIELDS)
        if (!(empty && field.rule == rule::fountain) &&
            std::memcmp(bytes_of(a, field), bytes_of(b, field), field.cell_bytes) != 0)
            return false;
    return true;
}
