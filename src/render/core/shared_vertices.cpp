#include "render/core/shared_vertices.h"

#include <cstring>

namespace {

constexpr int VERTEX_WORDS = sizeof(lit_vertex) / sizeof(std::uint32_t);
static_assert(sizeof(lit_vertex) % sizeof(std::uint32_t) == 0, "a vertex is whole words");

std::uint32_t hash_of(const lit_vertex& v) {
    std::uint32_t words[VERTEX_WORDS];
    std::memcpy(words, &v, sizeof words);
    std::uint32_t h = 2166136261u;
    for (const std::uint32_t w : words) h = (h ^ w) * 16777619u;
    return h ^ (h >> 15);
}

}  // namespace

void vertex_sharer::share(std::vector<lit_vertex>& vertices, std::vector<unsigned>& indices) {
    std::size_t slot_count = 16;
    while (slot_count < 2 * vertices.size()) slot_count *= 2;
    slots_.assign(slot_count, 0);
    moved_to_.resize(vertices.size());
    const std::size_t mask = slot_count - 1;

    // Vertices only move down, to where no unread vertex lies.
    std::uint32_t kept = 0;
    for (std::size_t v = 0; v < vertices.size(); ++v) {
        std::size_t slot = hash_of(vertices[v]) & mask;
        while (slots_[slot] != 0 && std::memcmp(&vertices[slots_[slot] - 1], &vertices[v], sizeof(lit_vertex)) != 0)
            slot = (slot + 1) & mask;
        if (slots_[slot] == 0) {
            vertices[kept] = vertices[v];
            slots_[slot] = ++kept;
        }
        moved_to_[v] = slots_[slot] - 1;
    }
    vertices.resize(kept);
    for (unsigned& index : indices) index = moved_to_[index];
}
