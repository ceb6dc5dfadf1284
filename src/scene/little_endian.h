#pragma once

#include <cstdint>
#include <cstring>

// Little-endian fields of the scene files.

inline void put_u32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t get_u32(const std::uint8_t* at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{at[i]} << (8 * i);
    return value;
}

inline void put_double(std::uint8_t* at, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put_u32(at, static_cast<std::uint32_t>(bits));
    put_u32(at + 4, static_cast<std::uint32_t>(bits >> 32));
}

inline double get_double(const std::uint8_t* at) {
    const std::uint64_t bits = get_u32(at) | std::uint64_t{get_u32(at + 4)} << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
